#include "count/counter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

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

// The statistics of files taken one byte at a time, as the counts define them.
count::Totals model_totals(const std::vector<std::string>& files) {
  count::Totals totals;
  bool in_word = false;
  for (const std::string& file : files) {
    for (char c : file) {
      auto byte = static_cast<unsigned char>(c);
      bool character = byte > ' ';
      bool letter = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
      ++totals.bytes;
      totals.characters += character;
      totals.letters += letter;
      totals.vowels += letter && std::strchr("AEIOUaeiou", c) != nullptr;
      totals.sentences += c == '.' || c == '!' || c == '?';
      totals.lines += c == '\n';
      totals.words += character && !in_word;
      in_word = character;
    }
    if (!file.empty() && file.back() != '\n') ++totals.lines;
  }
  return totals;
}

// Random bytes of every value (text-like bytes most often) and long runs of
// one byte, in files split into random blocks of a byte to thousands,
// counted with lanes of the width against the model.
void expect_random_blocks_counted(count::LaneWidth width) {
  std::mt19937 random(2718);
  const std::string common = " \n\t.!?aeiouAEIOUxyzXYZ";
  for (int round = 0; round < 300; ++round) {
    std::vector<std::string> files(1 + random() % 3);
    for (std::string& file : files) {
      std::size_t size = random() % (round % 10 == 0 ? 20000 : 300);
      for (std::size_t i = 0; i < size; ++i) {
        file += random() % 4 == 0 ? static_cast<char>(random() % 256) : common[random() % common.size()];
      }
      // A long run of one byte counts in every lane at every step.
      if (random() % 7 == 0) file += std::string(4000 + random() % 6000, common[random() % common.size()]);
    }
    count::Counter counter(width);
    for (const std::string& file : files) {
      counter.begin_file();
      for (std::size_t at = 0; at < file.size();) {
        std::size_t block = std::min<std::size_t>(file.size() - at, 1 + random() % (random() % 2 == 0 ? 40 : 9000));
        add_text(counter, file.substr(at, block));
        at += block;
      }
      counter.end_file();
    }
    count::Totals expected = model_totals(files);
    const count::Totals& totals = counter.totals();
    ASSERT_EQ(totals.bytes, expected.bytes) << "round " << round;
    ASSERT_EQ(totals.characters, expected.characters) << "round " << round;
    ASSERT_EQ(totals.letters, expected.letters) << "round " << round;
    ASSERT_EQ(totals.vowels, expected.vowels) << "round " << round;
    ASSERT_EQ(totals.sentences, expected.sentences) << "round " << round;
    ASSERT_EQ(totals.lines, expected.lines) << "round " << round;
    ASSERT_EQ(totals.words, expected.words) << "round " << round;
  }
}

// With lanes of each width the processor has.
TEST(Counter, RandomBlocksMatchTheByteAtATimeCounts) {
  std::vector<count::LaneWidth> widths = {count::LaneWidth::sixteen};
  if (count::widest_lanes() == count::LaneWidth::thirty_two) widths.push_back(count::LaneWidth::thirty_two);
  for (count::LaneWidth width : widths) {
    SCOPED_TRACE(width == count::LaneWidth::sixteen ? "sixteen lanes" : "thirty-two lanes");
    expect_random_blocks_counted(width);
  }
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
