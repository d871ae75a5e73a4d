#include "difra/line_text.h"

#include <cstring>

#include "difra/settings.h"

namespace difra {

std::size_t expand_tab_characters(std::string_view line, char* out) {
  std::size_t column = 0;
  for (char c : line) {
    if (c == '\t') {
      do {
        out[column++] = ' ';
      } while (column % TAB_WIDTH != 0);
    } else {
      out[column++] = c;
    }
  }
  out[column] = '\0';
  return column;
}

std::size_t remove_blanks_and_tabs(std::string_view line, char* out) {
  std::size_t length = 0;
  for (char c : line) {
    if (c != ' ' && c != '\t') out[length++] = c;
  }
  return length;
}

void fold_to_upper_case(char* text, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    if (text[i] >= 'a' && text[i] <= 'z') text[i] = static_cast<char>(text[i] - 'a' + 'A');
  }
}

std::size_t length_without_trailing_blanks(std::string_view line) {
  std::size_t end = line.find('\n');
  if (end == std::string_view::npos) end = line.size();
  while (end > 0 && line[end - 1] == ' ') --end;
  return end;
}

std::string_view display_text(std::string_view line, char* expanded) {
  if (settings.expand_tabs) return {expanded, expand_tab_characters(line, expanded)};
  return line;
}

std::string_view compared_text(std::string_view display, char* work) {
  std::string_view text = display;
  if (settings.squeeze_blanks) {
    text = {work, remove_blanks_and_tabs(text, work)};
  }
  if (settings.fold_case) {
    if (text.data() != work) std::memcpy(work, text.data(), text.size());
    fold_to_upper_case(work, text.size());
    text = {work, text.size()};
  }
  if (settings.trim_trailing_blanks) text = text.substr(0, length_without_trailing_blanks(text));
  return text;
}

namespace {

std::uint32_t rotate_left(std::uint32_t value, int bits) { return (value << bits) | (value >> (32 - bits)); }

std::uint32_t byte_at(std::string_view text, std::size_t index) { return static_cast<unsigned char>(text[index]); }

}  // namespace

std::uint32_t line_hash(std::string_view text) {
  // Four bytes at a time: rotating by one bit per byte four times is one
  // rotation by four bits, and the four bytes, shifted by 3, 2, 1 and 0
  // bits, do not reach the bits that wrap around.
  std::uint32_t hash = 0;
  std::size_t i = 0;
  for (; i + 4 <= text.size(); i += 4) {
    std::uint32_t block = (byte_at(text, i) << 3) ^ (byte_at(text, i + 1) << 2) ^ (byte_at(text, i + 2) << 1) ^
                          byte_at(text, i + 3);
    hash = rotate_left(hash, 4) ^ block;
  }
  for (; i < text.size(); ++i) hash = rotate_left(hash, 1) ^ byte_at(text, i);
  return hash == 0 ? 1 : hash;
}

std::int32_t line_key(std::uint32_t hash) {
  auto value = static_cast<std::int32_t>(hash);
  if (value < 0) return value;
  return -value;
}

}  // namespace difra
