#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>

#include "common/text.h"
#include "onely/onely.h"

namespace onely {

namespace {

char line_stores[2][LINE_BUFFER_SIZE];

// The held and the incoming line. Each lies in the input's buffer while the
// whole of it is there, or else in a line buffer of its own: an incoming
// line that is not all there is read into one, and the held line is copied
// into the other before that read, which may refill the input's buffer.
class LinePair {
 public:
  // Reads the next line that does not begin with a NUL byte (such a line
  // holds no text to compare or write, so it is passed over as if it were
  // not there); false at the end of the input.
  bool read_incoming(suite::InputStream& input);
  // The incoming line becomes the held one.
  void hold_incoming() {
    held = incoming;
    std::swap(held_store_, incoming_store_);
  }
  // A line that lies in the input's buffer becomes the held one.
  void hold_buffered(std::string_view line) { held = line; }

  std::string_view held;
  std::string_view incoming;

 private:
  void keep_held_apart() {
    if (held.data() == held_store_ || held.empty()) return;
    std::memcpy(held_store_, held.data(), held.size());
    held = {held_store_, held.size()};
  }

  char* held_store_ = line_stores[0];
  char* incoming_store_ = line_stores[1];
};

bool LinePair::read_incoming(suite::InputStream& input) {
  while (true) {
    std::string_view line = input.buffered_line(LINE_BUFFER_SIZE - 1);
    if (line.empty()) {
      keep_held_apart();
      line = {incoming_store_, input.read_line(incoming_store_, LINE_BUFFER_SIZE - 1)};
      if (line.empty()) return false;
    }
    if (line[0] != '\0') {
      incoming = input.text_of(line);
      return true;
    }
  }
}

bool bytes_equal_ignoring_case(const char* a, const char* b, std::int32_t length) {
  for (std::int32_t i = 0; i < length; ++i) {
    if (a[i] != b[i] && suite::upper_ascii(a[i]) != suite::upper_ascii(b[i])) return false;
  }
  return true;
}

// Writes the run length as "%7d\t" would: right-aligned in seven columns
// (wider when it needs more), then a tab.
void write_count(std::int64_t count, suite::OutputStream& output) {
  // Blanks first, so that the digits need no padding of their own.
  char text[24];
  std::memset(text, ' ', sizeof text - 1);
  char* const end = text + sizeof text;
  char* p = end;
  *--p = '\t';
  do {
    *--p = static_cast<char>('0' + count % 10);
    count /= 10;
  } while (count > 0);
  if (end - p <= 8) {
    output.write_within_line(end - 8, 8);  // the usual count, of up to seven digits
  } else {
    output.write(p, static_cast<std::size_t>(end - p));
  }
}

void emit_run(std::string_view held, std::int64_t repeat_count, suite::OutputStream& output) {
  if (settings.line_filter == LineFilter::SINGLE_ONLY && repeat_count != 0) return;
  if (settings.line_filter == LineFilter::REPEATED_ONLY && repeat_count == 0) return;
  if (settings.show_counts) write_count(repeat_count + 1, output);
  // Only the last byte of a line can be a line feed. The line lies in the
  // input's buffer or at the start of a line store: either may be read
  // past it.
  if (!held.empty() && held.back() == '\n') {
    output.write_padded_line(held.data(), held.size() - 1);
  } else {
    output.write_padded_within_line(held.data(), held.size());
  }
}

}  // namespace

CompareWindow compare_window(std::string_view line) {
  auto line_length = static_cast<std::int32_t>(line.size());
  std::int32_t start = settings.skip_count <= 0 ? 0 : std::min(settings.skip_count, line_length);
  std::int32_t length = line_length - start;
  if (settings.compare_limit > 0 && length > settings.compare_limit) length = settings.compare_limit;
  return {line.data() + start, length};
}

bool windows_equal(CompareWindow incoming, CompareWindow held) {
  if (incoming.length != held.length) return false;
  if (settings.ignore_case) return bytes_equal_ignoring_case(incoming.start, held.start, incoming.length);
  return std::memcmp(incoming.start, held.start, static_cast<std::size_t>(incoming.length)) == 0;
}

void filter_lines(suite::InputStream& input, suite::OutputStream& output) {
  LinePair lines;
  if (!lines.read_incoming(input)) return;
  lines.hold_incoming();
  std::int64_t repeat_count = 0;
  // True when the line ends the held run, which is then written.
  auto ends_run = [&](std::string_view line) {
    if (windows_equal(compare_window(line), compare_window(lines.held))) {
      ++repeat_count;
      return false;
    }
    emit_run(lines.held, repeat_count, output);
    repeat_count = 0;
    return true;
  };
  while (!input.end_seen()) {
    input.take_buffered_lines(LINE_BUFFER_SIZE - 1, [&](std::string_view line) {
      if (ends_run(line)) lines.hold_buffered(line);
    });
    if (!lines.read_incoming(input)) break;
    if (ends_run(lines.incoming)) lines.hold_incoming();
  }
  emit_run(lines.held, repeat_count, output);
}

}  // namespace onely
