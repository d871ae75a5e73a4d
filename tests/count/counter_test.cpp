#include "count/counter.h"

#include <gtest/gtest.h>

#include <string>

namespace {

void add_text(count::Counter& counter, const std::string& text) {
  counter.add_block(reinterpret_cast<const unsigned char*>(text.data()), text.size());
}

count::Totals count_files(const std::vector<std::string>& files) {
  count::Counter counter;
  for (const std::string& file : files) {
    counter.begin_file();
    add_text(counter, file);
    counter.end_file();
  }
  return counter.totals();
}

}  // namespace

TEST(Counter, ClassesOfBytes) {
  count::Totals totals = count_files({"Hello world.\r\n"});
  EXPECT_EQ(totals.bytes, 14u);
  EXPECT_EQ(totals.characters, 11u);
  EXPECT_EQ(totals.letters, 10u);
  EXPECT_EQ(totals.vowels, 3u);
  EXPECT_EQ(totals.words, 2u);
  EXPECT_EQ(totals.lines, 1u);
  EXPECT_EQ(totals.sentences, 1u);

  std::string high;
  for (int byte = 0x80; byte <= 0xFF; ++byte) high += static_cast<char>(byte);
  totals = count_files({high + " AEIOUaeiouyY ...!? \t\v\f\x01\x7F"});
  EXPECT_EQ(totals.characters, 128u + 12 + 5 + 1);
  EXPECT_EQ(totals.letters, 12u);
  EXPECT_EQ(totals.vowels, 10u);
  EXPECT_EQ(totals.sentences, 5u);
  EXPECT_EQ(totals.words, 4u);  // the 0x7F byte is a word of its own
}

TEST(Counter, WordsRunAcrossBlocksAndFiles) {
  count::Counter counter;
  counter.begin_file();
  add_text(counter, "ab");
  add_text(counter, "cd ef");
  counter.end_file();
  counter.begin_file();
  add_text(counter, "gh\nij");
  counter.end_file();
  EXPECT_EQ(counter.totals().words, 3u);  // "abcd", "efgh", "ij"
  EXPECT_EQ(counter.totals().lines, 3u);  // both unterminated last lines count
}

TEST(Counter, LineFeedsAndUnterminatedLastLines) {
  EXPECT_EQ(count_files({""}).lines, 0u);
  EXPECT_EQ(count_files({"\n"}).lines, 1u);
  EXPECT_EQ(count_files({"a\nb"}).lines, 2u);
  EXPECT_EQ(count_files({"a\n", "", "b\n\n"}).lines, 3u);
}

TEST(Counter, LongBlocksAreCountedExactly) {
  // Runs far beyond the counter's inner stretches of a few thousand bytes.
  std::string block;
  for (int i = 0; i < 20000; ++i) block += "Ab. e\n";
  count::Counter counter;
  counter.begin_file();
  for (int i = 0; i < 3; ++i) add_text(counter, block);
  counter.end_file();
  const count::Totals& totals = counter.totals();
  EXPECT_EQ(totals.bytes, 360000u);
  EXPECT_EQ(totals.characters, 240000u);
  EXPECT_EQ(totals.letters, 180000u);
  EXPECT_EQ(totals.vowels, 120000u);
  EXPECT_EQ(totals.sentences, 60000u);
  EXPECT_EQ(totals.words, 120000u);
  EXPECT_EQ(totals.lines, 60000u);
}

TEST(Report, FormatAndAverages) {
  count::Totals totals;
  totals.bytes = 14;
  totals.characters = 11;
  totals.letters = 10;
  totals.vowels = 3;
  totals.words = 2;
  totals.lines = 1;
  totals.sentences = 1;
  EXPECT_EQ(count::format_report(totals),
            "\n"
            "          14 Bytes.\n"
            "          11 Characters (bytes higher than the space).\n"
            "          10 Letters    (A-Z,a-z).\n"
            "           3 Vowels     (A,E,I,O,U,a,e,i,o,u).\n"
            "           7 Consonants.\n"
            "           2 Words      (sequences of characters).\n"
            "           1 Lines      (end with LF=^J=0x0A=10).\n"
            "           1 Sentences  (end with '.', '?' or '!').\n"
            "           2 Words per sentence.\n"
            "           5 Letters per word.");
}

TEST(Report, TotalsBeyondThirtyTwoBitsWidenTheColumns) {
  count::Totals totals;
  totals.bytes = 5000000000000ull;     // 13 digits
  totals.characters = 4294967296ull;   // 2^32
  totals.letters = 4294967300ull;
  totals.vowels = 4;
  totals.words = 2;
  std::string report = count::format_report(totals);
  EXPECT_NE(report.find("\n5000000000000 Bytes.\n"), std::string::npos);
  EXPECT_NE(report.find("\n  4294967296 Characters"), std::string::npos);
  EXPECT_NE(report.find("\n  4294967296 Consonants.\n"), std::string::npos);
  // No sentence: the divisor 0 is taken as 1.
  EXPECT_NE(report.find("\n           2 Words per sentence.\n"), std::string::npos);
  EXPECT_NE(report.find("\n  2147483650 Letters per word."), std::string::npos);
}

TEST(Report, NoWordGivesZeroAverages) {
  std::string report = count::format_report(count::Totals());
  EXPECT_NE(report.find("\n           0 Words per sentence.\n           0 Letters per word."), std::string::npos);
}
