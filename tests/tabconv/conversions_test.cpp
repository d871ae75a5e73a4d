// The conversions read their input in large blocks and carry pending spaces
// and columns from one block to the next. These tests run them over inputs
// several blocks long and compare with a character-at-a-time model of each
// conversion.
#include "tabconv/conversions.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

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

// Runs a conversion from a file to a file, both in binary mode, so that the
// bytes compare directly with the model.
std::string convert(Conversion conversion, const std::string& input, const TabStopTable& stops) {
  suite_test::TempFolder folder;
  folder.write("in", input);
  {
    suite::InputStream in;
    suite::OutputStream out;
    EXPECT_TRUE(in.open(folder.file("in"), suite::StreamMode::binary));
    EXPECT_TRUE(out.open(folder.file("out"), suite::StreamMode::binary));
    conversion(in, out, stops);
  }
  return folder.read("out");
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
