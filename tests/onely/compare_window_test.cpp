#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "onely/onely.h"

namespace {

class CompareWindowTest : public testing::Test {
 protected:
  void SetUp() override { onely::settings = onely::Settings{}; }

  std::string_view line(int which, const char* text) {
    lines_[which] = text;
    return lines_[which];
  }
  bool equal(const char* incoming, const char* held) {
    return onely::windows_equal(onely::compare_window(line(0, incoming)), onely::compare_window(line(1, held)));
  }

 private:
  std::string lines_[2];
};

TEST_F(CompareWindowTest, WholeLineWithItsNewlineByDefault) {
  EXPECT_TRUE(equal("abc\n", "abc\n"));
  EXPECT_FALSE(equal("abc", "abc\n"));
  EXPECT_FALSE(equal("abc\n", "abd\n"));
  EXPECT_FALSE(equal("Abc\n", "abc\n"));
  EXPECT_TRUE(equal("", ""));
}

TEST_F(CompareWindowTest, SkipCountMovesTheStart) {
  onely::settings.skip_count = 3;
  EXPECT_TRUE(equal("xyzabc\n", "123abc\n"));
  EXPECT_TRUE(equal("ab\n", "xy\n"));    // both windows empty
  EXPECT_TRUE(equal("abc\n", "xyz\n"));  // both windows the newline only
  EXPECT_FALSE(equal("ab\n", "abc\n"));
  onely::CompareWindow window = onely::compare_window(line(0, "ab\n"));
  EXPECT_EQ(window.length, 0);
}

TEST_F(CompareWindowTest, CompareLimitCutsBothWindows) {
  onely::settings.compare_limit = 3;
  EXPECT_TRUE(equal("abcdef\n", "abcxyz\n"));
  EXPECT_FALSE(equal("abc\n", "ab\n"));  // 'a','b','c' against 'a','b',newline
  EXPECT_TRUE(equal("abc", "abc\n"));    // the newline is cut off
  onely::settings.skip_count = 2;
  EXPECT_TRUE(equal("12abcX\n", "34abcY\n"));
  EXPECT_FALSE(equal("12abdX\n", "34abcX\n"));
}

TEST_F(CompareWindowTest, NegativeLimitComparesWholeWindows) {
  onely::settings.compare_limit = -5;
  EXPECT_FALSE(equal("abcdefg\n", "abcdefh\n"));
  EXPECT_TRUE(equal("abcdefg\n", "abcdefg\n"));
}

TEST_F(CompareWindowTest, IgnoreCaseFoldsAsciiLettersOnly) {
  onely::settings.ignore_case = true;
  EXPECT_TRUE(equal("Hello\n", "HELLO\n"));
  EXPECT_TRUE(equal("[z]\n", "[Z]\n"));
  EXPECT_FALSE(equal("@\n", "`\n"));          // neighbours of the letters are not folded
  EXPECT_FALSE(equal("\xe9\n", "\xc9\n"));    // nor are bytes above 127
  EXPECT_FALSE(equal("Hello\n", "HELLO!\n"));
}

}  // namespace
