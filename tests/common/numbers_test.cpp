#include "common/numbers.h"

#include <gtest/gtest.h>

using suite::parse_integer;

TEST(ParseInteger, BasesAndEnd) {
  const char* text = " \t-42rest";
  auto r = parse_integer(text, 10);
  EXPECT_TRUE(r.has_digits);
  EXPECT_EQ(r.value, -42);
  EXPECT_STREQ(r.end, "rest");
  EXPECT_EQ(parse_integer("010", 0).value, 8);
  EXPECT_EQ(parse_integer("0x10", 0).value, 16);
  EXPECT_EQ(parse_integer("0X1f", 0).value, 31);
  EXPECT_EQ(parse_integer("010", 10).value, 10);
  EXPECT_EQ(parse_integer("+7", 0).value, 7);
  EXPECT_EQ(parse_integer("089", 0).value, 0);
  EXPECT_STREQ(parse_integer("089", 0).end, "89");
}

TEST(ParseInteger, HexPrefixWithoutDigitsReadsTheZero) {
  auto r = parse_integer("0xg", 0);
  EXPECT_TRUE(r.has_digits);
  EXPECT_EQ(r.value, 0);
  EXPECT_STREQ(r.end, "xg");
}

TEST(ParseInteger, NoDigits) {
  const char* text = "  -x";
  auto r = parse_integer(text, 0);
  EXPECT_FALSE(r.has_digits);
  EXPECT_EQ(r.value, 0);
  EXPECT_EQ(r.end, text);
  EXPECT_FALSE(parse_integer("", 10).has_digits);
}

TEST(ParseInteger, ClampsToThe32BitRange) {
  EXPECT_EQ(parse_integer("2147483647", 10).value, 2147483647);
  EXPECT_EQ(parse_integer("2147483648", 10).value, 2147483647);
  EXPECT_EQ(parse_integer("-2147483648", 10).value, -2147483647 - 1);
  EXPECT_EQ(parse_integer("-99999999999999999999", 10).value, -2147483647 - 1);
  auto r = parse_integer("0xFFFFFFFFFFz", 0);
  EXPECT_EQ(r.value, 2147483647);
  EXPECT_STREQ(r.end, "z");
}

TEST(ScanUnsigned, LikeTheUnsignedScanFormat) {
  uint32_t v = 7;
  EXPECT_EQ(suite::scan_unsigned("", v), suite::ScanResult::nothing);
  EXPECT_EQ(suite::scan_unsigned("  \t", v), suite::ScanResult::nothing);
  EXPECT_EQ(v, 7u);
  EXPECT_EQ(suite::scan_unsigned("R", v), suite::ScanResult::no_number);
  EXPECT_EQ(suite::scan_unsigned(" 5000R", v), suite::ScanResult::number);
  EXPECT_EQ(v, 5000u);
  EXPECT_EQ(suite::scan_unsigned("-1", v), suite::ScanResult::number);
  EXPECT_EQ(v, 4294967295u);
  EXPECT_EQ(suite::scan_unsigned("99999999999", v), suite::ScanResult::number);
  EXPECT_EQ(v, 4294967295u);
  EXPECT_EQ(suite::scan_unsigned("-", v), suite::ScanResult::no_number);
}
