// Tail's count: an option sets byte mode ("b") or the count the decimal
// reading gives, and is a file name when that reading gives 0; and tailing
// random text gives the last lines (or bytes) that the count asks for.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <vector>

#include "common/numbers.h"
#include "common/platform.h"
#include "fuzz/support.h"
#include "tail/tail.h"

namespace {

void check_option(const std::string& argument) {
  if (argument.size() < 2) return;
  tail::settings = tail::Settings{};
  bool byte_letter = argument.size() == 2 && (argument[1] == 'b' || argument[1] == 'B');
  fuzz::ExactText text(argument);
  std::int32_t count = suite::parse_integer(text.c_str() + 1, 10).value;
  bool taken = tail::take_option(text.c_str());
  fuzz::check(taken == (byte_letter || count != 0), "an option is taken unless it reads as 0");
  fuzz::check(tail::settings.byte_mode == byte_letter, "byte mode only for 'b'");
  fuzz::check(tail::settings.tail_count == (byte_letter || count == 0 ? 10 : count), "the count");
}

const char* const INPUT_NAME = "tail_input.txt";
const char* const OUTPUT_NAME = "tail_output.txt";

void write_file(const char* name, const std::string& bytes) {
  suite::platform::Handle handle = suite::platform::open_for_writing(name, true);
  fuzz::check(handle != suite::platform::NO_HANDLE, "the scratch file opens");
  suite::platform::write_bytes(handle, bytes.data(), bytes.size());
  suite::platform::close_handle(handle);
}

std::string read_file(const char* name) {
  suite::platform::Handle handle = suite::platform::open_for_reading(name);
  fuzz::check(handle != suite::platform::NO_HANDLE, "the scratch file opens again");
  std::string bytes;
  char block[4096];
  for (std::size_t got; (got = suite::platform::read_bytes(handle, block, sizeof block)) > 0;) bytes.append(block, got);
  suite::platform::close_handle(handle);
  return bytes;
}

// The last `count` lines, a line that begins with NUL not counted and
// every line written up to its first NUL.
std::string expected_lines(const std::string& text, std::uint32_t count) {
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < text.size();) {
    std::size_t end = text.find('\n', start);
    end = end == std::string::npos ? text.size() : end + 1;
    std::string line = text.substr(start, end - start);
    if (line[0] != '\0') lines.push_back(line.substr(0, line.find('\0')));
    start = end;
  }
  std::size_t first = lines.size() > count ? lines.size() - count : 0;
  std::string written;
  for (std::size_t i = first; i < lines.size(); ++i) written += lines[i];
  return written;
}

void check_tail(FuzzedDataProvider& choices) {
  tail::settings = tail::Settings{};
  tail::settings.byte_mode = choices.ConsumeBool();
  // Every count an option can give: 0 never becomes the count.
  tail::settings.tail_count = choices.ConsumeIntegralInRange<std::int32_t>(-2, 40);
  if (tail::settings.tail_count == 0) tail::settings.tail_count = 10;
  std::string text = choices.ConsumeRemainingBytesAsString();
  if (tail::settings.byte_mode && tail::settings.tail_count < 0) return;
  write_file(INPUT_NAME, text);
  // Kept from run to run, with their buffers: fresh blocks cost more than
  // the run.
  static suite::InputStream input(4096);
  static suite::OutputStream output;
  fuzz::check(input.open(INPUT_NAME, suite::StreamMode::binary), "the input opens");
  fuzz::check(output.open(OUTPUT_NAME, suite::StreamMode::binary), "the output opens");
  tail::tail_stream(input, output);
  input.close();
  output.close();
  std::string written = read_file(OUTPUT_NAME);
  std::size_t count = static_cast<std::uint32_t>(tail::settings.tail_count);
  if (tail::settings.byte_mode) {
    fuzz::check(written == text.substr(text.size() > count ? text.size() - count : 0), "the last bytes");
  } else {
    fuzz::check(written == expected_lines(text, static_cast<std::uint32_t>(count)), "the last lines");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static bool prepared = (fuzz::prepare_program_runs(), true);
  (void)prepared;
  if (size > 4096) return 0;
  std::string whole(reinterpret_cast<const char*>(data), size);
  check_option(whole.substr(0, whole.find('\0')));
  FuzzedDataProvider choices(data, size);
  check_tail(choices);
  return 0;
}
