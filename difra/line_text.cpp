#include "difra/line_text.h"

#include <cstring>

#include "common/byte_search.h"
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

namespace {

char upper_case_of(char c) {
  auto byte = static_cast<unsigned char>(c);
  return static_cast<char>(static_cast<unsigned char>(byte - 'a') < 26 ? byte - ('a' - 'A') : byte);
}

}  // namespace

// Sixteen bytes a step, then the rest one by one.
void fold_to_upper_case(std::string_view text, char* out) {
  const auto* from = reinterpret_cast<const unsigned char*>(text.data());
  std::size_t i = 0;
  for (; i + suite::LANE_COUNT <= text.size(); i += suite::LANE_COUNT) {
    suite::Lanes bytes = suite::load_lanes(from + i);
    suite::Lanes lower = static_cast<suite::Lanes>(static_cast<suite::Lanes>(bytes - 'a') < 26);
    bytes -= lower & static_cast<unsigned char>('a' - 'A');
    std::memcpy(out + i, &bytes, sizeof bytes);
  }
  for (; i < text.size(); ++i) out[i] = upper_case_of(text[i]);
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
    fold_to_upper_case(text, work);
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
