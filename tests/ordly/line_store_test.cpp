#include "ordly/line_store.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "ordly/line_order.h"
#include "tests/ordly/order_test_support.h"
#include "tests/support/run_program.h"

namespace {

class LineStore : public ordly_test::OrderTest {};

std::vector<std::string> stored_lines_of(const std::string& bytes, std::uint32_t max_line) {
  suite_test::TempFolder folder;
  folder.write("in.txt", bytes);
  ordly::settings.max_line = max_line;
  suite::InputStream input;
  EXPECT_TRUE(input.open(folder.file("in.txt"), suite::StreamMode::text));
  std::vector<char> buffer(max_line + 1);
  std::vector<std::string> lines;
  while (std::size_t length = ordly::read_stored_line(input, buffer.data())) {
    EXPECT_EQ(std::strlen(buffer.data()), length);
    lines.emplace_back(buffer.data(), length);
  }
  return lines;
}

TEST_F(LineStore, LinesAreCutAtTheBufferSizeAndAtNulBytes) {
  std::string bytes("abcdefgh\nxy\0z\n\nlast", 19);
  // A buffer of 6 bytes takes pieces of at most 4.
  EXPECT_EQ(stored_lines_of(bytes, 6),
            (std::vector<std::string>{"abcd\n", "efgh\n", "\n", "xy\n", "\n", "\n", "last\n"}));
}

TEST_F(LineStore, TextModeAndTheLastLineWithoutLineFeed) {
  EXPECT_EQ(stored_lines_of("b\r\na\r\nc", 100), (std::vector<std::string>{"b\n", "a\n", "c\n"}));
  EXPECT_EQ(stored_lines_of("one\n\x1Atwo\n", 100), (std::vector<std::string>{"one\n"}));
  EXPECT_EQ(stored_lines_of("", 100), std::vector<std::string>{});
}

TEST_F(LineStore, StoredLinesKeepTheirLengthAndPadding) {
  char* line = ordly::new_stored_line("hello\n", 6);
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(ordly::stored_length(line), 6u);
  EXPECT_STREQ(line, "hello\n");
  for (std::size_t i = 6; i < 6 + ordly::LINE_PADDING; ++i) EXPECT_EQ(line[i], '\0');
  ordly::free_stored_lines();
}

TEST_F(LineStore, LinesSharingBlocksKeepTheirTextLengthAndPadding) {
  // Sizes from empty to far beyond a shared block's rest, so that lines
  // fill blocks to their ends and large ones get blocks of their own.
  std::vector<std::string> texts;
  std::vector<char*> lines;
  for (int round = 0; round < 2; ++round) {
    texts.clear();
    lines.clear();
    for (std::size_t i = 0; i < 3000; ++i) {
      std::size_t size = (i * 7919) % (i % 50 == 0 ? 70000 : 300);
      texts.push_back(std::string(size, static_cast<char>('a' + i % 26)));
      bool add_line_feed = i % 2 == 0;
      lines.push_back(ordly::new_stored_line(texts.back().data(), size, add_line_feed));
      ASSERT_NE(lines.back(), nullptr);
      if (add_line_feed) texts.back() += '\n';
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
      ASSERT_EQ(ordly::stored_length(lines[i]), texts[i].size());
      ASSERT_EQ(std::string(lines[i], texts[i].size()), texts[i]);
      for (std::size_t k = 0; k < ordly::LINE_PADDING; ++k) ASSERT_EQ(lines[i][texts[i].size() + k], '\0');
    }
    ordly::free_stored_lines();
  }
}

}  // namespace
