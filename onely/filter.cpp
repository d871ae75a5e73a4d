#include <algorithm>
#include <cstring>
#include <utility>

#include "common/text.h"
#include "onely/onely.h"

namespace onely {

namespace {

// The two buffers that take turns as the held and the incoming line.
LineBuffer line_buffers[2];

bool bytes_equal_ignoring_case(const char* a, const char* b, std::int32_t length) {
  for (std::int32_t i = 0; i < length; ++i) {
    if (a[i] != b[i] && suite::upper_ascii(a[i]) != suite::upper_ascii(b[i])) return false;
  }
  return true;
}

// Writes the run length as "%7d\t" would: right-aligned in seven columns
// (wider when it needs more), then a tab.
void write_count(std::int64_t count, suite::OutputStream& output) {
  char text[24];
  char* end = text + sizeof text;
  char* p = end;
  *--p = '\t';
  do {
    *--p = static_cast<char>('0' + count % 10);
    count /= 10;
  } while (count > 0);
  while (end - p < 8) *--p = ' ';
  output.write_within_line(p, static_cast<std::size_t>(end - p));
}

void emit_run(const LineBuffer& held, std::int64_t repeat_count, suite::OutputStream& output) {
  if (settings.line_filter == LineFilter::SINGLE_ONLY && repeat_count != 0) return;
  if (settings.line_filter == LineFilter::REPEATED_ONLY && repeat_count == 0) return;
  if (settings.show_counts) write_count(repeat_count + 1, output);
  // Only the last byte of a line can be a line feed.
  std::size_t length = static_cast<std::size_t>(held.length);
  if (length > 0 && held.text[length - 1] == '\n') {
    output.write_line(held.text, length - 1);
  } else {
    output.write_within_line(held.text, length);
  }
}

}  // namespace

CompareWindow compare_window(const LineBuffer& line) {
  std::int32_t start = settings.skip_count <= 0 ? 0 : std::min(settings.skip_count, line.length);
  std::int32_t length = line.length - start;
  if (settings.compare_limit > 0 && length > settings.compare_limit) length = settings.compare_limit;
  return {line.text + start, length};
}

bool windows_equal(CompareWindow incoming, CompareWindow held) {
  if (incoming.length != held.length) return false;
  if (settings.ignore_case) return bytes_equal_ignoring_case(incoming.start, held.start, incoming.length);
  return std::memcmp(incoming.start, held.start, static_cast<std::size_t>(incoming.length)) == 0;
}

// A line is read in pieces of at most LINE_BUFFER_SIZE - 2 bytes. A line
// that begins with a NUL byte holds no text to compare or write, so it is
// passed over as if it were not there.
bool read_line(suite::InputStream& input, LineBuffer& line) {
  while (true) {
    std::size_t count = input.read_line(line.text, LINE_BUFFER_SIZE - 1);
    if (count == 0) {
      line.length = 0;
      return false;
    }
    if (line.text[0] != '\0') {
      line.length = static_cast<std::int32_t>(input.nul_seen() ? std::strlen(line.text) : count);
      return true;
    }
  }
}

void filter_lines(suite::InputStream& input, suite::OutputStream& output) {
  LineBuffer* held = &line_buffers[0];
  LineBuffer* incoming = &line_buffers[1];
  if (!read_line(input, *held)) return;
  CompareWindow held_window = compare_window(*held);
  std::int64_t repeat_count = 0;
  while (!input.end_seen()) {
    if (!read_line(input, *incoming)) break;
    if (windows_equal(compare_window(*incoming), held_window)) {
      ++repeat_count;
      continue;
    }
    emit_run(*held, repeat_count, output);
    repeat_count = 0;
    std::swap(held, incoming);
    held_window = compare_window(*held);
  }
  emit_run(*held, repeat_count, output);
}

}  // namespace onely
