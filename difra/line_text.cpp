#include "difra/line_text.h"

#include <bit>
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

// The hash of 32 bytes: byte i rotated left by 31 - i bits, all xored. Each
// eight of them, shifted as eight, reach no higher than bit 14, so only the
// first eight, moved up by 24, wrap around.
std::uint32_t hash_of_thirty_two(const char* bytes) {
  return std::rotl(shifted_bytes_of_eight(suite::load_word_in_memory_order(bytes)), 24) ^
         (shifted_bytes_of_eight(suite::load_word_in_memory_order(bytes + 8)) << 16) ^
         (shifted_bytes_of_eight(suite::load_word_in_memory_order(bytes + 16)) << 8) ^
         shifted_bytes_of_eight(suite::load_word_in_memory_order(bytes + 24));
}

using SignedLanes = signed char __attribute__((vector_size(16)));

// The places of the bytes of a 64-byte window, sixteen to a vector.
constexpr SignedLanes WINDOW_PLACES[4] = {
    {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15},
    {16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31},
    {32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47},
    {48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63},
};

}  // namespace

// A byte's rotation depends only on its distance from the end of the text,
// modulo 32. So the text, followed by zeros up to a multiple of 32 bytes,
// is folded onto 32 bytes by xoring its stretches of 32 together; the hash
// of those 32 bytes is the text's, rotated left by the number of zeros
// added (mod 32), so it is rotated back. The last 64 bytes or fewer are
// taken as a window of 64 with the bytes past the text cleared, so that a
// line of up to 64 bytes, most lines, takes no branch on its length.
std::uint32_t line_hash(std::string_view text) {
  if (text.empty()) return 1;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t size = text.size();
  suite::Lanes folded[2] = {};
  std::size_t start = 0;
  for (; size - start > 64; start += 32) {
    folded[0] ^= suite::load_lanes(bytes + start);
    folded[1] ^= suite::load_lanes(bytes + start + 16);
  }
  const SignedLanes left = SignedLanes{} + static_cast<signed char>(size - start);
  for (std::size_t i = 0; i < 4; ++i) {
    suite::Lanes kept = static_cast<suite::Lanes>(WINDOW_PLACES[i] < left);
    folded[i % 2] ^= suite::load_lanes(bytes + start + 16 * i) & kept;
  }
  char thirty_two[32];
  std::memcpy(thirty_two, folded, sizeof thirty_two);
  std::uint32_t hash = std::rotl(hash_of_thirty_two(thirty_two), static_cast<int>(size % 32));
  return hash == 0 ? 1 : hash;
}

}  // namespace difra
