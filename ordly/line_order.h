// The comparison as the sorts and the merge call it. In the usual case (no
// starting column, blanks, number keys or dictionary order, no Spanish
// digraphs) only the character stage runs, and it is inlined into the
// sorting and merging loops; every other case calls active_compare.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

#include "ordly/settings.h"

namespace ordly {

// Bytes after the NUL of every stored line and merge line buffer, so that
// the comparison may read eight bytes at a time up to the NUL.
constexpr std::size_t LINE_PADDING = 8;

// Moves both positions to the first byte where the texts differ or the
// first text ends (its NUL).
inline void skip_identical_bytes(const unsigned char*& a, const unsigned char*& b) {
  if constexpr (std::endian::native == std::endian::little) {
    constexpr std::uint64_t ONES = 0x0101010101010101ULL;
    constexpr std::uint64_t HIGHS = 0x8080808080808080ULL;
    for (;;) {
      std::uint64_t wa, wb;
      std::memcpy(&wa, a, sizeof wa);
      std::memcpy(&wb, b, sizeof wb);
      // Bits in the first byte that differs or is zero; later bytes may
      // show false zeros, which the lowest set bit never picks.
      std::uint64_t stop = (wa ^ wb) | ((wa - ONES) & ~wa & HIGHS);
      if (stop != 0) {
        int skip = std::countr_zero(stop) / 8;
        a += skip;
        b += skip;
        return;
      }
      a += 8;
      b += 8;
    }
  } else {
    while (*a == *b && *a != 0) {
      ++a;
      ++b;
    }
  }
}

// Moves both positions to the first byte where the texts' codes differ,
// or to the first text's NUL when they have the same codes up to it.
inline void skip_equal_codes(const unsigned char*& a, const unsigned char*& b, const unsigned char* table) {
  for (;;) {
    skip_identical_bytes(a, b);
    if (table[*a] != table[*b] || *a == 0) return;
    ++a;
    ++b;
  }
}

// The character stage on its own: the difference of the first codes that
// differ, or 0 when the lines end together.
inline int compare_codes_from(const unsigned char* a, const unsigned char* b, const unsigned char* table,
                              bool reverse) {
  skip_equal_codes(a, b, table);
  int ca = table[*a];
  int cb = table[*b];
  return reverse ? cb - ca : ca - cb;
}

// A line with the codes of its first eight bytes packed into one number,
// the first code highest: two lines whose packed codes differ are ordered
// by them alone, because the codes before the first difference are equal
// and a line's codes end in zeros from its NUL on.
struct KeyedLine {
  std::uint64_t key;
  char* line;
};

// The packed codes of a line of length bytes (its NUL not counted); only
// the bytes of the line itself are read. A stored line, padded with zeros,
// may be given as PADDED_LINE long.
constexpr std::size_t PADDED_LINE = 8;
inline std::uint64_t code_prefix(const char* line, std::size_t length, const unsigned char* table) {
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(line);
  std::uint64_t key = 0;
  if (length >= 8) {
    for (std::size_t i = 0; i < 8; ++i) key = key << 8 | table[bytes[i]];
  } else {
    for (std::size_t i = 0; i < 8; ++i) key = key << 8 | (i < length ? table[bytes[i]] : 0);
  }
  return key;
}

// True when only the character stage of compare_plain takes part.
bool plain_codes_apply();

struct KeyedCodeOrder {
  // The order of the codes alone: the keys decide most comparisons, and
  // the order is transitive.
  static constexpr bool CODES_ALONE = true;
  const unsigned char* table;
  bool reverse;
  // Where the keys begin: lines that all have the same codes before it may
  // be keyed from there on (see the quicksort), and compare as from there.
  std::size_t key_offset = 0;
  std::uint64_t key_of(const char* line, std::size_t length) const { return code_prefix(line, length, table); }
  int operator()(const KeyedLine& first, const KeyedLine& second) const {
    if (first.key != second.key) return (first.key < second.key) != reverse ? -1 : 1;
    // Only the NUL has the code 0: equal keys ending in it are equal lines,
    // and equal keys without it leave the lines to compare from the ninth
    // byte of the keys on.
    if ((first.key & 0xFF) == 0) return 0;
    return compare_codes_from(reinterpret_cast<const unsigned char*>(first.line) + key_offset + 8,
                              reinterpret_cast<const unsigned char*>(second.line) + key_offset + 8, table, reverse);
  }
};

struct FunctionOrder {
  static constexpr bool CODES_ALONE = false;
  CompareFunction compare;
  int operator()(const char* first, const char* second) const { return compare(first, second); }
};

// The comparison of the current settings on keyed lines whose keys take no
// part: for loops that keep keys only where the character stage decides.
struct KeyedFunctionOrder {
  static constexpr bool CODES_ALONE = false;
  CompareFunction compare;
  std::uint64_t key_of(const char*, std::size_t) const { return 0; }
  int operator()(const KeyedLine& first, const KeyedLine& second) const { return compare(first.line, second.line); }
};

// Calls work with the order of the current settings on keyed lines; an
// order's key_of gives the key to keep beside each line.
template <typename Work>
void with_keyed_line_order(Work&& work) {
  if (plain_codes_apply()) {
    work(KeyedCodeOrder{settings.active_table, settings.reverse_order});
  } else {
    work(KeyedFunctionOrder{settings.active_compare});
  }
}

}  // namespace ordly
