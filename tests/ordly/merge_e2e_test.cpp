// Differential end-to-end tests of sorting through runs: the program's
// output, with its keyed merge and its reading of runs, must be byte for
// byte what a plain model gives: the input cut into stored lines, runs of
// the table's size each sorted with the full comparison, and the runs
// merged by the heap steps with the full comparison.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "ordly/line_order.h"
#include "ordly/line_store.h"
#include "ordly/sort_methods.h"
#include "tests/ordly/e2e_support.h"
#include "tests/ordly/random_order_support.h"

namespace {

using Lines = std::vector<std::string>;

// The stored lines of the text as the line reader cuts them with a buffer
// of max_line bytes.
Lines stored_pieces(const Lines& texts, std::size_t max_line) {
  std::size_t longest = max_line - 2;
  Lines pieces;
  for (const std::string& text : texts) {
    std::string rest = text + "\n";
    while (!rest.empty()) {
      std::string piece = rest.substr(0, longest);
      rest.erase(0, piece.size());
      if (piece.back() != '\n') piece += '\n';
      pieces.push_back(piece);
    }
  }
  return pieces;
}

// A stored line for the full comparison: its text, the NUL and padding.
std::vector<char> line_block(const std::string& line) {
  std::vector<char> block(line.begin(), line.end());
  block.resize(line.size() + 1 + ordly::LINE_PADDING, '\0');
  return block;
}

std::vector<char*> sorted_run(std::vector<std::vector<char>>& blocks, std::size_t first, std::size_t end) {
  std::vector<char*> run;
  for (std::size_t i = first; i < end; ++i) run.push_back(blocks[i].data());
  ordly::quicksort(run.data(), static_cast<std::int32_t>(run.size()), ordly::settings.active_compare);
  return run;
}

// The merge's steps with the full comparison: the inputs ordered by
// straight insertion, then the top written and sifted down, ties to the
// left child.
std::string merged(const std::vector<std::vector<char*>>& runs) {
  auto greater = [](const char* a, const char* b) { return ordly::settings.active_compare(a, b) > 0; };
  std::vector<std::size_t> next(runs.size(), 0);
  std::vector<int> heap;
  for (int r = 0; r < static_cast<int>(runs.size()); ++r) {
    int j = static_cast<int>(heap.size()) - 1;
    heap.push_back(r);
    while (j >= 0 && greater(runs[heap[j]][0], runs[r][0])) {
      heap[j + 1] = heap[j];
      --j;
    }
    heap[j + 1] = r;
  }
  auto current = [&](int position) { return runs[heap[position]][next[heap[position]]]; };
  std::string out;
  while (!heap.empty()) {
    out += current(0);
    if (++next[heap[0]] == runs[heap[0]].size()) {
      heap[0] = heap.back();
      heap.pop_back();
    }
    std::size_t i = 0, child = 1, count = heap.size();
    while (child < count) {
      if (child + 1 < count && greater(current(child), current(child + 1))) ++child;
      if (!greater(current(i), current(child))) break;
      std::swap(heap[i], heap[child]);
      i = child;
      child = 2 * child + 1;
    }
  }
  return out;
}

std::string modelled_output(const Lines& texts, const std::string& group, std::size_t max_line) {
  ordly_test::apply_order(group);
  Lines pieces = stored_pieces(texts, max_line);
  std::vector<std::vector<char>> blocks;
  for (const std::string& piece : pieces) blocks.push_back(line_block(piece));
  std::size_t run_size = ordly::MAX_STORED_LINES;
  std::vector<std::vector<char*>> runs;
  for (std::size_t first = 0; first < blocks.size(); first += run_size) {
    runs.push_back(sorted_run(blocks, first, std::min(blocks.size(), first + run_size)));
  }
  std::string out = merged(runs);
  ordly::settings = ordly::Settings{};
  return ordly_test::crlf(out);
}

std::string joined(const Lines& texts) {
  std::string text;
  for (const std::string& t : texts) text += t + "\n";
  return text;
}

class OrdlyRunMerge : public ::testing::Test {
 protected:
  void TearDown() override { ordly::settings = ordly::Settings{}; }
};

TEST_F(OrdlyRunMerge, RunsMergeAsThePlainModelUnderRandomOrdersAndBufferSizes) {
  std::mt19937 random(4242);
  const std::size_t buffer_sizes[] = {ordly::DEFAULT_MAX_LINE, 14, 23, 5000};
  for (int round = 0; round < 8; ++round) {
    std::string group = ordly_test::random_order(random);
    std::size_t max_line = buffer_sizes[round % 4];
    // Two to four runs, the last one short or full.
    std::size_t count = ordly::MAX_STORED_LINES * (1 + round % 3) + 1 + random() % ordly::MAX_STORED_LINES;
    Lines texts = ordly_test::random_texts(random, count);
    suite_test::TempFolder folder;
    folder.write("in.txt", joined(texts));
    std::vector<std::string> arguments;
    if (!group.empty()) arguments.push_back(group);
    arguments.insert(arguments.end(), {"/X", std::to_string(max_line), "in.txt"});
    auto r = ordly_test::run_ordly(arguments, "", folder.path());
    ASSERT_EQ(r.status, 0);
    EXPECT_TRUE(r.out == modelled_output(texts, group, max_line))
        << "order '" << group << "', buffer " << max_line << ", " << count << " lines";
    EXPECT_EQ(ordly_test::temporary_files(folder), Lines{});
  }
}

// Many user files merged with /M, sorted as the order says or not sorted
// at all, under random orders: the heap's steps decide the order of equal
// lines and of lines out of order, so the output must be the model's byte
// for byte.
TEST_F(OrdlyRunMerge, ManyFilesMergeAsThePlainModelSortedOrNot) {
  std::mt19937 random(9122026);
  for (int round = 0; round < 12; ++round) {
    std::string group = ordly_test::random_order(random);
    bool sorted = round % 3 != 0;
    int files = 2 + static_cast<int>(random() % 120);
    ordly_test::apply_order(group);
    std::vector<Lines> texts(files);
    std::vector<std::vector<std::vector<char>>> blocks(files);
    std::vector<std::vector<char*>> inputs(files);
    suite_test::TempFolder folder;
    std::vector<std::string> arguments;
    if (!group.empty()) arguments.push_back(group);
    arguments.push_back("/M");
    for (int f = 0; f < files; ++f) {
      texts[f] = ordly_test::random_texts(random, random() % 40);
      for (const std::string& piece : stored_pieces(texts[f], ordly::DEFAULT_MAX_LINE)) {
        blocks[f].push_back(line_block(piece));
      }
      for (auto& block : blocks[f]) inputs[f].push_back(block.data());
      if (sorted) {
        ordly::quicksort(inputs[f].data(), static_cast<std::int32_t>(inputs[f].size()), ordly::settings.active_compare);
      }
      std::string text;
      for (const char* line : inputs[f]) text += line;
      std::string name = "in" + std::to_string(f) + ".txt";
      folder.write(name, text);
      arguments.push_back(name);
    }
    auto no_lines = [](const std::vector<char*>& input) { return input.empty(); };
    inputs.erase(std::remove_if(inputs.begin(), inputs.end(), no_lines), inputs.end());
    std::string expected = ordly_test::crlf(merged(inputs));
    ordly::settings = ordly::Settings{};
    auto r = ordly_test::run_ordly(arguments, "", folder.path());
    ASSERT_EQ(r.status, 0);
    EXPECT_TRUE(r.out == expected) << "order '" << group << "', " << files << " files, sorted " << sorted;
  }
}

}  // namespace
