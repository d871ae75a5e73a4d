// Rows take each line where it lies in the input stream's buffer (in
// batches, one for each stream), or copy it when it runs past the buffer's
// end, and write it with no scan for line feeds. These tests run them over random inputs (NUL bytes included)
// through random block sizes and delimiters, in both output modes, against
// a line-at-a-time model.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "paste/paste.h"
#include "tests/support/run_program.h"

namespace {

// The lines of an input as written: without their line feed, cut at the
// first NUL.
std::vector<std::string> model_lines(const std::string& input) {
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < input.size();) {
    std::size_t newline = input.find('\n', start);
    std::size_t end = newline == std::string::npos ? input.size() : newline;
    std::string line = input.substr(start, end - start);
    std::size_t nul = line.find('\0');
    if (nul != std::string::npos) line.resize(nul);
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

// Rows until any input runs out; the row under way then stays as it got.
// Entry i takes the next line of source sources[i]: entries that share a
// source take its lines in turn.
std::string model_paste(const std::vector<std::string>& texts, const std::vector<std::size_t>& sources,
                        const std::string& delimiter) {
  std::vector<std::vector<std::string>> lines;
  for (const std::string& text : texts) lines.push_back(model_lines(text));
  std::vector<std::size_t> next(texts.size(), 0);
  std::string out;
  while (true) {
    for (std::size_t i = 0; i < sources.size(); ++i) {
      std::size_t source = sources[i];
      if (next[source] >= lines[source].size()) return out;
      if (i > 0) out += delimiter;
      out += lines[source][next[source]++];
    }
    out += '\n';
  }
}

std::string random_input(std::mt19937& random) {
  static constexpr char BYTES[] = "abcdefg\t\n\n";
  std::string text;
  std::size_t size = random() % 400;
  bool with_nul = random() % 4 == 0;
  while (text.size() < size) {
    text += (with_nul && random() % 30 == 0) ? '\0' : BYTES[random() % (sizeof BYTES - 1)];
  }
  return text;
}

}  // namespace

TEST(PasteRows, MatchTheModelOnRandomInputsAndBlockSizes) {
  std::mt19937 random(31337);
  suite_test::TempFolder folder;
  const std::string delimiters[] = {"\t", ",", "\n", "ab"};
  for (int round = 0; round < 1500; ++round) {
    std::size_t count = 1 + random() % 3;
    std::vector<std::string> texts;
    std::vector<std::unique_ptr<suite::InputStream>> streams;
    std::vector<suite::InputStream*> inputs;
    for (std::size_t i = 0; i < count; ++i) {
      texts.push_back(random_input(random));
      std::string name = "in" + std::to_string(i);
      std::filesystem::remove(folder.file(name));
      folder.write(name, texts.back());
      // Blocks of a few bytes, or of many lines.
      streams.push_back(std::make_unique<suite::InputStream>(1 + random() % (random() % 2 == 0 ? 50 : 1000)));
      ASSERT_TRUE(streams.back()->open(folder.file(name), suite::StreamMode::binary));
      inputs.push_back(streams.back().get());
    }
    // Now and then the first input comes again as the last entry (as every
    // "-" names standard input).
    std::vector<std::size_t> sources(count);
    for (std::size_t i = 0; i < count; ++i) sources[i] = i;
    if (count > 1 && random() % 3 == 0) {
      inputs.push_back(inputs[0]);
      sources.push_back(0);
    }
    const std::string& delimiter = delimiters[random() % 4];
    bool text = random() % 2 == 0;
    std::filesystem::remove(folder.file("out"));
    {
      suite::OutputStream out;
      ASSERT_TRUE(out.open(folder.file("out"), text ? suite::StreamMode::text : suite::StreamMode::binary));
      paste::paste_rows(inputs.data(), inputs.size(), delimiter, out);
    }
    std::string expected = model_paste(texts, sources, delimiter);
    ASSERT_EQ(folder.read("out"), text ? suite_test::crlf(expected) : expected) << "round " << round;
  }
}
