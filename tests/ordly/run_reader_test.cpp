// The reading of runs in place against the plain line reader: the same
// lines, each ending in a line feed and a NUL, across buffer refills, for
// many buffer sizes and stream block sizes.
#include "ordly/run_reader.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/support/run_program.h"

namespace {

using Lines = std::vector<std::string>;

// What a run's line reader is to give: at most max_line - 1 bytes, stopping
// after a line feed, with a line feed added when the piece has none.
Lines plain_lines(const std::string& path, std::size_t max_line) {
  suite::InputStream input;
  EXPECT_TRUE(input.open(path, suite::StreamMode::text));
  std::vector<char> buffer(max_line + 1);
  Lines lines;
  while (std::size_t length = input.read_line(buffer.data(), max_line)) {
    std::string line(buffer.data(), length);
    if (line.back() != '\n') line += '\n';
    lines.push_back(line);
  }
  return lines;
}

// A run is read in binary mode, as the merge opens it.
Lines lines_in_place(const std::string& path, std::size_t max_line, std::size_t block_size) {
  suite::InputStream input(block_size);
  EXPECT_TRUE(input.open(path, suite::StreamMode::binary));
  ordly::RunReader reader;
  EXPECT_TRUE(reader.start(max_line));
  Lines lines;
  std::size_t length = 0;
  while (char* line = reader.next_line(input, length)) {
    EXPECT_EQ(line[length], '\0');
    lines.emplace_back(line, length);
  }
  EXPECT_EQ(reader.next_line(input, length), nullptr);
  return lines;
}

TEST(RunReader, LinesComeBackAsTheyWereStored) {
  suite_test::TempFolder folder;
  folder.write("run", "abcd\nxy\n\nlast");
  // A stored line may take max_line - 1 bytes with its line feed.
  EXPECT_EQ(lines_in_place(folder.file("run"), 6, 4096), (Lines{"abcd\n", "xy\n", "\n", "last\n"}));
  folder.write("run", "abcdefgh\n");
  EXPECT_EQ(lines_in_place(folder.file("run"), 6, 4096), (Lines{"abcde\n", "fgh\n"}));
  folder.write("run", "");
  EXPECT_EQ(lines_in_place(folder.file("run"), 6, 4096), Lines{});
  // The CR of a CR LF is not counted: four bytes and the line feed fit in
  // five; with five bytes the line feed after the CR is a line of its own.
  folder.write("run", "abcd\r\nxy\r\n\r\nabcde\r\n");
  EXPECT_EQ(lines_in_place(folder.file("run"), 6, 4096), (Lines{"abcd\n", "xy\n", "\n", "abcde\n", "\n"}));
}

// Runs as the text-mode output writes them (each line feed a CR LF), with
// some bare line feeds and some runs whose last line has no line feed,
// read in place as the plain text-mode reader reads them.
TEST(RunReader, RandomRunsReadAsThePlainReaderReadsThem) {
  std::mt19937 random(99);
  const std::size_t max_lines[] = {3, 4, 7, 16, 41, 100, 10242};
  const std::size_t block_sizes[] = {2, 5, 64, 4096};
  suite_test::TempFolder folder;
  for (int round = 0; round < 60; ++round) {
    std::size_t max_line = max_lines[round % 7];
    std::string text;
    std::size_t count = random() % (max_line > 100 ? 12 : 300);
    for (std::size_t i = 0; i < count; ++i) {
      std::size_t length = random() % (max_line + 4);
      for (std::size_t k = 0; k < length; ++k) text += "ab\xE9 z"[random() % 5];
      if (i + 1 < count || random() % 2 == 0) text += random() % 8 == 0 ? "\n" : "\r\n";
    }
    folder.write("run", text);
    Lines expected = plain_lines(folder.file("run"), max_line);
    for (std::size_t block_size : block_sizes) {
      ASSERT_EQ(lines_in_place(folder.file("run"), max_line, block_size), expected)
          << "buffer " << max_line << ", block " << block_size;
    }
  }
}

}  // namespace
