#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "paste/paste.h"

namespace {

std::string decoded(std::string text) {
  paste::decode_escapes(text);
  return text;
}

TEST(ReadEscapeNumber, StopsAtTheDigitLimitTheBaseAndTheEnd) {
  const char* after = nullptr;
  const char text[] = "0123456";
  EXPECT_EQ(paste::read_escape_number(text, text + 7, 10, 3, after), 12);
  EXPECT_EQ(after, text + 3);
  const char hex[] = "fFg";
  EXPECT_EQ(paste::read_escape_number(hex, hex + 3, 16, 3, after), 255);
  EXPECT_EQ(after, hex + 2);
  const char octal[] = "778";
  EXPECT_EQ(paste::read_escape_number(octal, octal + 3, 8, 3, after), 63);
  EXPECT_EQ(after, octal + 2);
  // The end given is respected even when more digits follow in memory.
  EXPECT_EQ(paste::read_escape_number(text + 1, text + 2, 10, 3, after), 1);
  EXPECT_EQ(after, text + 2);
  EXPECT_EQ(paste::read_escape_number(hex + 2, hex + 3, 16, 2, after), 0);
  EXPECT_EQ(after, hex + 2);
}

TEST(ReadEscapeNumber, KeepsEightBits) {
  const char* after = nullptr;
  const char text[] = "300";
  EXPECT_EQ(paste::read_escape_number(text, text + 3, 10, 3, after), 44);
}

TEST(DecodeEscapes, LetterEscapes) {
  EXPECT_EQ(decoded("\\a\\b\\e\\f\\n\\r\\t\\v"), "\a\b\x1b\f\n\r\t\v");
  EXPECT_EQ(decoded("a\\zb"), "a");
  EXPECT_EQ(decoded("plain"), "plain");
  EXPECT_EQ(decoded(""), "");
}

TEST(DecodeEscapes, NumericEscapes) {
  EXPECT_EQ(decoded("\\x41:"), "A:");
  EXPECT_EQ(decoded("\\x4:"), "\x04:");
  EXPECT_EQ(decoded("\\x4g"), "\x04g");
  EXPECT_EQ(decoded("\\x414"), "A4");
  EXPECT_EQ(decoded("\\065"), "A");
  EXPECT_EQ(decoded("\\012"), "\f");
  EXPECT_EQ(decoded("\\0655"), "A5");
  EXPECT_EQ(decoded("\\o101"), "A");
  EXPECT_EQ(decoded("\\o1018"), "A8");
  EXPECT_EQ(decoded("\\300"), ",");
}

TEST(DecodeEscapes, ZeroByteEndsTheText) {
  EXPECT_EQ(decoded("ab\\0cd"), "ab");
  EXPECT_EQ(decoded("ab\\ocd"), "ab");
  EXPECT_EQ(decoded("ab\\x"), "ab");
  EXPECT_EQ(decoded("ab\\256cd"), "ab");
}

TEST(DecodeEscapes, OtherBackslashesAndTheEnd) {
  EXPECT_EQ(decoded("a\\\\b"), "a\\b");
  EXPECT_EQ(decoded("a\\qb"), "aqb");
  EXPECT_EQ(decoded("\\T"), "T");
  EXPECT_EQ(decoded("ab\\"), "ab\\");
  EXPECT_EQ(decoded("\\"), "\\");
}

TEST(DecodeEscapes, NumbersCutShortByTheEndOfTheText) {
  EXPECT_EQ(decoded("\\x4"), "\x04");
  EXPECT_EQ(decoded("\\o1"), "\x01");
  EXPECT_EQ(decoded("-\\12"), "-\f");
}

}  // namespace
