// The coded heap against the merge's plain sift-down with the full
// comparison: in random merges under the orders of the codes alone, both
// must hold the same inputs in the same places after every step.
#include "ordly/coded_heap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <random>
#include <string>
#include <vector>

#include "ordly/collation.h"
#include "tests/ordly/order_test_support.h"
#include "tests/ordly/random_order_support.h"

namespace {

using Heap = std::vector<int>;

bool greater(const ordly::KeyedLine* lines, int a, int b) {
  return ordly::settings.active_compare(lines[a].line, lines[b].line) > 0;
}

// The plain steps: ties take the left child.
void plain_sift_down(Heap& heap, int count, const ordly::KeyedLine* lines) {
  int i = 0;
  int child = 1;
  while (child < count) {
    if (child + 1 < count && greater(lines, heap[child], heap[child + 1])) ++child;
    if (!greater(lines, heap[i], heap[child])) break;
    std::swap(heap[i], heap[child]);
    i = child;
    child = 2 * child + 1;
  }
}

// Random texts with many ties: beside the random ones, one text in both
// cases and its beginnings, which end where an equal line goes on.
std::vector<std::string> texts_with_ties(std::mt19937& random, std::size_t count) {
  std::vector<std::string> texts = ordly_test::random_texts(random, count);
  std::string text = ordly_test::random_text(random);
  for (std::size_t length = 0; length <= text.size(); ++length) {
    std::string part = text.substr(0, length);
    texts.push_back(part);
    std::transform(part.begin(), part.end(), part.begin(), [](unsigned char c) { return std::toupper(c); });
    texts.push_back(part);
  }
  std::shuffle(texts.begin(), texts.end(), random);
  return texts;
}

// A stored line whose bytes after its NUL, which a comparison may read but
// must not go by, are noise.
std::string with_noise_after(const std::string& text, std::mt19937& random) {
  std::string line = ordly_test::stored(text);
  for (std::size_t k = text.size() + 2; k < line.size(); ++k) line[k] = static_cast<char>(1 + random() % 255);
  return line;
}

class CodedHeapTest : public ordly_test::OrderTest {};

TEST_F(CodedHeapTest, TakesThePlainStepsInRandomMerges) {
  const char* const GROUPS[] = {"", "/A", "/W", "/R", "/AR", "/WR"};
  std::mt19937 random(20261209);
  for (int round = 0; round < 300; ++round) {
    std::string group = GROUPS[round % 6];
    ordly_test::apply_order(group);
    ASSERT_TRUE(ordly::plain_codes_apply());
    // Sorted inputs as runs are; every third round unsorted ones, as the
    // user's files may be.
    bool sorted = round % 3 != 0;
    int inputs = 1 + static_cast<int>(random() % ordly::MAX_FILES);
    std::vector<std::vector<std::string>> lines(inputs);
    for (auto& input : lines) {
      for (const std::string& text : texts_with_ties(random, random() % 6)) {
        input.push_back(with_noise_after(text, random));
      }
      if (sorted) {
        std::stable_sort(input.begin(), input.end(), [](const std::string& a, const std::string& b) {
          return ordly::settings.active_compare(a.c_str(), b.c_str()) < 0;
        });
      }
    }
    ordly::KeyedLine current[ordly::MAX_FILES] = {};
    std::vector<std::size_t> next(inputs, 0);
    Heap plain;
    for (int i = 0; i < inputs; ++i) {
      if (lines[i].empty()) continue;
      current[i].line = lines[i][0].data();
      plain.push_back(i);
      for (std::size_t k = plain.size() - 1; k > 0 && greater(current, plain[k - 1], plain[k]); --k) {
        std::swap(plain[k - 1], plain[k]);
      }
    }
    Heap coded = plain;
    int count = static_cast<int>(plain.size());
    ordly::CodedHeap heap(ordly::settings.active_table, ordly::settings.reverse_order);
    heap.start(coded.data(), count, current);
    while (count > 0) {
      int top = plain[0];
      if (++next[top] < lines[top].size()) {
        current[top].line = lines[top][next[top]].data();
      } else {
        --count;
        plain[0] = plain[count];
        coded[0] = coded[count];
      }
      plain_sift_down(plain, count, current);
      heap.sift_down(coded.data(), count, current);
      ASSERT_TRUE(std::equal(plain.begin(), plain.begin() + count, coded.begin()))
          << "order '" << group << "', round " << round << ", " << inputs << " inputs";
    }
  }
}

}  // namespace
