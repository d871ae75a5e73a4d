// Pairing of the lines of two files by their keys: anchors where a bucket
// holds exactly one line in each file, the first and last lines, then
// growth forwards and backwards from every pair.
#pragma once

#include <cstdint>
#include <span>

#include "difra/tables.h"

namespace difra {

using Entries = std::span<std::int32_t>;

// Records that line i of file 1 and line j of file 2 are partners.
inline void pair_lines(Entries file1, Entries file2, int i, int j) {
  file1[i] = j;
  file2[j] = i;
}

// Pairs each line of file 1 whose bucket is at 1 in `combined` with the
// unpaired line of file 2 that has the same key. `single_line_of_bucket`
// gives, for each bucket that holds exactly one line of file 2, that line.
// (A search outwards from position i would find that line and no other:
// the bucket holds no other line of file 2.)
void pair_anchor_lines(Entries file1, Entries file2, const OccurrenceTable& combined,
                       const std::int32_t* single_line_of_bucket);
void pair_first_lines(Entries file1, Entries file2);
void pair_last_lines(Entries file1, Entries file2);
void grow_pairs_forwards(Entries file1, Entries file2);
void grow_pairs_backwards(Entries file1, Entries file2);

// All phases in order. `occurrences1` becomes the combined table.
void link_files(Entries file1, Entries file2, OccurrenceTable& occurrences1,
                const OccurrenceTable& occurrences2, const std::int32_t* single_line_of_bucket);

}  // namespace difra
