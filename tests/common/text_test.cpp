#include "common/text.h"

#include <gtest/gtest.h>

TEST(Text, UpperAsciiTouchesOnlyTheAsciiLetters) {
  EXPECT_EQ(suite::upper_ascii('a'), 'A');
  EXPECT_EQ(suite::upper_ascii('z'), 'Z');
  EXPECT_EQ(suite::upper_ascii('A'), 'A');
  EXPECT_EQ(suite::upper_ascii('`'), '`');
  EXPECT_EQ(suite::upper_ascii('{'), '{');
  EXPECT_EQ(suite::upper_ascii('\xA4'), '\xA4');  // a letter of the code page, not ASCII
  EXPECT_EQ(suite::upper_ascii('\xE1'), '\xE1');
}
