#include <algorithm>
#include <cstring>
#include <string_view>

#include "cut/cut.h"

namespace cut {

namespace {

// The line buffer of the three line-based modes.
char line_buffer[MAX_POSITION];

// Writes the bytes of data[0..count) whose flags are set, in runs. Bytes
// within one line hold no line feed, so they are written with no scan.
enum class Span { within_line, across_lines };
void write_selected_bytes(const char* data, std::size_t count, const bool* flags, Span span,
                          suite::OutputStream& output) {
  std::size_t i = 0;
  while (i < count) {
    if (!flags[i]) {
      ++i;
      continue;
    }
    std::size_t start = i;
    while (i < count && flags[i]) ++i;
    if (span == Span::within_line) {
      output.write_within_line(data + start, i - start);
    } else {
      output.write(data + start, i - start);
    }
  }
}

// Reads the next line (at most MAX_POSITION - 1 bytes) where it lies in the
// input's buffer, or into the line buffer when it is not all there, and
// gives its text up to the first NUL; false at the end of the input.
bool read_line(suite::InputStream& input, std::string_view& line) {
  std::string_view read = input.read_line_in_place(line_buffer, sizeof line_buffer);
  if (read.empty()) return false;
  line = input.text_of(read);
  return true;
}

// A line that begins with a NUL byte holds no text.
bool has_no_text(std::string_view line) { return line.empty(); }

std::string_view without_newline(std::string_view line) {
  if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
  return line;
}

// Writes the selected fields of one line, one delimiter between each two
// of them, and the line end; neighbouring selected fields go out as one
// run of the line.
void write_selected_fields(const char* line, std::size_t length, char delimiter, const PositionSet& selected,
                           suite::OutputStream& output) {
  const char* const end = line + length;
  const char* field = line;
  const char* run_start = nullptr;
  const char* run_end = nullptr;
  const bool* flags = selected.flags();
  for (std::int32_t number = 1; number <= selected.highest(); ++number) {
    const char* field_end = suite::find_byte(field, end, delimiter, line);
    if (flags[number - 1]) {
      if (run_start != nullptr && run_end + 1 == field) {
        run_end = field_end;
      } else {
        if (run_start != nullptr) {
          output.write_within_line(run_start, static_cast<std::size_t>(run_end - run_start));
          output.put(delimiter);
        }
        run_start = field;
        run_end = field_end;
      }
    }
    if (field_end == end) break;
    field = field_end + 1;
  }
  if (run_start != nullptr) {
    output.write_line(run_start, static_cast<std::size_t>(run_end - run_start));
  } else {
    output.put('\n');
  }
}

}  // namespace

// Positions count across the whole input, newlines included. The input is
// read to its end even after the last selected position.
void cut_bytes(suite::InputStream& input, suite::OutputStream& output, const PositionSet& selected) {
  const std::uint64_t highest = static_cast<std::uint64_t>(selected.highest());
  std::uint64_t before = 0;  // bytes taken before the buffered ones
  while (input.buffered_size() > 0 || input.refill()) {
    std::size_t size = input.buffered_size();
    if (before < highest) {
      std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(size, highest - before));
      write_selected_bytes(input.buffered_data(), count, selected.flags() + before, Span::across_lines, output);
    }
    before += size;
    input.consume(size);
  }
}

// Lines that begin with a NUL byte are passed over in the line modes.
void cut_columns(suite::InputStream& input, suite::OutputStream& output, const PositionSet& selected) {
  const std::size_t highest = static_cast<std::size_t>(selected.highest());
  std::string_view line;
  while (read_line(input, line)) {
    if (has_no_text(line)) continue;
    line = without_newline(line);
    write_selected_bytes(line.data(), std::min(line.size(), highest), selected.flags(), Span::within_line, output);
    output.put('\n');
  }
}

void cut_fields(suite::InputStream& input, suite::OutputStream& output, const PositionSet& selected,
                char delimiter) {
  std::string_view line;
  while (read_line(input, line)) {
    if (has_no_text(line)) continue;
    line = without_newline(line);
    write_selected_fields(line.data(), line.size(), delimiter, selected, output);
  }
}

// Rows are numbered as read, those beginning with NUL included.
void cut_rows(suite::InputStream& input, suite::OutputStream& output, const PositionSet& selected) {
  std::uint64_t row = 0;
  std::string_view line;
  while (read_line(input, line)) {
    ++row;
    if (!selected.contains(row) || has_no_text(line)) continue;
    line = without_newline(line);
    output.write_line(line.data(), line.size());
  }
}

}  // namespace cut
