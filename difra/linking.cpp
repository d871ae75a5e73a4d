#include "difra/linking.h"

namespace difra {

namespace {

bool is_paired(std::int32_t entry) { return entry >= 0; }

int size_of(Entries entries) { return static_cast<int>(entries.size()); }

}  // namespace

void pair_anchor_lines(Entries file1, Entries file2, const OccurrenceTable& combined,
                       const std::int32_t* single_line_of_bucket) {
  for (int i = 0; i < size_of(file1); ++i) {
    std::int32_t key = file1[i];
    if (is_paired(key)) continue;
    int bucket = key_bucket(key);
    if (combined.counter(bucket) != 1) continue;
    int j = single_line_of_bucket[bucket];
    if (j >= 0 && j < size_of(file2) && file2[j] == key) pair_lines(file1, file2, i, j);
  }
}

void pair_first_lines(Entries file1, Entries file2) {
  if (file1.empty() || file2.empty()) return;
  if (!is_paired(file1[0]) && file1[0] == file2[0]) pair_lines(file1, file2, 0, 0);
}

void pair_last_lines(Entries file1, Entries file2) {
  if (file1.empty() || file2.empty()) return;
  int last1 = size_of(file1) - 1;
  int last2 = size_of(file2) - 1;
  if (!is_paired(file1[last1]) && file1[last1] == file2[last2]) pair_lines(file1, file2, last1, last2);
}

void grow_pairs_forwards(Entries file1, Entries file2) {
  bool growing = false;
  for (int i = 0; i < size_of(file1); ++i) {
    if (is_paired(file1[i])) {
      growing = true;
    } else if (growing) {
      int j = file1[i - 1] + 1;
      growing = j < size_of(file2) && file2[j] == file1[i];
      if (growing) pair_lines(file1, file2, i, j);
    }
  }
}

void grow_pairs_backwards(Entries file1, Entries file2) {
  bool growing = false;
  for (int i = size_of(file1) - 1; i >= 0; --i) {
    if (is_paired(file1[i])) {
      growing = true;
    } else if (growing) {
      int j = file1[i + 1] - 1;
      growing = j >= 0 && file2[j] == file1[i];
      if (growing) pair_lines(file1, file2, i, j);
    }
  }
}

void link_files(Entries file1, Entries file2, OccurrenceTable& occurrences1,
                const OccurrenceTable& occurrences2, const std::int32_t* single_line_of_bucket) {
  occurrences1.combine_with(occurrences2);
  pair_anchor_lines(file1, file2, occurrences1, single_line_of_bucket);
  pair_first_lines(file1, file2);
  pair_last_lines(file1, file2);
  grow_pairs_forwards(file1, file2);
  grow_pairs_backwards(file1, file2);
}

}  // namespace difra
