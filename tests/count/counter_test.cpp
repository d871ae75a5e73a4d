#include "count/counter.h"

#include <gtest/gtest.h>

#include <string>

namespace {

void add_text(count::Counter& counter, const std::string& text) {
  counter.add_block(reinterpret_cast<const unsigned char*>(text.data()), text.size());
}

}  // namespace

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
