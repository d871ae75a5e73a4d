// The filtering pass takes the lines that lie whole in the input's buffer
// in batches while the input holds no NUL byte, and writes each run's line
// with its line end. These tests run
// it over random inputs (NUL bytes included) through random block sizes,
// settings and output modes, against a line-at-a-time model.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "common/text.h"
#include "onely/onely.h"
#include "tests/support/run_program.h"

namespace {

// Each line as written: its bytes up to its first NUL (the line feed kept
// only when no NUL comes before it); lines beginning with NUL left out.
std::vector<std::string> model_lines(const std::string& input) {
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < input.size();) {
    std::size_t newline = input.find('\n', start);
    std::size_t end = newline == std::string::npos ? input.size() : newline + 1;
    std::string line = input.substr(start, end - start);
    std::size_t nul = line.find('\0');
    if (nul != std::string::npos) line.resize(nul);
    if (nul != 0) lines.push_back(line);
    start = end;
  }
  return lines;
}

std::string window_of(const std::string& line, const onely::Settings& settings) {
  std::size_t skip = settings.skip_count <= 0 ? 0 : std::min<std::size_t>(settings.skip_count, line.size());
  std::string window = line.substr(skip);
  if (settings.compare_limit > 0 && window.size() > static_cast<std::size_t>(settings.compare_limit)) {
    window.resize(static_cast<std::size_t>(settings.compare_limit));
  }
  if (settings.ignore_case) {
    for (char& c : window) c = suite::upper_ascii(c);
  }
  return window;
}

std::string model_filter(const std::string& input, const onely::Settings& settings) {
  std::vector<std::string> lines = model_lines(input);
  std::string out;
  for (std::size_t i = 0; i < lines.size();) {
    std::size_t j = i + 1;
    while (j < lines.size() && window_of(lines[j], settings) == window_of(lines[i], settings)) ++j;
    std::size_t repeats = j - i - 1;
    bool shown = settings.line_filter == onely::LineFilter::ALL_RUNS ||
                 (settings.line_filter == onely::LineFilter::REPEATED_ONLY) == (repeats > 0);
    if (shown) {
      if (settings.show_counts) {
        char count[32];
        std::snprintf(count, sizeof count, "%7zu\t", repeats + 1);
        out += count;
      }
      out += lines[i];
    }
    i = j;
  }
  return out;
}

std::string random_input(std::mt19937& random) {
  static const char* const LINES[] = {"a\n", "A\n", "ab\n", "xab\n", "\n", "b", "ab", "a\0b\n", "\0a\n"};
  std::string text;
  std::size_t count = random() % 60;
  // Half the inputs hold no NUL, so that their lines are taken from the
  // buffer in batches.
  std::size_t kinds = random() % 2 == 0 ? 9 : 7;
  for (std::size_t i = 0; i < count; ++i) {
    std::size_t pick = random() % kinds;
    text.append(LINES[pick], pick == 7 ? 4 : pick == 8 ? 3 : std::char_traits<char>::length(LINES[pick]));
  }
  return text;
}

}  // namespace

TEST(FilterLines, MatchesTheModelOnRandomInputsAndBlockSizes) {
  std::mt19937 random(8080);
  suite_test::TempFolder folder;
  const onely::LineFilter filters[] = {onely::LineFilter::ALL_RUNS, onely::LineFilter::REPEATED_ONLY,
                                       onely::LineFilter::SINGLE_ONLY};
  for (int round = 0; round < 1500; ++round) {
    onely::settings = onely::Settings{};
    onely::settings.show_counts = random() % 2 == 0;
    onely::settings.line_filter = filters[random() % 3];
    onely::settings.ignore_case = random() % 2 == 0;
    onely::settings.skip_count = static_cast<std::int32_t>(random() % 3);
    onely::settings.compare_limit = static_cast<std::int32_t>(random() % 3);
    bool text = random() % 2 == 0;
    std::string input = random_input(random);
    std::string name = std::to_string(round);
    folder.write("in" + name, input);
    {
      suite::InputStream in(1 + random() % (random() % 2 == 0 ? 20 : 200));
      suite::OutputStream out;
      ASSERT_TRUE(in.open(folder.file("in" + name), suite::StreamMode::binary));
      ASSERT_TRUE(out.open(folder.file("out" + name), text ? suite::StreamMode::text : suite::StreamMode::binary));
      onely::filter_lines(in, out);
    }
    std::string expected = model_filter(input, onely::settings);
    ASSERT_EQ(folder.read("out" + name), text ? suite_test::crlf(expected) : expected) << "round " << round;
    std::filesystem::remove(folder.file("in" + name));
    std::filesystem::remove(folder.file("out" + name));
  }
  onely::settings = onely::Settings{};
}

// A count of seven digits fills its field; one of eight widens it.
TEST(FilterLines, CountsOfSevenAndEightDigits) {
  suite_test::TempFolder folder;
  onely::settings = onely::Settings{};
  onely::settings.show_counts = true;
  for (std::size_t count : {std::size_t{9999999}, std::size_t{10000000}}) {
    std::string input;
    input.reserve(2 * count + 2);
    for (std::size_t i = 0; i < count; ++i) input += "x\n";
    input += "y\n";
    folder.write("in", input);
    std::filesystem::remove(folder.file("out"));
    {
      suite::InputStream in;
      suite::OutputStream out;
      ASSERT_TRUE(in.open(folder.file("in"), suite::StreamMode::binary));
      ASSERT_TRUE(out.open(folder.file("out"), suite::StreamMode::text));
      onely::filter_lines(in, out);
    }
    EXPECT_EQ(folder.read("out"), std::to_string(count) + "\tx\r\n      1\ty\r\n");
  }
  onely::settings = onely::Settings{};
}
