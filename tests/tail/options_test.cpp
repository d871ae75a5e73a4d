#include <gtest/gtest.h>

#include "tail/tail.h"

namespace {

class TakeOption : public ::testing::Test {
 protected:
  void SetUp() override { tail::settings = tail::Settings(); }
};

}  // namespace

TEST_F(TakeOption, NumbersReadLikeTheStringToIntegerConversion) {
  EXPECT_TRUE(tail::take_option("/5"));
  EXPECT_EQ(tail::settings.tail_count, 5);
  EXPECT_TRUE(tail::take_option("-+7x"));
  EXPECT_EQ(tail::settings.tail_count, 7);
  EXPECT_TRUE(tail::take_option("/ 12"));
  EXPECT_EQ(tail::settings.tail_count, 12);
  EXPECT_TRUE(tail::take_option("/-3"));
  EXPECT_EQ(tail::settings.tail_count, -3);
  EXPECT_TRUE(tail::take_option("/99999999999"));
  EXPECT_EQ(tail::settings.tail_count, 2147483647);
  EXPECT_FALSE(tail::settings.byte_mode);
}

TEST_F(TakeOption, ZeroMakesTheArgumentAFileName) {
  for (const char* argument : {"/0", "/x", "/bx", "-000x7", "/?", "/-"}) {
    EXPECT_FALSE(tail::take_option(argument)) << argument;
  }
  EXPECT_EQ(tail::settings.tail_count, 10);
  EXPECT_FALSE(tail::settings.byte_mode);
}
