// Searches of spans of bytes several bytes at a time: eight in one 64-bit
// word, for the loops of the streaming programs that stop at more than one
// kind of byte (a tab or a line feed, a space or a line feed) or at the end
// of a run, and sixteen in a vector, for counts, line feed searches and
// the short searches within a line; and a copy of short spans.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
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

// The number of bits set in a word, by adding neighbouring counts in the
// word itself: the x86-64 baseline has no instruction for it, and the
// library's routine costs a call.
constexpr int bits_set(std::uint64_t word) {
  word -= (word >> 1) & 0x5555555555555555ULL;
  word = (word & 0x3333333333333333ULL) + ((word >> 2) & 0x3333333333333333ULL);
  word = (word + (word >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
  return static_cast<int>((word * EVERY_BYTE) >> 56);
}

// The eight bytes from `from` on as one word holding them in memory order
// from its lowest byte, whatever the machine's byte order.
inline std::uint64_t load_word_in_memory_order(const char* from) {
  std::uint64_t word = load_word(from);
  if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
  return word;
}

// Stores a word that holds eight bytes in memory order from its lowest
// byte at `to`, whatever the machine's byte order.
inline void store_word_in_memory_order(char* to, std::uint64_t word) {
  if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
  std::memcpy(to, &word, sizeof word);
}

// Sixteen bytes side by side, for loops that look at sixteen bytes in one
// step: a comparison gives 0xFF in each byte where it holds and 0 in the
// others.
using Lanes = unsigned char __attribute__((vector_size(16)));
constexpr std::size_t LANE_COUNT = sizeof(Lanes);

inline Lanes load_lanes(const unsigned char* from) {
  Lanes lanes;
  std::memcpy(&lanes, from, sizeof lanes);
  return lanes;
}

// One bit for each of the sixteen lanes of a comparison, in memory order
// from the lowest bit: set where it holds.
inline unsigned lane_bits(Lanes equal) {
#if defined(__SSE2__)
  // The x86-64 baseline has one instruction that gathers the top bits of
  // the sixteen bytes.
  using SignedLanes = char __attribute__((vector_size(16)));
  return static_cast<unsigned>(__builtin_ia32_pmovmskb128(reinterpret_cast<SignedLanes>(equal)));
#else
  // Each half, its bytes 0xFF or 0, keeps bit i in its byte i; one
  // multiplication gathers the eight bits into its top byte.
  constexpr std::uint64_t BIT_OF_EACH_BYTE = 0x8040201008040201ULL;
  unsigned bits = 0;
  for (std::size_t half = 0; half < 2; ++half) {
    std::uint64_t word = load_word_in_memory_order(reinterpret_cast<const char*>(&equal) + 8 * half);
    bits |= static_cast<unsigned>(((word & BIT_OF_EACH_BYTE) * EVERY_BYTE) >> 56) << (8 * half);
  }
  return bits;
#endif
}

// One bit for each of the sixteen bytes from `at` on, in memory order from
// the lowest bit: set where the byte is c.
inline unsigned sixteen_byte_bits(const char* at, char c) {
  return lane_bits(
      static_cast<Lanes>(load_lanes(reinterpret_cast<const unsigned char*>(at)) == static_cast<unsigned char>(c)));
}

// The same for the 64 bytes from `from` on.
inline std::uint64_t byte_bits(const char* from, char c) {
  std::uint64_t bits = 0;
  for (std::size_t step = 0; step < 64; step += LANE_COUNT) {
    bits |= std::uint64_t{sixteen_byte_bits(from + step, c)} << step;
  }
  return bits;
}

// The same for the bytes that are a or b.
inline std::uint64_t either_byte_bits(const char* from, char a, char b) {
  std::uint64_t bits = 0;
  for (std::size_t step = 0; step < 64; step += LANE_COUNT) {
    Lanes bytes = load_lanes(reinterpret_cast<const unsigned char*>(from + step));
    Lanes either = static_cast<Lanes>(bytes == static_cast<unsigned char>(a)) |
                   static_cast<Lanes>(bytes == static_cast<unsigned char>(b));
    bits |= std::uint64_t{lane_bits(either)} << step;
  }
  return bits;
}

// Copies size bytes, reading and writing none outside the two spans: 16
// to 64 bytes, the usual length of a field or a line, in four copies of
// sixteen that overlap as the size needs (so that the size takes no branch
// within that range), shorter spans in two smaller ones, longer ones by the
// library's copy.
inline void copy_bytes(char* to, const char* from, std::size_t size) {
  if (size >= 16 && size <= 64) {
    std::size_t last = size - 16;
    std::size_t second = last < 16 ? last : 16;
    std::size_t third = last < 32 ? last : 32;
    std::memcpy(to, from, 16);
    std::memcpy(to + second, from + second, 16);
    std::memcpy(to + third, from + third, 16);
    std::memcpy(to + last, from + last, 16);
  } else if (size > 64) {
    std::memcpy(to, from, size);
  } else if (size >= 8) {
    std::memcpy(to, from, 8);
    std::memcpy(to + size - 8, from + size - 8, 8);
  } else if (size >= 4) {
    std::memcpy(to, from, 4);
    std::memcpy(to + size - 4, from + size - 4, 4);
  } else {
    for (std::size_t i = 0; i < size; ++i) to[i] = from[i];
  }
}

// What copy_padded may read past its span and write past its target.
constexpr std::size_t COPY_PADDING = 64;

// A row of spaces, of which a store keeps as many as it needs.
constexpr std::array<char, 64> SPACES = [] {
  std::array<char, 64> spaces{};
  spaces.fill(' ');
  return spaces;
}();

// Copies size bytes where the COPY_PADDING bytes from `from` on may be read
// and those from `to` on written whatever the size (the bytes past the span
// are copied too, and the target's past `size` are left undefined): up to
// 64 bytes, most lines and fields, go in four copies of sixteen, with no
// branch on the size.
inline void copy_padded(char* to, const char* from, std::size_t size) {
  if (size > COPY_PADDING) {
    std::memcpy(to, from, size);
    return;
  }
  for (std::size_t step = 0; step < COPY_PADDING; step += LANE_COUNT) std::memcpy(to + step, from + step, LANE_COUNT);
}

// The first c in [from, end), or end when there is none: sixteen bytes a
// step, for the short spans within a line, where a call of the library's
// search costs more than the search. The bytes from `readable` (at or
// before `from`) to end may be read too: the last step reads the sixteen
// bytes before end when there are that many.
inline const char* find_byte(const char* from, const char* end, char c, const char* readable) {
  constexpr auto STEP = static_cast<std::ptrdiff_t>(LANE_COUNT);
  for (; end - from >= STEP; from += STEP) {
    if (unsigned bits = sixteen_byte_bits(from, c); bits != 0) return from + std::countr_zero(bits);
  }
  if (end - readable >= STEP) {
    const char* last = end - STEP;
    unsigned bits = sixteen_byte_bits(last, c) >> (from - last);
    return bits != 0 ? from + std::countr_zero(bits) : end;
  }
  while (from < end && *from != c) ++from;
  return from;
}

// Finds line feeds in a buffer through the bits of its stretches of
// STRETCH bytes (from offset 0 on): short lines, most lines, are found in
// the bits of a stretch gathered once for all the lines in it; a line that
// runs on past two stretches is searched on byte by byte. The buffer must
// hold whole stretches up to the one the search ends in (the bytes past the
// end of a search may be anything).
class LineFeedSearch {
 public:
  static constexpr std::size_t STRETCH = 64;
  static constexpr std::size_t NOT_FOUND = static_cast<std::size_t>(-1);

  // Bytes of the buffer have changed: the bits kept are dropped.
  void forget() { start_ = NOT_FOUND; }

  // The offset of the first line feed from begin to end, or NOT_FOUND.
  std::size_t find(const char* buffer, std::size_t begin, std::size_t end) {
    std::size_t stretch = begin / STRETCH * STRETCH;
    for (int looked = 0; looked < 2 && stretch < end; ++looked, stretch += STRETCH) {
      if (stretch != start_) {
        line_feeds_ = byte_bits(buffer + stretch, '\n');
        start_ = stretch;
      }
      std::uint64_t bits = line_feeds_;
      if (begin > stretch) bits &= ~std::uint64_t{0} << (begin - stretch);
      if (end - stretch < STRETCH) bits &= (std::uint64_t{1} << (end - stretch)) - 1;
      if (bits != 0) return stretch + static_cast<std::size_t>(std::countr_zero(bits));
    }
    if (stretch >= end) return NOT_FOUND;
    const void* found = std::memchr(buffer + stretch, '\n', end - stretch);
    return found != nullptr ? static_cast<std::size_t>(static_cast<const char*>(found) - buffer) : NOT_FOUND;
  }

  // The size to give a buffer of `size` bytes so that it holds whole
  // stretches.
  static constexpr std::size_t whole_stretches(std::size_t size) { return (size + STRETCH - 1) / STRETCH * STRETCH; }

 private:
  std::size_t start_ = NOT_FOUND;  // the stretch whose bits are kept
  std::uint64_t line_feeds_ = 0;
};

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
