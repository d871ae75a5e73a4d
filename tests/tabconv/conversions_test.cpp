// The conversions read their input in large blocks and carry pending spaces
// and columns from one block to the next. These tests run them over inputs
// several blocks long and compare with a character-at-a-time model of each
// conversion.
#include "tabconv/conversions.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <random>
#include <vector>

#include "tests/support/run_program.h"

using tabconv::MAX_LINE_LENGTH;
using tabconv::TabStopTable;

namespace {

std::string model_pack(const std::string& input, const TabStopTable& stops) {
  std::string out;
  std::uint64_t column = 0, written = 0;
  for (char c : input) {
    if (c == ' ') {
      ++column;
      if (stops.is_stop(column)) {
        out += column == written + 1 ? ' ' : '\t';
        written = column;
      }
      continue;
    }
    out.append(column - written, ' ');
    out += c;
    column = written = c == '\n' ? 0 : column + 1;
  }
  out.append(column - written, ' ');
  return out;
}

std::string model_spread(const std::string& input, const TabStopTable& stops) {
  std::string out;
  std::uint64_t column = 0;
  for (char c : input) {
    if (c == '\t') {
      do {
        out += ' ';
        ++column;
      } while (!stops.is_stop(column));
      continue;
    }
    out += c;
    column = c == '\n' ? 0 : column + 1;
  }
  return out;
}

using Conversion = void (*)(suite::InputStream&, suite::OutputStream&, const TabStopTable&);

// Runs a conversion from a file read in blocks of block_size bytes to a
// file, both in binary mode unless the output is in text mode, so that the
// bytes compare directly with the model.
std::string convert_in(const suite_test::TempFolder& folder, Conversion conversion, const std::string& input,
                       const TabStopTable& stops, std::size_t block_size = suite::InputStream::BLOCK_SIZE,
                       suite::StreamMode output_mode = suite::StreamMode::binary) {
  // Fresh files each time: a file emptied and written again waits for the
  // disk on some file systems.
  std::filesystem::remove(folder.file("in"));
  std::filesystem::remove(folder.file("out"));
  folder.write("in", input);
  {
    suite::InputStream in(block_size);
    suite::OutputStream out;
    EXPECT_TRUE(in.open(folder.file("in"), suite::StreamMode::binary));
    EXPECT_TRUE(out.open(folder.file("out"), output_mode));
    conversion(in, out, stops);
  }
  return folder.read("out");
}

std::string convert(Conversion conversion, const std::string& input, const TabStopTable& stops) {
  suite_test::TempFolder folder;
  return convert_in(folder, conversion, input, stops);
}

// Random text of words, space runs of every length (some very long), tabs
// and newlines, about three input blocks long.
std::string random_text(unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> percent(0, 99);
  std::string text;
  while (text.size() < 3 * suite::InputStream::BLOCK_SIZE) {
    int kind = percent(random);
    if (kind < 40) {
      text.append(1 + percent(random) % 7, static_cast<char>('a' + percent(random) % 26));
    } else if (kind < 75) {
      text.append(1 + percent(random) % 20, ' ');
    } else if (kind < 85) {
      text += '\t';
    } else if (kind < 95) {
      text += '\n';
    } else if (kind < 99) {
      text.append(percent(random) * 50, ' ');
    } else {
      text.append(static_cast<std::size_t>(percent(random)) * 3000, 'x');
    }
  }
  return text;
}

std::unique_ptr<TabStopTable> table_every(std::uint32_t step) {
  auto table = std::make_unique<TabStopTable>();
  tabconv::set_stops(*table, 1, step, MAX_LINE_LENGTH);
  return table;
}

// Tables for the random cases: stops every 1 to 12 columns, scattered stops,
// and stops far apart, so that runs and tabs reach across blocks. Stops go
// on to the end of each table, so that no tab spreads to the maximum line
// length (the fixed cases above have those).
std::vector<std::unique_ptr<TabStopTable>> random_tables(std::mt19937& random) {
  std::vector<std::unique_ptr<TabStopTable>> tables;
  for (std::uint32_t step = 1; step <= 12; ++step) tables.push_back(table_every(step));
  for (int i = 0; i < 6; ++i) {
    auto table = std::make_unique<TabStopTable>();
    for (int stop = 0; stop < 40; ++stop) table->flags[random() % 300] = 1;
    tabconv::set_stops(*table, 301, 7, MAX_LINE_LENGTH);
    tables.push_back(std::move(table));
  }
  auto far_apart = std::make_unique<TabStopTable>();
  tabconv::parse_tab_list(*far_apart, "2,3,70000:70000");
  tables.push_back(std::move(far_apart));
  return tables;
}

// A random input of spaces, tabs, newlines, carriage returns and letters,
// mostly short, sometimes longer than the stream buffers, sometimes with
// long runs of one byte.
std::string random_input(std::mt19937& random) {
  std::uniform_int_distribution<int> percent(0, 99);
  int size_kind = percent(random);
  std::size_t size = size_kind < 99 ? random() % 3000 : random() % 700000;
  static constexpr char BYTES[] = "   \t\t\n\rabcdefgh";
  std::string text;
  while (text.size() < size) {
    char c = BYTES[random() % (sizeof BYTES - 1)];
    std::size_t repeat = percent(random) < 3 ? random() % 5000 : 1;
    text.append(repeat, c);
  }
  return text;
}

}  // namespace

TEST(PackSpaces, MatchesTheModelAcrossBlockBoundaries) {
  for (std::uint32_t step : {8u, 3u, 1u, 0x7FFFFFFFu}) {
    auto stops = table_every(step);
    std::string input = random_text(step);
    EXPECT_EQ(convert(tabconv::pack_spaces, input, *stops), model_pack(input, *stops)) << "every " << step;
  }
}

TEST(PackSpaces, RunLongerThanABlockAndPendingSpacesAtTheEnd) {
  auto stops = std::make_unique<TabStopTable>();
  tabconv::parse_tab_list(*stops, "3,700000");
  for (std::string input : {"ab" + std::string(900000, ' ') + "c\n" + std::string(10, ' '),
                            std::string(suite::InputStream::BLOCK_SIZE - 1, 'x') + "    "}) {
    EXPECT_EQ(convert(tabconv::pack_spaces, input, *stops), model_pack(input, *stops));
  }
}

TEST(SpreadTabs, MatchesTheModelAcrossBlockBoundaries) {
  for (std::uint32_t step : {8u, 5u, 1u}) {
    auto stops = table_every(step);
    std::string input = random_text(100 + step);
    EXPECT_EQ(convert(tabconv::spread_tabs, input, *stops), model_spread(input, *stops)) << "every " << step;
  }
  auto sparse = std::make_unique<TabStopTable>();
  tabconv::parse_tab_list(*sparse, "5,9,400000");
  std::string input = random_text(7);
  EXPECT_EQ(convert(tabconv::spread_tabs, input, *sparse), model_spread(input, *sparse));
}

// Thousands of random inputs, tables and block sizes, output in either
// mode, against the byte-at-a-time models.
TEST(Conversions, MatchTheModelsOnRandomInputsAndBlockSizes) {
  std::mt19937 random(20261208);
  auto tables = random_tables(random);
  suite_test::TempFolder folder;
  for (int round = 0; round < 1000; ++round) {
    std::string input = random_input(random);
    const TabStopTable& stops = *tables[random() % tables.size()];
    std::size_t block_size = 1 + random() % (random() % 2 == 0 ? 64 : 70000);
    bool text = random() % 2 == 0;
    suite::StreamMode mode = text ? suite::StreamMode::text : suite::StreamMode::binary;
    std::string packed = model_pack(input, stops), spread = model_spread(input, stops);
    ASSERT_EQ(convert_in(folder, tabconv::pack_spaces, input, stops, block_size, mode),
              text ? suite_test::crlf(packed) : packed)
        << "round " << round;
    ASSERT_EQ(convert_in(folder, tabconv::spread_tabs, input, stops, block_size, mode),
              text ? suite_test::crlf(spread) : spread)
        << "round " << round;
  }
}
