// Differential tests of the fast comparison paths: the keyed orders that
// the sorts and the merge use must order every pair of lines as the full
// comparison does, and a keyed sort must take the steps of the plain one.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "ordly/line_order.h"
#include "ordly/sort_methods.h"
#include "tests/ordly/order_test_support.h"
#include "tests/ordly/random_order_support.h"

namespace {

class FastOrder : public ordly_test::OrderTest {};

int sign(int value) { return (value > 0) - (value < 0); }

std::vector<std::string> stored_lines(const std::vector<std::string>& texts) {
  std::vector<std::string> lines;
  for (const std::string& text : texts) lines.push_back(ordly_test::stored(text));
  return lines;
}

TEST_F(FastOrder, KeyedOrdersAgreeWithTheFullComparisonOnEveryPair) {
  std::mt19937 random(20261208);
  for (int round = 0; round < 60; ++round) {
    std::string group = ordly_test::random_order(random);
    ordly_test::apply_order(group);
    std::vector<std::string> lines = stored_lines(ordly_test::random_texts(random, 160));
    ordly::with_keyed_line_order([&](auto order) {
      std::vector<ordly::KeyedLine> keyed;
      for (std::string& line : lines) keyed.push_back({order.key_of(line.data(), line.size() - ordly::LINE_PADDING), line.data()});
      for (const ordly::KeyedLine& a : keyed) {
        for (const ordly::KeyedLine& b : keyed) {
          ASSERT_EQ(sign(order(a, b)), sign(ordly::settings.active_compare(a.line, b.line)))
              << "order '" << group << "' lines '" << a.line << "' and '" << b.line << "'";
        }
      }
    });
  }
}

using SortFunction = void (*)(char**, std::int32_t, ordly::CompareFunction);

TEST_F(FastOrder, SortedStoresMatchEachMethodWithTheFullComparison) {
  const struct {
    ordly::SortMethod method;
    SortFunction sort;
  } methods[] = {{ordly::SortMethod::QUICKSORT, ordly::quicksort},
                 {ordly::SortMethod::HEAPSORT, ordly::heapsort},
                 {ordly::SortMethod::SHELLSORT, ordly::shellsort},
                 {ordly::SortMethod::INSERTION_SORT, ordly::insertion_sort},
                 {ordly::SortMethod::COMBSORT, ordly::combsort}};
  std::mt19937 random(77);
  for (int round = 0; round < 40; ++round) {
    std::string group = ordly_test::random_order(random);
    std::vector<std::string> lines = stored_lines(ordly_test::random_texts(random, 1 + random() % 3000));
    for (const auto& m : methods) {
      ordly_test::apply_order(group);
      ordly::settings.sort_method = m.method;
      std::vector<char*> fast;
      for (std::string& line : lines) fast.push_back(line.data());
      std::vector<char*> plain = fast;
      ordly::sort_lines(fast.data(), static_cast<std::int32_t>(fast.size()));
      m.sort(plain.data(), static_cast<std::int32_t>(plain.size()), ordly::settings.active_compare);
      // The same lines in the same places, not merely lines that compare equal.
      ASSERT_TRUE(fast == plain) << "order '" << group << "', method " << static_cast<int>(m.method);
    }
  }
}

}  // namespace
