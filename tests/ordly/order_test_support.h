// Helpers for the unit tests of Ordly's order: fresh settings per test and
// comparisons of texts given as stored lines (line feed, NUL, padding).
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "ordly/line_order.h"
#include "ordly/settings.h"

namespace ordly_test {

class OrderTest : public ::testing::Test {
 protected:
  void SetUp() override { ordly::settings = ordly::Settings{}; }
  void TearDown() override { ordly::settings = ordly::Settings{}; }
};

inline std::string stored(const std::string& text) {
  return text + "\n" + std::string(ordly::LINE_PADDING, '\0');
}

// The sign of the active comparison of two texts, each taken as a line.
inline int order_of(const std::string& first, const std::string& second) {
  std::string a = stored(first);
  std::string b = stored(second);
  int result = ordly::settings.active_compare(a.c_str(), b.c_str());
  return (result > 0) - (result < 0);
}

}  // namespace ordly_test
