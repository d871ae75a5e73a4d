#include "tabconv/tab_stops.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using tabconv::MAX_LINE_LENGTH;
using tabconv::TabStopTable;
using Columns = std::vector<std::uint32_t>;

namespace {

// The columns (counted from 1) whose stop flag is set.
Columns columns_set(const TabStopTable& table) {
  Columns columns;
  for (std::uint32_t p = 0; p < MAX_LINE_LENGTH; ++p) {
    if (table.flags[p]) columns.push_back(p + 1);
  }
  return columns;
}

struct ListResult {
  Columns columns;
  std::string bad_text;  // empty with ok set when the whole list was taken
  bool ok = false;
};

ListResult parse(const char* list) {
  auto table = std::make_unique<TabStopTable>();
  ListResult result;
  const char* bad = tabconv::parse_tab_list(*table, list);
  result.ok = bad == nullptr;
  if (bad != nullptr) result.bad_text = bad;
  result.columns = columns_set(*table);
  return result;
}

}  // namespace

TEST(TabStopTable, PositionsFromTheMaximumLineLengthOnAreAllStops) {
  auto table = std::make_unique<TabStopTable>();
  EXPECT_FALSE(table->is_stop(0));
  EXPECT_FALSE(table->is_stop(MAX_LINE_LENGTH - 1));
  EXPECT_TRUE(table->is_stop(MAX_LINE_LENGTH));
  EXPECT_TRUE(table->is_stop(5ULL * MAX_LINE_LENGTH));
  table->flags[7] = 1;
  EXPECT_TRUE(table->is_stop(7));
}

TEST(SetStops, StepsFromFirstUpToLastInclusive) {
  auto table = std::make_unique<TabStopTable>();
  tabconv::set_stops(*table, 3, 4, 15);
  EXPECT_EQ(columns_set(*table), (Columns{3, 7, 11, 15}));
  tabconv::set_stops(*table, 20, 1, 19);  // last below first: nothing
  tabconv::set_stops(*table, 2, 1, 2);    // a single stop
  EXPECT_EQ(columns_set(*table), (Columns{2, 3, 7, 11, 15}));
}

TEST(SetStops, EndsAtTheMaximumLineLengthWithoutWrapping) {
  auto table = std::make_unique<TabStopTable>();
  tabconv::set_stops(*table, 1, 0x7FFFFFFF, MAX_LINE_LENGTH);
  EXPECT_EQ(columns_set(*table), (Columns{1}));
  tabconv::set_stops(*table, MAX_LINE_LENGTH - 1, 1, 0xFFFFFFFF);
  EXPECT_EQ(columns_set(*table), (Columns{1, MAX_LINE_LENGTH - 1, MAX_LINE_LENGTH}));
}

TEST(ReadStopNumber, BasesBlanksSignsAndWhereItStops) {
  const char* text = " 0x10:rest";
  tabconv::StopNumber number = tabconv::read_stop_number(text);
  EXPECT_TRUE(number.valid);
  EXPECT_EQ(number.value, 16u);
  EXPECT_EQ(number.next, text + 5);
  EXPECT_EQ(tabconv::read_stop_number("010").value, 8u);
  EXPECT_EQ(tabconv::read_stop_number("+12,").value, 12u);
  EXPECT_EQ(tabconv::read_stop_number("1048576").value, MAX_LINE_LENGTH);
}

TEST(ReadStopNumber, OutOfRangeOrMissingIsInvalid) {
  for (const char* text : {"0", "-3", "1048577", "", ",5", "x", "99999999999", "-99999999999"}) {
    EXPECT_FALSE(tabconv::read_stop_number(text).valid) << text;
  }
}

TEST(ParseTabList, SingleColumnsStepsAndLimits) {
  EXPECT_EQ(parse("10,20,30").columns, (Columns{10, 20, 30}));
  EXPECT_EQ(parse("5:10:40").columns, (Columns{5, 15, 25, 35}));
  EXPECT_EQ(parse("40:10:5").columns, Columns{});
  EXPECT_TRUE(parse("40:10:5").ok);
  ListResult open_ended = parse("5:10");
  ASSERT_TRUE(open_ended.ok);
  EXPECT_EQ(open_ended.columns.size(), 104858u);  // 5, 15, ... 1048575
  EXPECT_EQ(open_ended.columns.front(), 5u);
  EXPECT_EQ(open_ended.columns.back(), 1048575u);
}

TEST(ParseTabList, EntriesInAnyOrderMakeTheUnion) {
  EXPECT_EQ(parse("30,2:4:12,10,0x6,012").columns, (Columns{2, 6, 10, 30}));
  EXPECT_EQ(parse("7, 3").columns, (Columns{3, 7}));
}

TEST(ParseTabList, BadNumbersShowTheTextFromThatNumber) {
  struct Case {
    const char* list;
    const char* shown;
  };
  for (Case c : {Case{"0", "0"}, Case{"1048577", "1048577"}, Case{"5:0", "0"}, Case{"5:10:0x", "0x"},
                 Case{"", ""}, Case{"5,", ""}, Case{"4,-2,9", "-2,9"}, Case{"5::3", ":3"}}) {
    ListResult result = parse(c.list);
    EXPECT_FALSE(result.ok) << c.list;
    EXPECT_EQ(result.bad_text, c.shown) << c.list;
  }
}

TEST(ParseTabList, StrayCharactersAfterAnEntryShowTheRest) {
  ListResult result = parse("5;7");
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.bad_text, ";7");
  EXPECT_EQ(parse("5:10:40:3").bad_text, ":3");
  EXPECT_EQ(parse("8x").bad_text, "x");
}
