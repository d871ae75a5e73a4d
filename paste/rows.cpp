#include <algorithm>
#include <optional>
#include <string_view>
#include <vector>

#include "paste/paste.h"

namespace paste {

namespace {

char line_buffer[LINE_BUFFER_SIZE];

// Takes the next line of an input: at most LINE_BUFFER_SIZE - 1 bytes, up
// to and including a newline, where it lies in the stream's buffer (valid
// until the stream is read again) or, when it is not all there, copied into
// the line buffer. Gives its text without the newline and cut at the first
// NUL, or nothing at the end of the input.
std::optional<std::string_view> next_line(suite::InputStream& input, suite::LineBatch& batch) {
  std::string_view line = batch.next(input, sizeof line_buffer);
  if (line.empty()) line = input.read_line_in_place(line_buffer, sizeof line_buffer);
  if (line.empty()) return std::nullopt;
  if (line.back() == '\n') line.remove_suffix(1);
  return input.text_of(line);
}

}  // namespace

// Each line is written as soon as it is read; a row under way when an
// input ends is left as far as it got.
void paste_rows(suite::InputStream* const* inputs, std::size_t count, const std::string& delimiter,
                suite::OutputStream& output) {
  const bool delimiter_ends_lines = delimiter.find('\n') != std::string::npos;
  // One batch for each stream: inputs named "-" share standard input, and
  // so its batch.
  std::vector<suite::LineBatch> batches(count);
  std::vector<suite::LineBatch*> batch_of(count);
  for (std::size_t i = 0; i < count; ++i) {
    batch_of[i] = &batches[static_cast<std::size_t>(std::find(inputs, inputs + i, inputs[i]) - inputs)];
  }
  while (true) {
    for (std::size_t i = 0; i < count; ++i) {
      std::optional<std::string_view> line = next_line(*inputs[i], *batch_of[i]);
      if (!line) return;
      if (i > 0) {
        if (delimiter.size() == 1) {
          output.put(delimiter[0]);
        } else if (delimiter_ends_lines) {
          output.write(delimiter);
        } else {
          output.write_within_line(delimiter.data(), delimiter.size());
        }
      }
      // A line lies in its input's buffer or at the start of the line
      // buffer: either may be read past it.
      if (i + 1 < count) {
        output.write_padded_within_line(line->data(), line->size());
      } else {
        output.write_padded_line(line->data(), line->size());
      }
    }
  }
}

}  // namespace paste
