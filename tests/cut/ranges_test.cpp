#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "cut/cut.h"

namespace {

// The selected positions up to 12 as a string of digits, e.g. "1235".
std::string selected_up_to_twelve(const cut::PositionSet& positions) {
  std::string result;
  for (int p = 1; p <= 12; ++p) {
    if (positions.contains(static_cast<std::uint64_t>(p))) result += std::to_string(p % 10);
  }
  return result;
}

bool accepted(const char* list) {
  auto positions = std::make_unique<cut::PositionSet>();
  return cut::parse_ranges(list, *positions);
}

TEST(ParseRanges, SetsEveryListedPositionOnce) {
  auto positions = std::make_unique<cut::PositionSet>();
  ASSERT_TRUE(cut::parse_ranges("5,1-3", *positions));
  EXPECT_EQ(selected_up_to_twelve(*positions), "1235");
  EXPECT_EQ(positions->highest(), 5);

  auto overlapping = std::make_unique<cut::PositionSet>();
  ASSERT_TRUE(cut::parse_ranges("2-4,3-6,10-10", *overlapping));
  EXPECT_EQ(selected_up_to_twelve(*overlapping), "234560");
  EXPECT_EQ(overlapping->highest(), 10);
}

TEST(ParseRanges, AcceptsBlanksSignsAndATrailingComma) {
  auto positions = std::make_unique<cut::PositionSet>();
  ASSERT_TRUE(cut::parse_ranges(" 2-+4, 7,", *positions));
  EXPECT_EQ(selected_up_to_twelve(*positions), "2347");
  EXPECT_TRUE(accepted("1,"));
}

TEST(ParseRanges, LimitsOfThePositionRange) {
  auto positions = std::make_unique<cut::PositionSet>();
  ASSERT_TRUE(cut::parse_ranges("2097152", *positions));
  EXPECT_TRUE(positions->contains(2097152));
  EXPECT_FALSE(positions->contains(2097153));
  EXPECT_FALSE(positions->contains(0));
  EXPECT_FALSE(accepted("2097153"));
  EXPECT_FALSE(accepted("1-2097153"));
  EXPECT_FALSE(accepted("0"));
  EXPECT_FALSE(accepted("-3"));
  EXPECT_FALSE(accepted("99999999999999999999"));
}

TEST(ParseRanges, RejectsMalformedLists) {
  for (const char* list : {"", "3-2", "5-", "1,,2", ",1", "a", "1x", "1 -3", "1-2-3", "1;2"}) {
    EXPECT_FALSE(accepted(list)) << list;
  }
}

}  // namespace
