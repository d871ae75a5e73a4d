#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>

#include "paste/paste.h"

namespace paste {

namespace {

char line_buffer[LINE_BUFFER_SIZE];

// Takes the next line of an input: at most LINE_BUFFER_SIZE - 1 bytes, up
// to and including a newline. Gives its text without the newline and cut at
// the first NUL, or nothing at the end of the input. A line that lies whole
// in the stream's buffer is used where it is (valid until the stream is
// read again); any other is copied into the line buffer.
std::optional<std::string_view> next_line(suite::InputStream& input) {
  if (input.buffered_size() == 0 && !input.refill()) return std::nullopt;
  const char* text = input.buffered_data();
  std::size_t searched = std::min(input.buffered_size(), LINE_BUFFER_SIZE - 1);
  std::size_t length;
  if (const void* newline = std::memchr(text, '\n', searched)) {
    length = static_cast<std::size_t>(static_cast<const char*>(newline) - text);
    input.consume(length + 1);
  } else {
    length = input.read_line(line_buffer, sizeof line_buffer);
    text = line_buffer;
    if (length > 0 && text[length - 1] == '\n') --length;
  }
  if (!input.nul_seen()) return std::string_view(text, length);
  if (const void* nul = std::memchr(text, '\0', length)) length = static_cast<std::size_t>(static_cast<const char*>(nul) - text);
  return std::string_view(text, length);
}

}  // namespace

// Each line is written as soon as it is read; a row under way when an
// input ends is left as far as it got.
void paste_rows(suite::InputStream* const* inputs, std::size_t count, const std::string& delimiter,
                suite::OutputStream& output) {
  while (true) {
    for (std::size_t i = 0; i < count; ++i) {
      std::optional<std::string_view> line = next_line(*inputs[i]);
      if (!line) return;
      if (i > 0) output.write(delimiter);
      output.write_within_line(line->data(), line->size());
    }
    output.put('\n');
  }
}

}  // namespace paste
