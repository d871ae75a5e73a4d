// The merge's sift-down under the order of the codes alone, with fewer
// bytes looked at: each input's current line keeps the offset and code of
// its first difference from the line above it in the heap (the line
// written last, for the top). Lines that lie on one side of a common line
// compare by these codes alone, and a tie of codes is settled by looking
// on from the offset after it, so the common part of two lines is not read
// again at every level of the heap. Every comparison gives the outcome of
// the full comparison, so the heap takes exactly the steps it takes with
// it: the same lines leave it in the same order, equal lines included.
#pragma once

#include <cstdint>

#include "ordly/line_order.h"
#include "ordly/runs.h"

namespace ordly {

class CodedHeap {
 public:
  CodedHeap(const unsigned char* table, bool reverse);

  // The heap's positions hold input numbers (below MAX_FILES) whose
  // current lines are lines[input]; the positions are in heap order
  // already. Codes each line against the one above it.
  void start(const int* heap, int count, const KeyedLine* lines);

  // The top's line has changed (its input's next line, or the line of the
  // element moved up from the end): moves it down to its place, ties to
  // the left child, as the plain sift-down does.
  void sift_down(int* heap, int count, const KeyedLine* lines);

 private:
  struct Outcome {
    int order;           // below 0, 0 or above 0: the first line is less, equal or greater
    std::uint64_t code;  // the code of the greater line against the lesser; 0 when equal
  };

  // The two lines, equal in their codes before offset, compared from there.
  Outcome compare_from(const char* first, const char* second, std::uint32_t offset) const;
  // Two lines coded against the same line, which is at most either.
  Outcome compare_coded(const char* first, std::uint64_t first_code, const char* second,
                        std::uint64_t second_code) const;

  unsigned char codes_[256];  // the order's codes, reversed for a reverse order
  std::uint64_t code_[MAX_FILES] = {};  // for each input, its line's code against the line above it
};

}  // namespace ordly
