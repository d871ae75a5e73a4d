// Text-mode streams: random bytes read back through a stream with a random
// block size, by a random mix of its reading calls, give exactly the bytes
// before the first Ctrl-Z with every carriage return dropped; written in
// text mode from any place in the output block, they give every line feed
// as a carriage return and line feed. Binary mode changes nothing.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "common/platform.h"
#include "common/streams.h"
#include "fuzz/support.h"

namespace {

using suite::InputStream;
using suite::OutputStream;
using suite::StreamMode;

const char* const FILE_NAME = "stream_bytes.bin";

void write_file(const std::string& bytes) {
  suite::platform::Handle handle = suite::platform::open_for_writing(FILE_NAME, true);
  fuzz::check(handle != suite::platform::NO_HANDLE, "the scratch file opens");
  fuzz::check(suite::platform::write_bytes(handle, bytes.data(), bytes.size()) == bytes.size(), "the file is written");
  suite::platform::close_handle(handle);
}

// The file's bytes, in a string that keeps its storage from run to run.
const std::string& read_file() {
  suite::platform::Handle handle = suite::platform::open_for_reading(FILE_NAME);
  fuzz::check(handle != suite::platform::NO_HANDLE, "the scratch file opens again");
  static std::string bytes;
  bytes.clear();
  char block[65536];
  for (std::size_t got; (got = suite::platform::read_bytes(handle, block, sizeof block)) > 0;) bytes.append(block, got);
  suite::platform::close_handle(handle);
  return bytes;
}

std::string text_read_of(const std::string& bytes) {
  std::string text;
  for (char c : bytes) {
    if (c == suite::CTRL_Z) break;
    if (c != '\r') text += c;
  }
  return text;
}

std::string text_write_of(const std::string& bytes) {
  std::string text;
  for (char c : bytes) {
    if (c == '\n') text += '\r';
    text += c;
  }
  return text;
}

// How many bytes a line read from `at` with a buffer of `size` bytes takes:
// up to and including the next line feed, at most size - 1.
std::size_t line_part(const std::string& expected, std::size_t at, std::size_t size) {
  std::size_t line_end = expected.find('\n', at);
  std::size_t line = line_end == std::string::npos ? expected.size() - at : line_end + 1 - at;
  return std::min(line, size - 1);
}

// Reads the whole input with calls the provider picks, checking each
// against the expected bytes.
void check_reading(FuzzedDataProvider& choices, InputStream& input, const std::string& expected) {
  std::size_t at = 0;
  std::vector<char> buffer;
  for (int calls = 0; calls < 100000; ++calls) {
    std::size_t left = expected.size() - at;
    switch (choices.ConsumeIntegralInRange(0, 5)) {
      case 0: {
        int c = input.get();
        if (left == 0) {
          fuzz::check(c == InputStream::END, "get: the end after the last byte");
          fuzz::check(input.end_seen(), "get: the end is seen");
          return;
        }
        fuzz::check(c == static_cast<unsigned char>(expected[at]), "get: the next byte");
        ++at;
        break;
      }
      case 1: {
        std::size_t size = choices.ConsumeIntegralInRange<std::size_t>(1, 300);
        buffer.assign(size, '\x7f');
        std::size_t got = input.read_line(buffer.data(), size);
        fuzz::check(got == line_part(expected, at, size), "read_line: the length of the line part");
        fuzz::check(expected.compare(at, got, buffer.data(), got) == 0, "read_line: the bytes");
        fuzz::check(buffer[got] == '\0', "read_line: a NUL after the bytes");
        at += got;
        if (left == 0) return;
        break;
      }
      case 2: {
        std::size_t size = choices.ConsumeIntegralInRange<std::size_t>(0, 300);
        buffer.assign(size + 1, '\x7f');
        std::size_t got = input.read(buffer.data(), size);
        fuzz::check(got == std::min(size, left), "read: the count");
        fuzz::check(expected.compare(at, got, buffer.data(), got) == 0, "read: the bytes");
        at += got;
        if (left == 0 && size > 0) return;
        break;
      }
      case 3: {
        std::size_t size = choices.ConsumeIntegralInRange<std::size_t>(1, 300);
        buffer.assign(size, '\x7f');
        std::string_view got = input.read_line_in_place(buffer.data(), size);
        fuzz::check(got.size() == line_part(expected, at, size), "read_line_in_place: the length of the line part");
        fuzz::check(expected.compare(at, got.size(), got) == 0, "read_line_in_place: the bytes");
        std::string_view text = input.text_of(got);
        fuzz::check(text == got.substr(0, got.find('\0')), "text_of: the bytes up to the first NUL");
        at += got.size();
        if (left == 0) return;
        break;
      }
      case 4: {
        std::size_t size = choices.ConsumeIntegralInRange<std::size_t>(1, 300);
        std::size_t most = choices.ConsumeIntegralInRange<std::size_t>(1, 20);
        std::size_t count = 0;
        bool taken = input.take_buffered_lines(size, [&](std::string_view line) {
          fuzz::check(line.size() == line_part(expected, at, size) && line.back() == '\n',
                      "take_buffered_lines: whole lines, as read_line reads them");
          fuzz::check(expected.compare(at, line.size(), line) == 0, "take_buffered_lines: the bytes");
          at += line.size();
          return ++count < most;
        });
        fuzz::check(taken == !input.nul_seen(), "take_buffered_lines: only while no NUL was seen");
        fuzz::check(count <= most, "take_buffered_lines: no line after the taker said stop");
        break;
      }
      default: {
        if (input.buffered_size() == 0 && !input.refill()) {
          fuzz::check(left == 0, "refill: false only at the end");
          return;
        }
        std::size_t waiting = input.buffered_size();
        fuzz::check(waiting <= left, "buffered bytes: no more than are left");
        fuzz::check(expected.compare(at, waiting, input.buffered_data(), waiting) == 0, "buffered bytes");
        std::size_t taken = choices.ConsumeIntegralInRange<std::size_t>(0, waiting);
        input.consume(taken);
        at += taken;
        break;
      }
    }
  }
}

// Filler that brings the output near the end of its block.
const std::string filler(OutputStream::BLOCK_SIZE, 'f');

// Writes `filled` bytes of filler, then the bytes in pieces of the
// provider's choosing.
void write_through_stream(FuzzedDataProvider& choices, StreamMode mode, std::size_t filled,
                          const std::string& bytes) {
  // Kept from run to run, with its buffer: a fresh block costs more than
  // the run.
  static OutputStream output;
  fuzz::check(output.open(FILE_NAME, mode), "the output opens");
  output.write(filler.data(), filled);
  for (std::size_t at = 0; at < bytes.size();) {
    if (choices.ConsumeBool()) {
      output.put(bytes[at++]);
    } else {
      std::size_t size = choices.ConsumeIntegralInRange<std::size_t>(1, bytes.size() - at);
      output.write(bytes.data() + at, size);
      at += size;
    }
  }
  fuzz::check(output.close(), "the output closes");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider choices(data, size);
  std::size_t block_size = choices.ConsumeIntegralInRange<std::size_t>(1, 64);
  bool binary = choices.ConsumeBool();
  // Most runs start the output at the start of its block, the others a
  // few bytes before its end.
  bool near_block_end = choices.ConsumeIntegralInRange(0, 7) == 0;
  std::size_t offset = choices.ConsumeIntegralInRange<std::size_t>(0, 8);
  std::size_t filled = near_block_end ? OutputStream::BLOCK_SIZE - offset : 0;
  std::string bytes = choices.ConsumeRandomLengthString(4096);
  StreamMode mode = binary ? StreamMode::binary : StreamMode::text;

  write_file(bytes);
  {
    InputStream input(block_size);
    fuzz::check(input.open(FILE_NAME, mode), "the input opens");
    check_reading(choices, input, binary ? bytes : text_read_of(bytes));
  }
  write_through_stream(choices, mode, filled, bytes);
  const std::string& written = read_file();
  fuzz::check(written.size() >= filled && written.compare(0, filled, filler, 0, filled) == 0,
              "the filler is written unchanged");
  fuzz::check(written.compare(filled, std::string::npos, binary ? bytes : text_write_of(bytes)) == 0,
              "writing: the bytes with the mode's conversion");
  return 0;
}
