#include "difra/line_text.h"

#include <cstring>

#include "common/byte_search.h"
#include "common/text.h"
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
  for (; i < text.size(); ++i) out[i] = suite::upper_ascii(text[i]);
}

std::size_t length_without_trailing_blanks(std::string_view line) {
  std::size_t end = line.find('\n');
  if (end == std::string_view::npos) end = line.size();
  while (end > 0 && line[end - 1] == ' ') --end;
  return end;
}

std::string_view changed_compared_text(std::string_view display, char* work) {
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

// Eight bytes in memory order, shifted by 7, 6, ... 0 bits and xored: each
// neighbouring pair first (the first of two moved by one bit), then each
// pair of pairs (by two), then the two halves (by four). The word holds the
// bytes in memory order from its lowest byte.
std::uint32_t shifted_bytes_of_eight(std::uint64_t word) {
  constexpr std::uint64_t LOW_BYTES = 0x00FF00FF00FF00FFULL;
  constexpr std::uint64_t LOW_PAIRS = 0x0000FFFF0000FFFFULL;
  std::uint64_t pairs = ((word & LOW_BYTES) << 1) ^ ((word >> 8) & LOW_BYTES);
  std::uint64_t quads = ((pairs & LOW_PAIRS) << 2) ^ ((pairs >> 16) & LOW_PAIRS);
  return static_cast<std::uint32_t>(((quads & 0xFFFFFFFFULL) << 4) ^ (quads >> 32));
}

// The last `count` (1 to 7) bytes of the text as the last bytes of a word
// whose first bytes are zero: shifted as eight, they are shifted by
// count - 1 down to 0 bits, and the zeros add nothing.
std::uint64_t last_bytes_word(std::string_view text, std::size_t count) {
  if (text.size() >= 8) {
    std::uint64_t first_bytes_dropped = ~std::uint64_t{0} << (8 * (8 - count));
    return suite::load_word_in_memory_order(text.data() + text.size() - 8) & first_bytes_dropped;
  }
  char padded[8] = {};
  std::memcpy(padded + 8 - count, text.data() + text.size() - count, count);
  return suite::load_word_in_memory_order(padded);
}

}  // namespace

std::uint32_t line_hash(std::string_view text) {
  // Eight bytes at a time: rotating by one bit per byte eight times is one
  // rotation by eight bits, and the eight bytes, shifted by 7 down to 0
  // bits, reach no higher than bit 14, nowhere near the bits that wrap
  // around. The last few bytes go the same way as one shorter step.
  std::uint32_t hash = 0;
  std::size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    hash = rotate_left(hash, 8) ^ shifted_bytes_of_eight(suite::load_word_in_memory_order(text.data() + i));
  }
  if (std::size_t rest = text.size() - i; rest > 0) {
    hash = rotate_left(hash, static_cast<int>(rest)) ^ shifted_bytes_of_eight(last_bytes_word(text, rest));
  }
  return hash == 0 ? 1 : hash;
}

std::int32_t line_key(std::uint32_t hash) {
  auto value = static_cast<std::int32_t>(hash);
  if (value < 0) return value;
  return -value;
}

}  // namespace difra
