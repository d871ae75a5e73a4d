#include "ordly/coded_heap.h"

#include <algorithm>

namespace ordly {

namespace {

// A line's code against a lesser line: the higher the code, the greater
// the line. The first difference comes first (a line that leaves the
// common line sooner is the greater), then the greater line's code there.
// A line equal to the other has the code 0, below every difference.
std::uint64_t difference_code(std::uint32_t offset, unsigned char code) {
  return (((std::uint64_t{1} << 32) - offset) << 8) | code;
}

std::uint32_t offset_of(std::uint64_t code) {
  return static_cast<std::uint32_t>((std::uint64_t{1} << 32) - (code >> 8));
}

}  // namespace

CodedHeap::CodedHeap(const unsigned char* table, bool reverse) {
  // Reversed codes order a reverse order as the plain one; only the NUL
  // keeps the code that no other byte has, 255 instead of 0.
  for (int b = 0; b < 256; ++b) codes_[b] = static_cast<unsigned char>(reverse ? 255 - table[b] : table[b]);
}

CodedHeap::Outcome CodedHeap::compare_from(const char* first, const char* second, std::uint32_t offset) const {
  const unsigned char* a = reinterpret_cast<const unsigned char*>(first) + offset;
  const unsigned char* b = reinterpret_cast<const unsigned char*>(second) + offset;
  skip_equal_codes(a, b, codes_);
  unsigned char ca = codes_[*a];
  unsigned char cb = codes_[*b];
  // Equal codes at a NUL: both lines end here.
  if (ca == cb) return {0, 0};
  std::uint32_t at = static_cast<std::uint32_t>(a - reinterpret_cast<const unsigned char*>(first));
  return {ca < cb ? -1 : 1, difference_code(at, std::max(ca, cb))};
}

CodedHeap::Outcome CodedHeap::compare_coded(const char* first, std::uint64_t first_code, const char* second,
                                            std::uint64_t second_code) const {
  if (first_code == second_code) {
    // Both equal to the common line, or both ending where it goes on.
    if (first_code == 0 || (first_code & 0xFF) == codes_[0]) return {0, 0};
    // Both leaving the common line at the same offset with the same code:
    // the rest decides.
    return compare_from(first, second, offset_of(first_code) + 1);
  }
  // Otherwise the codes do, without a branch on which is the greater.
  return {first_code > second_code ? 1 : -1, std::max(first_code, second_code)};
}

void CodedHeap::start(const int* heap, int count, const KeyedLine* lines) {
  for (int k = 1; k < count; ++k) {
    code_[heap[k]] = compare_from(lines[heap[(k - 1) / 2]].line, lines[heap[k]].line, 0).code;
  }
}

// At each level the children are coded against the line that was in their
// parent's place (the line moved up, or the line written last at the top),
// and so is the moving line from the second level on. For lines
// low <= middle <= high, the code of high against low is the greater of
// the codes of middle against low and high against middle: that keeps
// every code without looking at a line again.
void CodedHeap::sift_down(int* heap, int count, const KeyedLine* lines) {
  int moving = heap[0];
  const char* moving_line = lines[moving].line;
  std::uint64_t moving_code = 0;  // against the line above, from the second level on
  int i = 0;
  int child = 1;
  while (child < count) {
    int other = -1;
    std::uint64_t other_code = 0;  // the other child against the chosen one
    if (child + 1 < count) {
      int left = heap[child];
      int right = heap[child + 1];
      Outcome sides = compare_coded(lines[left].line, code_[left], lines[right].line, code_[right]);
      bool right_is_less = sides.order > 0;
      child += right_is_less ? 1 : 0;
      other = right_is_less ? left : right;
      other_code = sides.code;
    }
    int chosen = heap[child];
    Outcome versus = i == 0 ? compare_from(moving_line, lines[chosen].line, 0)
                            : compare_coded(moving_line, moving_code, lines[chosen].line, code_[chosen]);
    if (versus.order <= 0) {
      // The moving line stays: its children are coded against it.
      code_[chosen] = versus.code;
      if (other >= 0) code_[other] = std::max(versus.code, other_code);
      break;
    }
    heap[i] = chosen;
    if (other >= 0) code_[other] = other_code;
    moving_code = versus.code;
    i = child;
    child = 2 * child + 1;
  }
  heap[i] = moving;
  code_[moving] = moving_code;
}

}  // namespace ordly
