// The modes take lines where they lie in the input stream's buffer, find
// fields from bit maps of whole blocks and write their selections in runs
// with no scan for line feeds. These tests run them over random inputs (NUL
// bytes included) through random block sizes, in both output modes, against
// a byte-at-a-time model of each mode.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "cut/cut.h"
#include "tests/support/run_program.h"

namespace {

// The lines as the modes see them: each line's text up to its first NUL,
// without its line feed, and whether it begins with a NUL.
struct ModelLine {
  std::string text;
  bool starts_with_nul;
};

std::vector<ModelLine> model_lines(const std::string& input) {
  std::vector<ModelLine> lines;
  std::size_t start = 0;
  while (start < input.size()) {
    std::size_t newline = input.find('\n', start);
    std::size_t end = newline == std::string::npos ? input.size() : newline;
    std::string line = input.substr(start, end - start);
    std::size_t nul = line.find('\0');
    if (nul != std::string::npos) line.resize(nul);
    lines.push_back({line, nul == 0});
    start = newline == std::string::npos ? input.size() : newline + 1;
  }
  return lines;
}

std::string model_cut(cut::CutMode mode, const std::string& input, const cut::PositionSet& selected,
                      char delimiter) {
  std::string out;
  if (mode == cut::CutMode::CUT_BYTES) {
    for (std::size_t i = 0; i < input.size(); ++i) {
      if (selected.contains(i + 1)) out += input[i];
    }
    return out;
  }
  std::uint64_t row = 0;
  for (const ModelLine& line : model_lines(input)) {
    ++row;
    if (line.starts_with_nul) continue;
    if (mode == cut::CutMode::CUT_ROWS) {
      if (selected.contains(row)) out += line.text + '\n';
      continue;
    }
    if (mode == cut::CutMode::CUT_COLUMNS) {
      for (std::size_t i = 0; i < line.text.size(); ++i) {
        if (selected.contains(i + 1)) out += line.text[i];
      }
    } else {
      std::string joined, field;
      bool any = false;
      std::uint64_t number = 1;
      for (std::size_t i = 0; i <= line.text.size(); ++i) {
        if (i < line.text.size() && line.text[i] != delimiter) {
          field += line.text[i];
          continue;
        }
        if (selected.contains(number)) {
          if (any) joined += delimiter;
          joined += field;
          any = true;
        }
        field.clear();
        ++number;
      }
      out += joined;
    }
    out += '\n';
  }
  return out;
}

// Short lines thick with delimiters, or (one input in three) lines of up
// to a few hundred bytes with few, so that a line and its fields run
// across the 64-byte steps of a search.
std::string random_input(std::mt19937& random) {
  static constexpr char BYTES[] = "abc,,\t\t\n\n";
  static constexpr char SPARSE_BYTES[] = "abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ,\t\n";
  bool sparse = random() % 3 == 0;
  std::string text;
  std::size_t size = random() % (sparse ? 4000 : 600);
  bool with_nul = random() % 4 == 0;
  while (text.size() < size) {
    char byte = sparse ? SPARSE_BYTES[random() % (sizeof SPARSE_BYTES - 1)] : BYTES[random() % (sizeof BYTES - 1)];
    if (sparse && (byte == '\n' || byte == ',' || byte == '\t') && random() % 4 != 0) byte = 'x';
    text += (with_nul && random() % 40 == 0) ? '\0' : byte;
  }
  return text;
}

}  // namespace

TEST(LineModes, MatchTheModelOnRandomInputsAndBlockSizes) {
  std::mt19937 random(424242);
  suite_test::TempFolder folder;
  const cut::CutMode modes[] = {cut::CutMode::CUT_BYTES, cut::CutMode::CUT_COLUMNS, cut::CutMode::CUT_FIELDS,
                               cut::CutMode::CUT_ROWS};
  for (int round = 0; round < 2000; ++round) {
    auto selected = std::make_unique<cut::PositionSet>();
    std::int32_t reach = random() % 4 == 0 ? 300 : 20;
    for (int range = 0; range < 3; ++range) {
      std::int32_t first = 1 + static_cast<std::int32_t>(random() % reach);
      selected->select(first, first + static_cast<std::int32_t>(random() % (reach / 5)));
    }
    cut::CutMode mode = modes[random() % 4];
    char delimiter = random() % 2 == 0 ? '\t' : ',';
    bool text = random() % 2 == 0;
    std::string input = random_input(random);
    std::string name = std::to_string(round);
    folder.write("in" + name, input);
    {
      // Blocks of a few bytes, or of many lines.
      suite::InputStream in(random() % 2 == 0 ? 1 + random() % 100 : 64 + random() % 4000);
      suite::OutputStream out;
      ASSERT_TRUE(in.open(folder.file("in" + name), suite::StreamMode::binary));
      ASSERT_TRUE(out.open(folder.file("out" + name), text ? suite::StreamMode::text : suite::StreamMode::binary));
      if (mode == cut::CutMode::CUT_BYTES) cut::cut_bytes(in, out, *selected);
      if (mode == cut::CutMode::CUT_COLUMNS) cut::cut_columns(in, out, *selected);
      if (mode == cut::CutMode::CUT_FIELDS) cut::cut_fields(in, out, *selected, delimiter);
      if (mode == cut::CutMode::CUT_ROWS) cut::cut_rows(in, out, *selected);
    }
    std::string expected = model_cut(mode, input, *selected, delimiter);
    ASSERT_EQ(folder.read("out" + name), text ? suite_test::crlf(expected) : expected) << "round " << round;
    std::filesystem::remove(folder.file("in" + name));
    std::filesystem::remove(folder.file("out" + name));
  }
}

// Lines of every length around a 64-byte step with no delimiter, or with one
// as their last byte, cut to their first field and to their second.
TEST(LineModes, LinesWithNoDelimiterOrOneAtTheirEnd) {
  suite_test::TempFolder folder;
  std::string input;
  for (std::size_t k = 0; k < 600; ++k) input += std::string(k / 4 % 150, 'x') + (k % 2 == 1 ? "\t\n" : "\n");
  folder.write("in", input);
  for (std::int32_t field : {1, 2}) {
    auto selected = std::make_unique<cut::PositionSet>();
    selected->select(field, field);
    std::filesystem::remove(folder.file("out"));
    {
      suite::InputStream in;
      suite::OutputStream out;
      ASSERT_TRUE(in.open(folder.file("in"), suite::StreamMode::binary));
      ASSERT_TRUE(out.open(folder.file("out"), suite::StreamMode::binary));
      cut::cut_fields(in, out, *selected, '\t');
    }
    ASSERT_EQ(folder.read("out"), model_cut(cut::CutMode::CUT_FIELDS, input, *selected, '\t')) << "field " << field;
  }
}

// Fields of every length up to 200 bytes, each line starting at another
// place within a 64-byte step, so that a delimiter comes at every distance
// from the field's start, across one step or several; and lines longer
// than the pieces of the input mapped at a time.
TEST(LineModes, FieldsOfEveryLengthAtEveryAlignment) {
  suite_test::TempFolder folder;
  std::string input;
  for (std::size_t k = 0; k < 3000; ++k) {
    input += std::string(k % 201, 'a') + '\t' + std::string(k % 7, 'b') + '\t' + std::string(k % 67, 'c') + "\n";
    if (k % 1000 == 999) input += std::string(17000 + k, 'd') + '\t' + std::string(20000, 'e') + "\tf\n";
  }
  folder.write("in", input);
  auto selected = std::make_unique<cut::PositionSet>();
  selected->select(2, 3);
  for (std::size_t block : {std::size_t{100}, std::size_t{4096}, suite::InputStream::BLOCK_SIZE}) {
    std::filesystem::remove(folder.file("out"));
    {
      suite::InputStream in(block);
      suite::OutputStream out;
      ASSERT_TRUE(in.open(folder.file("in"), suite::StreamMode::binary));
      ASSERT_TRUE(out.open(folder.file("out"), suite::StreamMode::binary));
      cut::cut_fields(in, out, *selected, '\t');
    }
    ASSERT_EQ(folder.read("out"), model_cut(cut::CutMode::CUT_FIELDS, input, *selected, '\t')) << "block " << block;
  }
}
