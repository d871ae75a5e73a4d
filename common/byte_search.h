// Searches of spans of bytes eight bytes at a time, in one 64-bit word: the
// loops of the streaming programs that stop at more than one kind of byte
// (a tab or a line feed, a space or a line feed) or at the end of a run.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace suite {

constexpr std::uint64_t EVERY_BYTE = 0x0101010101010101ULL;
constexpr std::uint64_t LOW_SEVEN_BITS = 0x7F7F7F7F7F7F7F7FULL;

// The eight bytes from `from` on as one word, in memory order.
inline std::uint64_t load_word(const char* from) {
  std::uint64_t word;
  std::memcpy(&word, from, sizeof word);
  return word;
}

// The top bit of each byte of the word that is zero, and no other bit: no
// carry crosses from one byte into the next.
constexpr std::uint64_t zero_bytes(std::uint64_t word) {
  return ~(((word & LOW_SEVEN_BITS) + LOW_SEVEN_BITS) | word | LOW_SEVEN_BITS);
}

// The top bit of each byte of the word that equals c.
constexpr std::uint64_t bytes_equal(std::uint64_t word, char c) {
  return zero_bytes(word ^ (EVERY_BYTE * static_cast<unsigned char>(c)));
}

// The index, in memory order, of the first byte marked in a non-zero mask.
constexpr int first_marked_byte(std::uint64_t mask) {
  if constexpr (std::endian::native == std::endian::little) {
    return std::countr_zero(mask) / 8;
  } else {
    return std::countl_zero(mask) / 8;
  }
}

// The first byte of [from, end) other than c, or end when there is none.
inline const char* find_other_than(const char* from, const char* end, char c) {
  while (end - from >= 8) {
    std::uint64_t others = ~bytes_equal(load_word(from), c) & ~LOW_SEVEN_BITS;
    if (others != 0) return from + first_marked_byte(others);
    from += 8;
  }
  while (from < end && *from == c) ++from;
  return from;
}

// The first non-zero byte of [from, end), or end when every byte is zero.
inline const unsigned char* find_non_zero(const unsigned char* from, const unsigned char* end) {
  while (end - from >= 8) {
    std::uint64_t word;
    std::memcpy(&word, from, sizeof word);
    if (word != 0) return from + first_marked_byte(~zero_bytes(word) & ~LOW_SEVEN_BITS);
    from += 8;
  }
  while (from < end && *from == 0) ++from;
  return from;
}

}  // namespace suite
