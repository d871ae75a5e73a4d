#include <cstring>

#include "paste/paste.h"

namespace paste {

namespace {

char line_buffer[LINE_BUFFER_SIZE];

}  // namespace

// Each line is written as soon as it is read; a row under way when an
// input ends is left as far as it got.
void paste_rows(suite::InputStream* const* inputs, std::size_t count, const std::string& delimiter,
                suite::OutputStream& output) {
  while (true) {
    for (std::size_t i = 0; i < count; ++i) {
      if (inputs[i]->read_line(line_buffer, sizeof line_buffer) == 0) return;
      std::size_t length = std::strlen(line_buffer);
      if (length > 0 && line_buffer[length - 1] == '\n') --length;
      if (i > 0) output.write(delimiter);
      output.write(line_buffer, length);
    }
    output.put('\n');
  }
}

}  // namespace paste
