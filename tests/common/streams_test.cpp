#include "common/streams.h"

#include <gtest/gtest.h>

#include "tests/support/run_program.h"

namespace {

using suite::InputStream;
using suite::OutputStream;
using suite::StreamMode;

std::string read_all_lines(const std::string& path, StreamMode mode, std::size_t size = 64) {
  InputStream in;
  EXPECT_TRUE(in.open(path, mode));
  std::string all;
  std::vector<char> buffer(size);
  while (in.read_line(buffer.data(), buffer.size()) > 0) all += std::string(buffer.data()) + "|";
  return all;
}

}  // namespace

TEST(TextInput, DropsEveryCarriageReturnAndStopsAtCtrlZ) {
  suite_test::TempFolder folder;
  folder.write("t", "a\r\nb\rc\r\r\n\rd\x1A" "after\n");
  EXPECT_EQ(read_all_lines(folder.file("t"), StreamMode::text), "a\n|bc\n|d|");
  EXPECT_EQ(read_all_lines(folder.file("t"), StreamMode::binary), "a\r\n|b\rc\r\r\n|\rd\x1A" "after\n|");
}

TEST(TextInput, LinesAreCutAtTheBufferSize) {
  suite_test::TempFolder folder;
  folder.write("t", "abcdefg\nxy");
  EXPECT_EQ(read_all_lines(folder.file("t"), StreamMode::text, 4), "abc|def|g\n|xy|");
}

TEST(TextInput, EndIndicatorLikeTheCLibrary) {
  suite_test::TempFolder folder;
  folder.write("t", "a\nb");
  InputStream in;
  ASSERT_TRUE(in.open(folder.file("t"), StreamMode::text));
  char buffer[16];
  EXPECT_EQ(in.read_line(buffer, sizeof buffer), 2u);
  EXPECT_FALSE(in.end_seen());
  EXPECT_EQ(in.read_line(buffer, sizeof buffer), 1u);
  EXPECT_TRUE(in.end_seen());
  EXPECT_EQ(in.get(), InputStream::END);
  ASSERT_TRUE(in.rewind());
  EXPECT_FALSE(in.end_seen());
  EXPECT_EQ(in.get(), 'a');
}

TEST(TextInput, ConversionAcrossManyBlocks) {
  suite_test::TempFolder folder;
  std::string raw, expected;
  for (int i = 0; i < 200000; ++i) {
    std::string line = "line " + std::to_string(i);
    raw += line + "\r\n";
    expected += line + "\n";
  }
  folder.write("big", raw);
  InputStream in;
  ASSERT_TRUE(in.open(folder.file("big"), StreamMode::text));
  std::string got;
  for (int c; (c = in.get()) != InputStream::END;) got += static_cast<char>(c);
  EXPECT_EQ(got, expected);
}

TEST(TextInput, ASmallBufferHoldsNoMoreThanItsSizeAndLosesNothing) {
  suite_test::TempFolder folder;
  folder.write("t", "a line longer than the buffer\r\nshort\r\n" + std::string(40, 'x'));
  InputStream in(16);
  ASSERT_TRUE(in.open(folder.file("t"), StreamMode::text));
  ASSERT_TRUE(in.refill());
  EXPECT_EQ(in.buffered_size(), 16u);
  char buffer[64];
  EXPECT_EQ(in.read_line(buffer, sizeof buffer), 30u);
  EXPECT_STREQ(buffer, "a line longer than the buffer\n");
  EXPECT_EQ(in.read_line(buffer, sizeof buffer), 6u);
  EXPECT_STREQ(buffer, "short\n");
  EXPECT_EQ(in.read_line(buffer, sizeof buffer), 40u);
  EXPECT_EQ(std::string(buffer), std::string(40, 'x'));
  EXPECT_EQ(in.read_line(buffer, sizeof buffer), 0u);
}

TEST(Input, FoldersAndMissingFilesDoNotOpen) {
  suite_test::TempFolder folder;
  InputStream in;
  EXPECT_FALSE(in.open(folder.path(), StreamMode::text));
  EXPECT_FALSE(in.open(folder.file("missing"), StreamMode::text));
  EXPECT_FALSE(in.is_open());
}

TEST(TextOutput, LineFeedsBecomeCrLf) {
  suite_test::TempFolder folder;
  {
    OutputStream out;
    ASSERT_TRUE(out.open(folder.file("o"), StreamMode::text));
    out.write("a\nb\n\n");
    out.put('\n');
    out.print("%5d|%s\n", 42, "x");
    out.write_c_string("end");
  }
  EXPECT_EQ(folder.read("o"), "a\r\nb\r\n\r\n\r\n   42|x\r\nend");
  {
    OutputStream out;
    ASSERT_TRUE(out.open(folder.file("b"), StreamMode::binary));
    out.write("a\nb\r\n");
  }
  EXPECT_EQ(folder.read("b"), "a\nb\r\n");
}

TEST(TextOutput, LinesWrittenWholeAsByWrite) {
  // Lines of every length around the buffer's end, with and without their
  // line feed, in both modes.
  suite_test::TempFolder folder;
  for (StreamMode mode : {StreamMode::text, StreamMode::binary}) {
    {
      OutputStream by_line;
      OutputStream by_write;
      ASSERT_TRUE(by_line.open(folder.file("line"), mode));
      ASSERT_TRUE(by_write.open(folder.file("write"), mode));
      for (std::size_t i = 0; i < 40000; ++i) {
        std::string line(i % 23, static_cast<char>('a' + i % 26));
        if (i % 5 != 0) line += '\n';
        by_line.write_line(line.data(), line.size());
        by_write.write(line);
      }
    }
    EXPECT_TRUE(folder.read("line") == folder.read("write"));
  }
}

TEST(Output, LargeWritesKeepEveryByte) {
  suite_test::TempFolder folder;
  std::string text(1000000, 'x');
  for (std::size_t i = 0; i < text.size(); i += 7) text[i] = '\n';
  std::string expected;
  for (char c : text) expected += c == '\n' ? std::string("\r\n") : std::string(1, c);
  {
    OutputStream out;
    ASSERT_TRUE(out.open(folder.file("o"), StreamMode::text));
    out.write(text.substr(0, 10));
    out.write(text.substr(10));
  }
  EXPECT_EQ(folder.read("o"), expected);
}

TEST(Output, DeferredTruncationKeepsTheOldContentUntilOutputBegins) {
  suite_test::TempFolder folder;
  folder.write("o", "old content");
  {
    OutputStream out;
    ASSERT_TRUE(out.open(folder.file("o"), StreamMode::text, OutputStream::Truncation::when_output_begins));
    EXPECT_EQ(folder.read("o"), "old content");
  }
  EXPECT_EQ(folder.read("o"), "old content");
  {
    OutputStream out;
    ASSERT_TRUE(out.open(folder.file("o"), StreamMode::text, OutputStream::Truncation::when_output_begins));
    out.begin_output();
  }
  EXPECT_EQ(folder.read("o"), "");
  {
    OutputStream out;
    ASSERT_TRUE(out.open(folder.file("o"), StreamMode::binary, OutputStream::Truncation::when_output_begins));
    out.write("new");
  }
  EXPECT_EQ(folder.read("o"), "new");
}

// A caller that must have the whole file learns of a write that did not
// land, whether it failed at once or only when the buffer went out.
TEST(Output, AFailedWriteIsReportedByCloseAndStaysReported) {
  suite_test::TempFolder folder;
  OutputStream written;
  ASSERT_TRUE(written.open(folder.file("o"), StreamMode::text));
  written.write("line\n");
  EXPECT_TRUE(written.close());
  EXPECT_FALSE(written.failed());

  OutputStream full;
  ASSERT_TRUE(full.open("/dev/full", StreamMode::binary));
  full.write("small");
  EXPECT_FALSE(full.failed());
  EXPECT_FALSE(full.close());
  EXPECT_TRUE(full.failed());

  OutputStream large;
  ASSERT_TRUE(large.open("/dev/full", StreamMode::binary));
  large.write(std::string(OutputStream::BLOCK_SIZE + 1, 'x'));
  EXPECT_TRUE(large.failed());
}

TEST(Platform, SameFileByDeviceAndInode) {
  suite_test::TempFolder folder;
  folder.write("a", "1");
  folder.write("b", "2");
  InputStream in;
  ASSERT_TRUE(in.open(folder.file("a"), StreamMode::text));
  EXPECT_TRUE(suite::platform::same_file(in.handle(), folder.file("a")));
  EXPECT_TRUE(suite::platform::same_file(in.handle(), folder.path() + "/./a"));
  EXPECT_FALSE(suite::platform::same_file(in.handle(), folder.file("b")));
  EXPECT_FALSE(suite::platform::same_file(in.handle(), folder.file("missing")));
}
