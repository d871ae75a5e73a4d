// The fixed-size tables Difra keeps per file: one entry per line, and the
// two-bit occurrence counters of the key buckets.
#pragma once

#include <cstdint>
#include <span>

#include "difra/line_text.h"

namespace difra {

constexpr int MAX_LINES = 524288;

// Entry i holds the key of line i (negative) while the line is unpaired,
// else the index of its partner line in the other file.
struct LineTable {
  std::int32_t count = 0;
  std::int32_t entries[MAX_LINES];

  std::span<std::int32_t> lines() { return {entries, static_cast<std::size_t>(count)}; }
};

// 32,768 counters of two bits, four to a byte, the first in the high bits:
// 0 = no line fell into the bucket, 1 = exactly one, 2 = two or more.
class OccurrenceTable {
 public:
  static constexpr int BYTES = BUCKET_COUNT / 4;

  int counter(int bucket) const { return (bytes_[bucket / 4] >> shift(bucket)) & 3; }
  // Counts one more line in the bucket; a counter at 2 stays 2. With no
  // branch: whether a bucket already holds two lines is as good as random.
  void raise(int bucket) {
    int step = (counter(bucket) < 2 ? 1 : 0) << shift(bucket);
    bytes_[bucket / 4] = static_cast<std::uint8_t>(bytes_[bucket / 4] + step);
  }
  // Leaves each counter as (this counter) AND (the other's), as two-bit
  // values: only buckets with exactly one line in each table stay at 1.
  void combine_with(const OccurrenceTable& other) {
    for (int i = 0; i < BYTES; ++i) bytes_[i] &= other.bytes_[i];
  }
  std::uint8_t byte(int index) const { return bytes_[index]; }

 private:
  static int shift(int bucket) { return 6 - 2 * (bucket % 4); }
  std::uint8_t bytes_[BYTES] = {};
};

}  // namespace difra
