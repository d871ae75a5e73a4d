#include "ordly/sort_methods.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/ordly/order_test_support.h"

namespace {

using Names = std::vector<std::string>;
using SortFunction = void (*)(char**, std::int32_t, ordly::CompareFunction);

// Orders by the first byte only, so "a1" and "a2" are equal and the digit
// shows where each one ends up.
int compare_first_byte(const char* first, const char* second) {
  return static_cast<unsigned char>(first[0]) - static_cast<unsigned char>(second[0]);
}

Names sorted_with(SortFunction sort, Names names, ordly::CompareFunction compare = compare_first_byte) {
  std::vector<char*> items;
  for (std::string& name : names) items.push_back(name.data());
  sort(items.data(), static_cast<std::int32_t>(items.size()), compare);
  Names result;
  for (char* item : items) result.emplace_back(item);
  return result;
}

const SortFunction ALL_METHODS[] = {ordly::quicksort, ordly::heapsort, ordly::shellsort, ordly::insertion_sort,
                                    ordly::combsort};

TEST(SortMethods, EmptyAndSingleInputsAreLeftAlone) {
  for (SortFunction sort : ALL_METHODS) {
    EXPECT_EQ(sorted_with(sort, {}), Names{});
    EXPECT_EQ(sorted_with(sort, {"x"}), Names{"x"});
  }
}

TEST(SortMethods, EveryMethodSortsSortedReversedAndEqualInputs) {
  Names ascending, descending;
  for (int i = 0; i < 3000; ++i) ascending.push_back(std::to_string(100000 + i));
  descending.assign(ascending.rbegin(), ascending.rend());
  Names equal(2000, "same");
  Names shuffled;
  for (int i = 0; i < 3000; ++i) shuffled.push_back(std::to_string(100000 + (i * 7919) % 3000));
  auto by_text = [](const char* a, const char* b) { return std::string(a).compare(b); };
  for (SortFunction sort : ALL_METHODS) {
    EXPECT_EQ(sorted_with(sort, ascending, by_text), ascending);
    EXPECT_EQ(sorted_with(sort, descending, by_text), ascending);
    EXPECT_EQ(sorted_with(sort, shuffled, by_text), ascending);
    EXPECT_EQ(sorted_with(sort, equal, by_text), equal);
  }
}

TEST(SortMethods, InsertionKeepsEqualItemsInInputOrder) {
  EXPECT_EQ(sorted_with(ordly::insertion_sort, {"b1", "a1", "b2", "a2", "a3"}),
            (Names{"a1", "a2", "a3", "b1", "b2"}));
}

TEST(SortMethods, QuicksortOfAtMostSevenItemsIsInsertion) {
  EXPECT_EQ(sorted_with(ordly::quicksort, {"b1", "a1", "b2", "a2", "c1", "a3", "b3"}),
            (Names{"a1", "a2", "a3", "b1", "b2", "b3", "c1"}));
}

TEST(SortMethods, QuicksortPartitionOrderOfEqualItems) {
  // Nine equal items: the first pivot is position 9 * 1663 / 7875 = 1, and
  // the hole-filling partition leaves the order below.
  EXPECT_EQ(sorted_with(ordly::quicksort, {"e0", "e1", "e2", "e3", "e4", "e5", "e6", "e7", "e8"}),
            (Names{"e8", "e7", "e6", "e5", "e1", "e4", "e3", "e2", "e0"}));
}

TEST(SortMethods, PivotSeedSequence) {
  std::int32_t seed = 0;
  std::vector<std::int32_t> seeds;
  for (int i = 0; i < 6; ++i) seeds.push_back(seed = ordly::next_pivot_seed(seed));
  EXPECT_EQ(seeds, (std::vector<std::int32_t>{1663, 6056, 3729, 982, 4115, 3678}));
}

TEST(SortMethods, HeapsortOrderOfEqualItems) {
  EXPECT_EQ(sorted_with(ordly::heapsort, {"x1", "x2", "x3"}), (Names{"x2", "x3", "x1"}));
  EXPECT_EQ(sorted_with(ordly::heapsort, {"b1", "a1", "b2", "a2"}), (Names{"a1", "a2", "b2", "b1"}));
}

TEST(SortMethods, ShellsortPassesAndOrderOfEqualItems) {
  EXPECT_EQ(ordly::shell_pass_count(1), 0);
  EXPECT_EQ(ordly::shell_pass_count(7), 2);
  EXPECT_EQ(ordly::shell_pass_count(8), 3);
  EXPECT_EQ(ordly::shell_pass_count(100), 6);
  EXPECT_EQ(ordly::shell_pass_count(15360), 13);
  EXPECT_EQ(ordly::shell_pass_count(16384), 14);
  EXPECT_EQ(sorted_with(ordly::shellsort, {"c1", "b1", "b2", "a1"}), (Names{"a1", "b2", "b1", "c1"}));
}

TEST(SortMethods, CombsortGapsAndOrderOfEqualItems) {
  std::vector<std::int32_t> gaps;
  std::int32_t gap = 100;
  do {
    gaps.push_back(gap = ordly::next_comb_gap(gap));
  } while (gap > 1);
  EXPECT_EQ(gaps, (std::vector<std::int32_t>{76, 58, 44, 33, 25, 19, 14, 11, 8, 6, 4, 3, 2, 1}));
  EXPECT_EQ(ordly::next_comb_gap(26), 19);
  EXPECT_EQ(ordly::next_comb_gap(13), 11);
  EXPECT_EQ(ordly::next_comb_gap(1), 1);
  EXPECT_EQ(sorted_with(ordly::combsort, {"b1", "a1", "b2", "a2"}), (Names{"a2", "a1", "b2", "b1"}));
}

class SortLines : public ordly_test::OrderTest {};

TEST_F(SortLines, DispatchesOnTheMethodWithTheActiveOrder) {
  std::vector<std::string> texts = {"Zoo", "apple", "zoo", "Apple", "mango"};
  struct Case {
    ordly::SortMethod method;
    Names expected;
  };
  for (const Case& c : {Case{ordly::SortMethod::INSERTION_SORT, {"apple", "Apple", "mango", "Zoo", "zoo"}},
                        Case{ordly::SortMethod::QUICKSORT, {"apple", "Apple", "mango", "Zoo", "zoo"}}}) {
    ordly::settings.sort_method = c.method;
    std::vector<std::string> lines;
    for (const std::string& t : texts) lines.push_back(ordly_test::stored(t));
    std::vector<char*> items;
    for (std::string& line : lines) items.push_back(line.data());
    ordly::sort_lines(items.data(), static_cast<std::int32_t>(items.size()));
    Names result;
    for (char* item : items) result.emplace_back(item, std::strlen(item) - 1);
    EXPECT_EQ(result, c.expected);
  }
}

}  // namespace
