#include "ordly/collation.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/ordly/order_test_support.h"

namespace {

using ordly::settings;
using ordly_test::order_of;

class Collation : public ordly_test::OrderTest {};

void use_table(const ordly::CollationTable& table) {
  std::memcpy(settings.active_table, table.data(), table.size());
}

TEST(CollationTables, CodesOfTheConsoleTable) {
  const ordly::CollationTable& t = ordly::oem_table;
  EXPECT_EQ(t[0x00], 0x00);
  EXPECT_EQ(t[0x03], 0x03);
  EXPECT_EQ(t['\n'], ordly::SPACE_CODE);
  EXPECT_EQ(t['_'], ordly::SPACE_CODE);
  EXPECT_EQ(t['7'], '7');
  EXPECT_EQ(t['a'], 0x41);
  EXPECT_EQ(t['A'], 0x41);
  EXPECT_EQ(t['d'], 0x45);
  EXPECT_EQ(t['m'], 0x4F);
  EXPECT_EQ(t['Z'], 0x5E);
  EXPECT_EQ(t[0x80], 0x43);  // capital c cedilla
  EXPECT_EQ(t[0x82], 0x46);  // e acute
  EXPECT_EQ(t[0x98], 0x5D);  // y diaeresis
  EXPECT_EQ(t[0x9A], 0x59);  // capital u diaeresis
  EXPECT_EQ(t[0x9B], ordly::SPACE_CODE);
  EXPECT_EQ(t[0xA3], 0x59);  // u acute
  EXPECT_EQ(t[0xA4], 0x51);  // n tilde
  EXPECT_EQ(t[0xA5], 0x51);
  EXPECT_EQ(t[0xA6], ordly::SPACE_CODE);
  EXPECT_EQ(t[0xE1], ordly::SPACE_CODE);  // sharp s is not a letter here
}

TEST(CollationTables, CodesOfTheWindowsTable) {
  const ordly::CollationTable& t = ordly::ansi_table;
  EXPECT_EQ(t['q'], 0x54);
  EXPECT_EQ(t[0x80], ordly::SPACE_CODE);
  EXPECT_EQ(t[0xBF], ordly::SPACE_CODE);
  EXPECT_EQ(t[0xC0], 0x41);
  EXPECT_EQ(t[0xC7], 0x43);
  EXPECT_EQ(t[0xD0], 0x45);
  EXPECT_EQ(t[0xD1], 0x51);
  EXPECT_EQ(t[0xF1], 0x51);
  EXPECT_EQ(t[0xD7], ordly::SPACE_CODE);
  EXPECT_EQ(t[0xD8], 0x52);
  EXPECT_EQ(t[0xDE], ordly::SPACE_CODE);
  EXPECT_EQ(t[0xDF], 0x57);
  EXPECT_EQ(t[0xFF], ordly::SPACE_CODE);
  EXPECT_EQ(t[0xFD], 0x5D);
  for (int b = 0xE0; b < 0xFF; ++b) EXPECT_EQ(t[b], t[b - 0x20]) << b;
  for (int b = 0; b < 0x80; ++b) EXPECT_EQ(t[b], ordly::oem_table[b]) << b;
}

TEST(CollationTables, IdentityMapsEveryByteToItself) {
  for (int b = 0; b < 256; ++b) EXPECT_EQ(ordly::identity_table[b], b);
}

TEST_F(Collation, DefaultOrderIgnoresCaseAndAccentsAndPutsSymbolsFirst) {
  EXPECT_LT(order_of("_x", "1"), 0);
  EXPECT_LT(order_of("1", "A"), 0);
  EXPECT_EQ(order_of("A", "a"), 0);
  EXPECT_LT(order_of("a", "b"), 0);
  EXPECT_EQ(order_of("Apple", "APPLE"), 0);
  EXPECT_EQ(order_of("caf\x82", "CAFE"), 0);
  EXPECT_EQ(order_of("a!b", "a b"), 0);
  EXPECT_LT(order_of("\x01", " "), 0);  // bytes 1 to 4 are below the space code
  // The line feed takes part: a line goes before its longer versions.
  EXPECT_LT(order_of("abc", "abc "), 0);
  EXPECT_LT(order_of("abc", "abc!"), 0);
  EXPECT_LT(order_of("abc", "abcd"), 0);
}

TEST_F(Collation, EnyeIsALetterOfItsOwn) {
  EXPECT_GT(order_of("\xA5u", "Nube"), 0);
  EXPECT_LT(order_of("\xA5u", "Oso"), 0);
  use_table(ordly::ansi_table);
  EXPECT_GT(order_of("\xD1u", "Nube"), 0);
  EXPECT_LT(order_of("\xF1u", "Oso"), 0);
  EXPECT_EQ(order_of("\xFF", " "), 0);
  EXPECT_EQ(order_of("\xFD", "y"), 0);
}

TEST_F(Collation, PureOrderIsByteOrder) {
  use_table(ordly::identity_table);
  EXPECT_LT(order_of("B", "a"), 0);
  EXPECT_GT(order_of("\x82", "z"), 0);
  EXPECT_LT(order_of("a\tb", "a"), 0);  // the tab is below the line feed
}

TEST_F(Collation, SpanishDigraphs) {
  settings.active_compare = ordly::compare_spanish;
  EXPECT_LT(order_of("cz", "ch"), 0);
  EXPECT_LT(order_of("ch", "d"), 0);
  EXPECT_LT(order_of("luz", "llama"), 0);
  EXPECT_LT(order_of("llama", "mar"), 0);
  EXPECT_EQ(order_of("Ch", "cH"), 0);
  EXPECT_EQ(order_of("LL", "lL"), 0);
  EXPECT_EQ(order_of("\x87h", "ch"), 0);  // c cedilla has the code of c
  settings.active_compare = ordly::compare_plain;
  EXPECT_LT(order_of("ch", "cz"), 0);
  EXPECT_LT(order_of("llama", "luz"), 0);
}

TEST_F(Collation, NextCodeMovesOntoTheSecondLetterOfADigraph) {
  const unsigned char text[] = "chllcx\n";
  const unsigned char* p = text;
  EXPECT_EQ(ordly::next_code(p), ordly::CH_CODE);
  EXPECT_EQ(p, text + 1);
  p = text + 2;
  EXPECT_EQ(ordly::next_code(p), ordly::LL_CODE);
  EXPECT_EQ(p, text + 3);
  p = text + 4;
  EXPECT_EQ(ordly::next_code(p), 0x43);
  EXPECT_EQ(p, text + 4);
}

TEST_F(Collation, StartingColumn) {
  settings.column_offset = 2;
  EXPECT_EQ(order_of("abXY", "cdXY"), 0);
  EXPECT_LT(order_of("a", "zzA"), 0);  // shorter than the column: empty key
  EXPECT_EQ(order_of("a", "b"), 0);
  settings.column_offset = 1;
  EXPECT_EQ(order_of("\tx", "yx"), 0);  // a tab is one column
}

TEST_F(Collation, LeadingBlanksSkipEverySpaceCode) {
  settings.skip_blanks = true;
  EXPECT_EQ(order_of("  \t-abc", "abc"), 0);
  EXPECT_LT(order_of("\x01z", "a"), 0);  // bytes 1 to 4 are never skipped
  use_table(ordly::identity_table);
  EXPECT_EQ(order_of("   abc", "abc"), 0);
  EXPECT_NE(order_of("\tabc", "abc"), 0);
}

TEST_F(Collation, IntegerKey) {
  settings.integer_key = true;
  EXPECT_GT(order_of("10", "9"), 0);
  EXPECT_LT(order_of("-5", "3"), 0);
  EXPECT_EQ(order_of(" 7", "7"), 0);
  EXPECT_LT(order_of("x", "y"), 0);  // both 0, then by text
  EXPECT_GT(order_of("10 pears", "10 apples"), 0);
  EXPECT_LT(order_of("-2147483648", "2147483647"), 0);
  EXPECT_EQ(order_of("99999999999", "2147483647"), 0);  // clamped
  settings.reverse_order = true;
  EXPECT_LT(order_of("10", "9"), 0);
}

TEST_F(Collation, BlanksSkipTheMinusSignBeforeTheIntegerKey) {
  settings.integer_key = true;
  settings.skip_blanks = true;
  EXPECT_GT(order_of("-5", "3"), 0);
}

TEST_F(Collation, FloatingKey) {
  settings.float_key = true;
  EXPECT_LT(order_of("1.5", "1.25e1"), 0);
  EXPECT_EQ(order_of("2", "2.0"), 0);
  EXPECT_LT(order_of("2.0a", "2b"), 0);  // equal numbers, then the rest
  EXPECT_GT(order_of("-1e3", "-1e4"), 0);
  settings.reverse_order = true;
  EXPECT_GT(order_of("1.5", "1.25e1"), 0);
}

TEST_F(Collation, IntegerThenFloatingKey) {
  settings.integer_key = true;
  settings.float_key = true;
  // The floating key starts where the integer stopped: ".5" against ".25".
  EXPECT_GT(order_of("3.5", "3.25"), 0);
  EXPECT_LT(order_of("2.9", "3.1"), 0);
}

TEST_F(Collation, DictionaryOrder) {
  settings.dictionary_order = true;
  settings.skip_blanks = true;
  EXPECT_EQ(order_of("a b-c", "abc"), 0);
  EXPECT_EQ(order_of(" -abc", "abc"), 0);
  settings.integer_key = true;
  EXPECT_LT(order_of("10 b", "10b"), 0);
}

TEST_F(Collation, ReverseOrder) {
  settings.reverse_order = true;
  EXPECT_GT(order_of("a", "b"), 0);
  EXPECT_EQ(order_of("A", "a"), 0);
  settings.active_compare = ordly::compare_spanish;
  EXPECT_GT(order_of("ch", "d"), 0);
}

TEST_F(Collation, ResultIsTheCodeDifference) {
  std::string a = ordly_test::stored("a");
  std::string z = ordly_test::stored("z");
  EXPECT_EQ(ordly::compare_plain(a.c_str(), z.c_str()), 0x41 - 0x5E);
  settings.reverse_order = true;
  EXPECT_EQ(ordly::compare_plain(a.c_str(), z.c_str()), 0x5E - 0x41);
}

TEST_F(Collation, LongIdenticalPrefixesAndEmbeddedDifferences) {
  std::string prefix(37, 'q');
  EXPECT_EQ(order_of(prefix + "Abc", prefix + "aBC"), 0);
  EXPECT_LT(order_of(prefix + "abc", prefix + "abd"), 0);
  EXPECT_LT(order_of(prefix, prefix + "x"), 0);
  EXPECT_EQ(order_of(prefix + "12345678", prefix + "12345678"), 0);
}

}  // namespace
