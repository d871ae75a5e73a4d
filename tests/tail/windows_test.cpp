#include "tail/windows.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/support/run_program.h"

namespace {

// Runs `write` against an output stream in binary mode and returns the bytes.
template <typename Write>
std::string written_bytes(Write write) {
  suite_test::TempFolder folder;
  {
    suite::OutputStream out;
    EXPECT_TRUE(out.open(folder.file("out"), suite::StreamMode::binary));
    write(out);
  }
  return folder.read("out");
}

// Feeds the text to a window in pieces of the given sizes (cycled).
std::string tail_lines(const std::string& text, std::int32_t limit, const std::vector<std::size_t>& pieces) {
  tail::LastLines window(limit);
  std::size_t at = 0;
  for (std::size_t i = 0; at < text.size(); ++i) {
    std::size_t size = std::min(pieces[i % pieces.size()], text.size() - at);
    window.add_text(text.data() + at, size);
    at += size;
  }
  window.finish();
  return written_bytes([&](suite::OutputStream& out) { window.write_to(out); });
}

// The plain model of the window: cut after every line feed, leave out
// lines that begin with NUL, keep the last `limit` (unsigned), print each
// up to its first NUL.
std::string model_tail_lines(const std::string& text, std::uint32_t limit) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    end = end == std::string::npos ? text.size() : end + 1;
    std::string line = text.substr(start, end - start);
    if (line[0] != '\0') lines.push_back(line.substr(0, line.find('\0')));
    start = end;
  }
  std::string result;
  std::size_t first = lines.size() > limit ? lines.size() - limit : 0;
  for (std::size_t i = first; i < lines.size(); ++i) result += lines[i];
  return result;
}

std::string random_text(std::mt19937& random, std::size_t size) {
  const char alphabet[] = {'a', 'b', 'c', '\n', '\n', '\0', 'x', ' '};
  std::uniform_int_distribution<int> pick(0, sizeof alphabet - 1);
  std::string text;
  for (std::size_t i = 0; i < size; ++i) text += alphabet[pick(random)];
  return text;
}

}  // namespace

TEST(LastLines, KeepsTheLastLinesOfTheInput) {
  EXPECT_EQ(tail_lines("1\n2\n3\n4\n5\n", 2, {100}), "4\n5\n");
  EXPECT_EQ(tail_lines("1\n2\n", 10, {100}), "1\n2\n");
  EXPECT_EQ(tail_lines("", 10, {100}), "");
  EXPECT_EQ(tail_lines("1\n2\nlast", 2, {3}), "2\nlast");
  EXPECT_EQ(tail_lines("\n\n\n", 2, {1}), "\n\n");
}

TEST(LastLines, NegativeLimitHoldsEveryLine) {
  std::string text;
  for (int i = 0; i < 5000; ++i) text += std::to_string(i) + "\n";
  EXPECT_EQ(tail_lines(text, -3, {4096}), text);
  EXPECT_EQ(tail_lines(text, -1, {7}), text);
}

TEST(LastLines, LinesBeginningWithNulAreNotCountedAndNulEndsALine) {
  std::string text("ab\0cd\n\0ef\ngh\n", 13);
  EXPECT_EQ(tail_lines(text, 2, {100}), "abgh\n");
  EXPECT_EQ(tail_lines(std::string("\0\n\0\n", 4), 10, {100}), "");
}

TEST(LastLines, HoldsNoMoreThanItsLimit) {
  tail::LastLines window(3);
  std::string text(100000, 'x');
  for (std::size_t i = 5; i < text.size(); i += 6) text[i] = '\n';
  window.add_text(text.data(), text.size());
  EXPECT_EQ(window.held(), 3u);
  window.finish();
  EXPECT_EQ(window.held(), 3u);
}

TEST(LastLines, AnyCuttingOfTheInputGivesTheModelsResult) {
  std::mt19937 random(12345);
  const std::int32_t limits[] = {1, 2, 3, 10, 57, -1};
  const std::vector<std::vector<std::size_t>> cuttings = {{1}, {2, 5}, {13}, {64, 1, 200}, {4096}, {100000}};
  for (int round = 0; round < 8; ++round) {
    std::string text = random_text(random, 2000 + round * 700);
    for (std::int32_t limit : limits) {
      for (const auto& pieces : cuttings) {
        ASSERT_EQ(tail_lines(text, limit, pieces), model_tail_lines(text, static_cast<std::uint32_t>(limit)))
            << "round " << round << " limit " << limit << " first piece " << pieces[0];
      }
    }
  }
}

TEST(ByteRing, KeepsTheLastBytesInTheirOrder) {
  auto tail_bytes = [](std::size_t ring_size, const std::string& text, std::size_t piece) {
    tail::ByteRing ring(ring_size);
    for (std::size_t at = 0; at < text.size(); at += piece) ring.add(text.data() + at, std::min(piece, text.size() - at));
    return written_bytes([&](suite::OutputStream& out) { ring.write_to(out); });
  };
  std::string text = "0123456789abcdefghijklmnopqrstuvwxyz";
  for (std::size_t ring_size : {1u, 3u, 10u, 36u, 50u}) {
    std::string expected = text.substr(text.size() - std::min(ring_size, text.size()));
    for (std::size_t piece : {1u, 2u, 7u, 10u, 36u}) {
      EXPECT_EQ(tail_bytes(ring_size, text, piece), expected) << ring_size << " " << piece;
    }
  }
  EXPECT_EQ(tail_bytes(5, "", 1), "");
  EXPECT_EQ(tail_bytes(5, "ab", 1), "ab");
}
