#include "common/streams.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string_view>
#include <vector>

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

TEST(TextOutput, LinesWrittenWithoutAScanAsByWrite) {
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
        if (i % 5 != 0) {
          by_line.write_line(line.data(), line.size());
          line += '\n';
        } else {
          by_line.write_within_line(line.data(), line.size());
        }
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

TEST(Output, TruncationNowWhenOutputBeginsOrNever) {
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
  // Never truncated: the bytes written go over the old ones from the start.
  {
    OutputStream out;
    ASSERT_TRUE(out.open(folder.file("o"), StreamMode::text, OutputStream::Truncation::never));
    out.begin_output();
    out.write("N");
  }
  EXPECT_EQ(folder.read("o"), "New");
  EXPECT_TRUE(OutputStream{}.open(folder.file("fresh"), StreamMode::text, OutputStream::Truncation::never));
  EXPECT_EQ(folder.read("fresh"), "");
}

// Writes of whole lines, within a line and of a line feed take the
// truncation still pending first, and the line end of the mode of each
// opening of the stream.
TEST(Output, LineWritesTruncateFirstAndEndLinesAsTheOpeningSays) {
  suite_test::TempFolder folder;
  folder.write("o", "old content, longer");
  OutputStream out;
  ASSERT_TRUE(out.open(folder.file("o"), StreamMode::binary, OutputStream::Truncation::when_output_begins));
  out.write_within_line("ab", 2);
  out.write_line("c", 1);
  ASSERT_TRUE(out.close());
  EXPECT_EQ(folder.read("o"), "abc\n");
  out.write_line("dropped", 7);
  ASSERT_TRUE(out.open(folder.file("t"), StreamMode::text));
  out.write_line("t", 1);
  out.put('\n');
  ASSERT_TRUE(out.close());
  ASSERT_TRUE(out.open(folder.file("b"), StreamMode::binary));
  out.write_line("b", 1);
  out.write_line("", 0);
  out.put('\n');
  ASSERT_TRUE(out.close());
  EXPECT_EQ(folder.read("o"), "abc\n");
  EXPECT_EQ(folder.read("t"), "t\r\n\r\n");
  EXPECT_EQ(folder.read("b"), "b\n\n\n");
}

// Writes made in the buffer in place: the first truncates a file whose
// truncation waits, and on an unbuffered stream they reach the file as
// soon as they are taken as written.
TEST(Output, WritesInPlaceTruncateFirstAndGoOutAtOnceWhenUnbuffered) {
  suite_test::TempFolder folder;
  folder.write("o", "old content, longer");
  OutputStream out;
  ASSERT_TRUE(out.open(folder.file("o"), StreamMode::binary, OutputStream::Truncation::when_output_begins));
  OutputStream::Room room = out.room(16);
  std::memcpy(room.begin, "xy", 2);
  out.commit(room.begin + 2);
  ASSERT_TRUE(out.close());
  EXPECT_EQ(folder.read("o"), "xy");

  suite::platform::Handle handle = suite::platform::open_for_writing(folder.file("u"), true);
  ASSERT_NE(handle, suite::platform::NO_HANDLE);
  OutputStream unbuffered;
  unbuffered.attach(handle, StreamMode::binary, true);
  room = unbuffered.room(8);
  std::memcpy(room.begin, "zz", 2);
  unbuffered.commit(room.begin + 2);
  EXPECT_EQ(folder.read("u"), "zz");
  unbuffered.close();
  suite::platform::close_handle(handle);
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

// Random inputs with NUL bytes here and there, read in lines through random
// block and line sizes: until the stream says it has seen a NUL, every line
// read is free of one, and once a line with a NUL has been read it says so.
TEST(Input, NulSeenNeverMissesANulInTheLinesRead) {
  std::mt19937 random(7031);
  suite_test::TempFolder folder;
  for (int round = 0; round < 400; ++round) {
    std::string input;
    std::size_t size = random() % 4000;
    bool with_nul = random() % 2 == 0;
    while (input.size() < size) {
      unsigned pick = random() % 100;
      input += pick < 10 ? '\n' : (with_nul && pick < 12) ? '\0' : static_cast<char>('a' + pick % 26);
    }
    std::string name = "in" + std::to_string(round);
    folder.write(name, input);
    InputStream in(1 + random() % 300);
    ASSERT_TRUE(in.open(folder.file(name), random() % 2 == 0 ? StreamMode::text : StreamMode::binary));
    std::vector<char> line(2 + random() % 200);
    std::string read;
    for (std::size_t count; (count = in.read_line(line.data(), line.size())) > 0;) {
      read.append(line.data(), count);
      bool line_has_nul = std::strlen(line.data()) != count;
      ASSERT_TRUE(!line_has_nul || in.nul_seen()) << "round " << round;
    }
    ASSERT_EQ(read, input) << "round " << round;
    ASSERT_EQ(in.nul_seen(), with_nul && input.find('\0') != std::string::npos) << "round " << round;
  }
}

// Lines taken in place (or read into a spare buffer when not all in the
// stream's buffer), one at a time or (in every other input, now and then)
// all that lie whole in the buffer at once, are the lines read_line gives,
// with the same end-of-file indicator after each, through random block and
// line sizes in both modes.
TEST(Input, LinesInPlaceAreTheLinesReadLineGives) {
  std::mt19937 random(4409);
  suite_test::TempFolder folder;
  for (int round = 0; round < 400; ++round) {
    std::string input;
    std::size_t size = random() % 3000;
    while (input.size() < size) {
      unsigned pick = random() % 100;
      input += pick < 8 ? '\n' : pick < 10 ? '\r' : pick < 11 ? '\0' : static_cast<char>('a' + pick % 26);
    }
    if (random() % 8 == 0) input += suite::CTRL_Z + std::string("after");
    std::string name = "in" + std::to_string(round);
    folder.write(name, input);
    StreamMode mode = random() % 2 == 0 ? StreamMode::text : StreamMode::binary;
    std::size_t block = 1 + random() % 300;
    InputStream in_place(block);
    InputStream copied(block);
    ASSERT_TRUE(in_place.open(folder.file(name), mode));
    ASSERT_TRUE(copied.open(folder.file(name), mode));
    std::vector<char> spare(1 + random() % 200);
    std::vector<char> line(spare.size());
    bool in_batches = random() % 2 == 0;
    for (int number = 0;; ++number) {
      if (in_batches && random() % 3 == 0) {
        std::vector<std::string> batch;
        // Now and then the batch ends after a few lines.
        bool stopping = random() % 2 == 0;
        std::size_t most = 1 + random() % 4;
        auto add = [&](std::string_view whole) { batch.emplace_back(whole); };
        auto add_a_few = [&](std::string_view whole) {
          batch.emplace_back(whole);
          return batch.size() < most;
        };
        bool taken = stopping ? in_place.take_buffered_lines(spare.size(), add_a_few)
                              : in_place.take_buffered_lines(spare.size(), add);
        if (stopping) {
          ASSERT_LE(batch.size(), most) << "round " << round;
        }
        ASSERT_EQ(taken, !in_place.nul_seen()) << "round " << round;
        for (const std::string& whole : batch) {
          std::size_t count = copied.read_line(line.data(), line.size());
          ASSERT_EQ(whole, std::string_view(line.data(), count)) << "round " << round << ", line " << number++;
        }
      }
      std::string_view taken = in_place.read_line_in_place(spare.data(), spare.size());
      std::size_t count = copied.read_line(line.data(), line.size());
      ASSERT_EQ(taken, std::string_view(line.data(), count)) << "round " << round << ", line " << number;
      ASSERT_EQ(in_place.end_seen(), copied.end_seen()) << "round " << round << ", line " << number;
      ASSERT_EQ(in_place.text_of(taken), std::string_view(line.data())) << "round " << round;
      if (count == 0) break;
    }
  }
}

// Buffers of up to thousands of lines, most of a few bytes (so that a
// stretch of 64 bytes holds any number of them, a buffer more than a batch
// holds), and some longer than the line size: lines taken by a batch, or all
// at once, are the lines read_line gives, and the lines too long are left
// to be read.
TEST(Input, BatchesOfManyShortLinesAreTheLinesReadLineGives) {
  std::mt19937 random(7171);
  suite_test::TempFolder folder;
  for (int round = 0; round < 120; ++round) {
    std::string input;
    std::size_t size = random() % 20000;
    unsigned density = 2 + random() % 40;
    while (input.size() < size) {
      unsigned pick = random() % 1000;
      input += pick < 1000 / density ? '\n' : pick < 1000 / density + 3 ? '\r' : static_cast<char>('a' + pick % 26);
    }
    std::string name = "short" + std::to_string(round);
    folder.write(name, input);
    StreamMode mode = random() % 2 == 0 ? StreamMode::text : StreamMode::binary;
    std::size_t block = 1 + random() % 8000;
    std::size_t line_size = 2 + random() % 100;
    InputStream taken(block);
    InputStream copied(block);
    ASSERT_TRUE(taken.open(folder.file(name), mode));
    ASSERT_TRUE(copied.open(folder.file(name), mode));
    std::vector<char> spare(line_size);
    std::vector<char> line(line_size);
    suite::LineBatch batch;
    bool by_batch = round % 2 == 0;
    for (int number = 0;; ++number) {
      std::vector<std::string> lines;
      if (by_batch) {
        std::string_view next = batch.next(taken, line_size);
        if (!next.empty()) lines.emplace_back(next);
      } else {
        taken.take_buffered_lines(line_size, [&](std::string_view whole) { lines.emplace_back(whole); });
      }
      if (lines.empty()) lines.emplace_back(taken.read_line_in_place(spare.data(), spare.size()));
      for (const std::string& whole : lines) {
        std::size_t count = copied.read_line(line.data(), line.size());
        ASSERT_EQ(whole, std::string_view(line.data(), count)) << "round " << round << ", line " << number++;
      }
      if (lines.back().empty()) break;
    }
  }
}

// Random mixes of every kind of write, in both modes, through a buffer
// filled past its end many times, against the bytes the mode gives.
TEST(Output, EveryKindOfWriteMatchesTheModelOfItsMode) {
  std::mt19937 random(5150);
  suite_test::TempFolder folder;
  for (int round = 0; round < 40; ++round) {
    bool text = round % 2 == 0;
    std::string name = "out" + std::to_string(round);
    std::string expected;
    auto line_end = [&] { expected += text ? "\r\n" : "\n"; };
    {
      OutputStream out;
      ASSERT_TRUE(out.open(folder.file(name), text ? StreamMode::text : StreamMode::binary));
      std::size_t total_goal = random() % (3 * OutputStream::BLOCK_SIZE);
      while (expected.size() < total_goal) {
        std::size_t size = random() % 5 == 0 ? random() % 70000 : random() % 40;
        std::string plain(size, static_cast<char>('a' + random() % 26));
        switch (random() % 5) {
          case 0: {  // write: line feeds converted
            std::string with_lines = plain + "\n" + plain;
            out.write(with_lines);
            expected += plain;
            line_end();
            expected += plain;
            break;
          }
          case 1:
          case 2: {
            // Now and then from a span with the padding a padded write may
            // read (and no more, for the address checker).
            bool padded = random() % 2 == 0;
            std::string source = plain + std::string(suite::COPY_PADDING, '#');
            bool whole_line = random() % 2 == 0;
            if (whole_line) {
              padded ? out.write_padded_line(source.data(), size) : out.write_line(plain.data(), size);
            } else {
              padded ? out.write_padded_within_line(source.data(), size) : out.write_within_line(plain.data(), size);
            }
            expected += plain;
            if (whole_line) line_end();
            break;
          }
          case 3:
            if (random() % 2 == 0) {
              out.put('\n');
              line_end();
            } else {
              out.put('z');
              expected += 'z';
            }
            break;
          default: {
            OutputStream::Room room = out.room(16);
            ASSERT_GE(room.end - room.begin, 16);
            std::size_t now = std::min<std::size_t>(size, static_cast<std::size_t>(room.end - room.begin));
            std::memcpy(room.begin, plain.data(), now);
            std::string_view end = out.line_end();
            out.commit(room.begin + now);
            expected.append(plain, 0, now);
            EXPECT_EQ(end, text ? "\r\n" : "\n");
            break;
          }
        }
      }
      ASSERT_TRUE(out.close());
    }
    ASSERT_EQ(folder.read(name), expected) << "round " << round;
  }
}
