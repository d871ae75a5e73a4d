#include "difra/line_text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "difra/naming.h"
#include "difra/settings.h"
#include "difra/tables.h"

namespace {

using namespace difra;

class WithSettings : public ::testing::Test {
 protected:
  void SetUp() override { settings = {}; }
  void TearDown() override { settings = {}; }
};

// The hash of a text that lies in a buffer with 63 random bytes after it,
// which the hash may read and must not count.
std::uint32_t padded_hash(const std::string& text) {
  static std::mt19937 random(63);
  std::string padded = text + std::string(63, '\0');
  for (std::size_t i = text.size(); i < padded.size(); ++i) padded[i] = static_cast<char>(random());
  return line_hash(std::string_view(padded.data(), text.size()));
}

std::string compared(const std::string& line) {
  static char expanded[EXPANDED_BUFFER_SIZE];
  static char work[EXPANDED_BUFFER_SIZE];
  return std::string(compared_text(display_text(line.c_str(), expanded), work));
}

}  // namespace

TEST(LineHash, RotatesLeftAndXorsEachByte) {
  EXPECT_EQ(padded_hash("A"), 0x41u);
  EXPECT_EQ(padded_hash("AB"), 0xC0u);  // (0x41 << 1) ^ 0x42
  EXPECT_EQ(padded_hash("\xff"), 0xFFu);
  // The bit rotated out of bit 31 comes back in at bit 0.
  EXPECT_EQ(padded_hash("\x80" + std::string(24, '\x01')), 0x80FFFFFFu);
  EXPECT_EQ(padded_hash("\x80" + std::string(25, '\0')), 1u);
  EXPECT_EQ(padded_hash("\x80" + std::string(25, '\x01')), 0x01FFFFFFu ^ 1u);
}

TEST(LineHash, ZeroBecomesOne) {
  EXPECT_EQ(padded_hash(""), 1u);
  EXPECT_EQ(padded_hash(std::string("\0", 1)), 1u);
  EXPECT_EQ(padded_hash("\x01\x02"), 1u);  // (1 << 1) ^ 2 = 0
}

// Random texts of every length up to 300 (folded stretches of 32 and the
// last window of 64 in every alignment), any bytes, against the hash taken
// one byte at a time as it is defined.
TEST(LineHash, MatchesTheByteAtATimeRotateXor) {
  std::mt19937 random(1984);
  for (int round = 0; round < 20000; ++round) {
    std::string text(random() % 301, '\0');
    for (char& c : text) c = static_cast<char>(random() % 256);
    std::uint32_t expected = 0;
    for (char c : text) expected = ((expected << 1) | (expected >> 31)) ^ static_cast<unsigned char>(c);
    if (expected == 0) expected = 1;
    ASSERT_EQ(padded_hash(text), expected) << "round " << round;
  }
}

TEST(LineKey, AlwaysNegativeAndTheSameForHAndMinusH) {
  EXPECT_EQ(line_key(0x41u), -0x41);
  EXPECT_EQ(line_key(static_cast<std::uint32_t>(-0x41)), -0x41);
  EXPECT_EQ(line_key(0x80000000u), INT32_MIN);
  EXPECT_EQ(line_key(0xFFFFFFFFu), -1);
  EXPECT_EQ(line_key(1u), -1);
}

TEST(LineKey, BucketIsTheLowFifteenBitsOfTheAbsoluteValue) {
  EXPECT_EQ(key_bucket(-1), 1);
  EXPECT_EQ(key_bucket(-32768), 0);
  EXPECT_EQ(key_bucket(-32769), 1);
  EXPECT_EQ(key_bucket(-0x41), 0x41);
  EXPECT_EQ(key_bucket(INT32_MIN), 0);
}

TEST(LineKey, CharactersThirtyTwoApartCanBeSwapped) {
  std::string filler(31, 'x');
  std::string one = "a" + filler + "b\n";
  std::string other = "b" + filler + "a\n";
  EXPECT_NE(one, other);
  EXPECT_EQ(padded_hash(one), padded_hash(other));
}

TEST_F(WithSettings, TabsExpandToMultiplesOfEight) {
  char out[64];
  EXPECT_EQ(std::string(out, expand_tab_characters("a\tb", out)), "a       b");
  EXPECT_EQ(std::string(out, expand_tab_characters("\t", out)), std::string(8, ' '));
  EXPECT_EQ(std::string(out, expand_tab_characters("12345678\tx\n", out)), "12345678" + std::string(8, ' ') + "x\n");
  EXPECT_EQ(std::string(out, expand_tab_characters("1234567\t\t", out)), "1234567" + std::string(9, ' '));
}

// The text given is a line's text as read, already ended at its first NUL.
TEST_F(WithSettings, DisplayTextIsTheTextGivenUnlessTabsExpand) {
  char expanded[16];
  EXPECT_EQ(display_text("ab\tc\n", expanded), "ab\tc\n");
  settings.expand_tabs = true;
  EXPECT_EQ(display_text("\tq", expanded), "        q");
}

TEST_F(WithSettings, ComparedTextWithoutOptionsIsTheLineWithItsNewline) {
  EXPECT_EQ(compared("  Ab \t\n"), "  Ab \t\n");
}

TEST_F(WithSettings, TrimRemovesNewlineAndBlanksButNotTabs) {
  settings.trim_trailing_blanks = true;
  EXPECT_EQ(compared("ab  \t  \n"), "ab  \t");
  EXPECT_EQ(compared("ab   "), "ab");
  EXPECT_EQ(compared("   \n"), "");
  settings.expand_tabs = true;
  EXPECT_EQ(compared("ab  \t  \n"), "ab");
}

TEST_F(WithSettings, SqueezeRemovesEveryBlankAndTabAndWinsOverExpansion) {
  settings.squeeze_blanks = true;
  EXPECT_EQ(compared(" a b\t c \n"), "abc\n");
  settings.expand_tabs = true;
  EXPECT_EQ(compared(" a b\t c \n"), "abc\n");
}

TEST_F(WithSettings, FoldTouchesOnlyAsciiLetters) {
  settings.fold_case = true;
  EXPECT_EQ(compared("az AZ \xe9\xf1 {`@[\n"), "AZ AZ \xe9\xf1 {`@[\n");
  settings.trim_trailing_blanks = true;
  settings.squeeze_blanks = true;
  EXPECT_EQ(compared(" a b  \n"), "AB");
}

// Every byte value at every place of texts long enough for whole steps of
// sixteen, folded into another buffer and in place, against a byte model.
TEST(FoldToUpperCase, EveryByteAtEveryPlaceInBothWays) {
  for (std::size_t length = 0; length <= 40; ++length) {
    for (int value = 0; value < 256; ++value) {
      std::string text(length, 'q');
      if (length > 0) text[static_cast<std::size_t>(value) % length] = static_cast<char>(value);
      std::string expected = text;
      for (char& c : expected) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      }
      std::string out(length, '\0');
      fold_to_upper_case(text, out.data());
      ASSERT_EQ(out, expected) << "length " << length << ", byte " << value;
      fold_to_upper_case(text, text.data());
      ASSERT_EQ(text, expected) << "in place, length " << length << ", byte " << value;
    }
  }
}

TEST(OccurrenceTable, CountersArePackedFourToAByteHighBitsFirst) {
  OccurrenceTable table;
  table.raise(0);
  EXPECT_EQ(table.byte(0), 0x40);
  table.raise(3);
  EXPECT_EQ(table.byte(0), 0x41);
  table.raise(6);
  table.raise(6);
  table.raise(6);
  EXPECT_EQ(table.byte(1), 0x08);
  EXPECT_EQ(table.counter(6), 2);
  EXPECT_EQ(table.counter(5), 0);
  table.raise(BUCKET_COUNT - 1);
  EXPECT_EQ(table.byte(OccurrenceTable::BYTES - 1), 0x01);
}

TEST(OccurrenceTable, CombiningLeavesOneOnlyForOneLineInEachFile) {
  OccurrenceTable first;
  OccurrenceTable second;
  auto raise = [](OccurrenceTable& table, int bucket, int times) {
    for (int i = 0; i < times; ++i) table.raise(bucket);
  };
  raise(first, 1, 1), raise(second, 1, 1);
  raise(first, 2, 1), raise(second, 2, 2);
  raise(first, 3, 2), raise(second, 3, 1);
  raise(first, 4, 2), raise(second, 4, 5);
  raise(first, 5, 1);
  first.combine_with(second);
  EXPECT_EQ(first.counter(1), 1);
  EXPECT_EQ(first.counter(2), 0);
  EXPECT_EQ(first.counter(3), 0);
  EXPECT_EQ(first.counter(4), 2);
  EXPECT_EQ(first.counter(5), 0);
}

TEST(Naming, BaseNameFollowsTheLastSeparator) {
  EXPECT_EQ(base_name("src/old.txt"), "old.txt");
  EXPECT_EQ(base_name("a:x.txt"), "x.txt");
  EXPECT_EQ(base_name("plain"), "plain");
  EXPECT_EQ(base_name("dir/"), "");
  EXPECT_EQ(base_name("C:\\src\\old.txt"), "old.txt");
}

TEST(Naming, SecondFileTakesTheFirstFilesBaseNameInAFolder) {
  EXPECT_EQ(first_name_for_second_file("src/old.txt", "dest/"), "dest/old.txt");
  EXPECT_EQ(fallback_name_for_second_file("src/old.txt", "dest/"), "");
  EXPECT_EQ(first_name_for_second_file("src/old.txt", "C:"), "C:old.txt");
  EXPECT_EQ(first_name_for_second_file("old.txt", "dest"), "dest");
  EXPECT_EQ(first_name_for_second_file("src\\old.txt", "dest\\"), "dest\\old.txt");
  EXPECT_EQ(fallback_name_for_second_file("src\\old.txt", "dest\\"), "");
  EXPECT_EQ(first_name_for_second_file("src/old.txt", ""), "old.txt");
}

TEST(Naming, FolderAndBaseNameAreJoinedWithThePlatformsSeparator) {
#ifdef _WIN32
  EXPECT_EQ(fallback_name_for_second_file("old.txt", "dest"), "dest\\old.txt");
  EXPECT_EQ(fallback_name_for_second_file("src/old.txt", "C:\\dest"), "C:\\dest\\old.txt");
#else
  EXPECT_EQ(fallback_name_for_second_file("old.txt", "dest"), "dest/old.txt");
  EXPECT_EQ(fallback_name_for_second_file("src/old.txt", "/srv/dest"), "/srv/dest/old.txt");
#endif
}

TEST_F(WithSettings, CommandLineTakesGroupedOptionsAnywhere) {
  EXPECT_EQ(parse_command_line({"a", "-bC", "b\\c", "/t"}), CommandLineOutcome::run);
  EXPECT_TRUE(settings.trim_trailing_blanks && settings.fold_case && settings.expand_tabs);
  EXPECT_FALSE(settings.full_lines || settings.squeeze_blanks);
  EXPECT_EQ(settings.filespec1, "a");
#ifdef _WIN32
  EXPECT_EQ(settings.filespec2, "b\\c");
#else
  EXPECT_EQ(settings.filespec2, "b/c");
#endif
}

TEST_F(WithSettings, CommandLineStopsAtTheFirstArgumentThatEndsTheRun) {
  EXPECT_EQ(parse_command_line({"a", "b"}), CommandLineOutcome::run);
  EXPECT_EQ(parse_command_line({"-", "/"}), CommandLineOutcome::run);
  EXPECT_EQ(settings.filespec1, "-");
  EXPECT_EQ(parse_command_line({"a"}), CommandLineOutcome::usage);
  EXPECT_EQ(parse_command_line({"a", "b", "c", "/x"}), CommandLineOutcome::usage);
  EXPECT_EQ(parse_command_line({"/x", "a", "b", "c"}), CommandLineOutcome::invalid_option);
  EXPECT_EQ(parse_command_line({"/b/c", "a", "b"}), CommandLineOutcome::invalid_option);
  EXPECT_EQ(parse_command_line({"/b?", "a", "b"}), CommandLineOutcome::usage);
  EXPECT_EQ(parse_command_line({"/?x", "a", "b"}), CommandLineOutcome::usage);
  EXPECT_EQ(parse_command_line({"/x?", "a", "b"}), CommandLineOutcome::invalid_option);
}
