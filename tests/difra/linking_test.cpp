#include "difra/linking.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "difra/report.h"

namespace {

using namespace difra;
using Keys = std::vector<std::int32_t>;

struct KeyedFile {
  Keys entries;
  OccurrenceTable occurrences;
  std::vector<std::int32_t> last_line_of_bucket = std::vector<std::int32_t>(BUCKET_COUNT, -1);

  explicit KeyedFile(Keys keys) : entries(std::move(keys)) {
    for (std::size_t i = 0; i < entries.size(); ++i) {
      occurrences.raise(key_bucket(entries[i]));
      last_line_of_bucket[key_bucket(entries[i])] = static_cast<std::int32_t>(i);
    }
  }
};

// Links two files given by their keys and returns both linked tables.
std::pair<Keys, Keys> link(Keys keys1, Keys keys2) {
  KeyedFile file1(std::move(keys1));
  KeyedFile file2(std::move(keys2));
  link_files(file1.entries, file2.entries, file1.occurrences, file2.occurrences, file2.last_line_of_bucket.data());
  return {file1.entries, file2.entries};
}

// The anchor search done the long way: outwards from position i.
void pair_anchor_lines_by_search(Keys& file1, Keys& file2, const OccurrenceTable& combined) {
  const int n = static_cast<int>(file2.size());
  for (int i = 0; i < static_cast<int>(file1.size()); ++i) {
    if (file1[i] >= 0 || combined.counter(key_bucket(file1[i])) != 1) continue;
    for (int d = 0; i + d < n || i - d >= 0; ++d) {
      int hit = -1;
      if (i + d < n && file2[i + d] == file1[i]) hit = i + d;
      else if (i - d >= 0 && i - d < n && file2[i - d] == file1[i]) hit = i - d;
      if (hit >= 0) {
        file1[i] = hit;
        file2[hit] = i;
        break;
      }
    }
  }
}

// Keys with distinct buckets, so every line that occurs once in each file anchors.
constexpr std::int32_t A = -1, B = -2, C = -3, D = -4, E = -5, F = -6;
// A key in the bucket of B, but a different key.
constexpr std::int32_t B_TWIN = -2 - BUCKET_COUNT;

}  // namespace

TEST(Linking, UniqueLinesAnchorWhereverTheyAre) {
  auto [file1, file2] = link({A, B, C}, {C, A, B});
  EXPECT_EQ(file1, (Keys{1, 2, 0}));
  EXPECT_EQ(file2, (Keys{2, 0, 1}));
}

TEST(Linking, BucketSharedByTwoKeysAnchorsNothing) {
  KeyedFile file1({B});
  KeyedFile file2({B_TWIN});
  file1.occurrences.combine_with(file2.occurrences);
  EXPECT_EQ(file1.occurrences.counter(key_bucket(B)), 1);
  pair_anchor_lines(file1.entries, file2.entries, file1.occurrences, file2.last_line_of_bucket.data());
  EXPECT_EQ(file1.entries, Keys{B});
  EXPECT_EQ(file2.entries, Keys{B_TWIN});
}

TEST(Linking, AnchorsAgreeWithTheOutwardSearch) {
  std::mt19937 random(7);
  for (int round = 0; round < 300; ++round) {
    std::uniform_int_distribution<int> length(0, 12);
    std::uniform_int_distribution<int> pick(0, 5);
    const std::int32_t choices[] = {A, B, C, D, B_TWIN, -1 - BUCKET_COUNT};
    Keys keys1(length(random));
    Keys keys2(length(random));
    for (auto& key : keys1) key = choices[pick(random)];
    for (auto& key : keys2) key = choices[pick(random)];
    KeyedFile file1(keys1);
    KeyedFile file2(keys2);
    file1.occurrences.combine_with(file2.occurrences);
    pair_anchor_lines(file1.entries, file2.entries, file1.occurrences, file2.last_line_of_bucket.data());
    pair_anchor_lines_by_search(keys1, keys2, file1.occurrences);
    ASSERT_EQ(file1.entries, keys1) << "round " << round;
    ASSERT_EQ(file2.entries, keys2) << "round " << round;
  }
}

TEST(Linking, RepeatedFirstAndLastLinesPairAndGrowInwards) {
  // A and B occur twice in each file, so nothing anchors; the first and the
  // last lines pair, and growth follows equal neighbours.
  auto [file1, file2] = link({A, B, C, A, B}, {A, B, D, A, B});
  EXPECT_EQ(file1, (Keys{0, 1, C, 3, 4}));
  EXPECT_EQ(file2, (Keys{0, 1, D, 3, 4}));
}

TEST(Linking, GrowthStopsAtTheFirstUnequalNeighbour) {
  auto [file1, file2] = link({A, A, B, E, A, A}, {A, A, C, A, F, A});
  // Forward from line 0: line 1 pairs, line 2 (B against C) stops it.
  // Backward from the last lines: line 4 of file 1 (A) against line 4 of file 2 (F) stops it.
  EXPECT_EQ(file1, (Keys{0, 1, B, E, A, 5}));
  EXPECT_EQ(file2, (Keys{0, 1, C, A, F, 5}));
}

TEST(Linking, GrowthStartsFromAnchorsInBothDirections) {
  auto [file1, file2] = link({A, A, E, A, A}, {F, A, A, E, A, A, F});
  EXPECT_EQ(file1, (Keys{1, 2, 3, 4, 5}));
  EXPECT_EQ(file2, (Keys{F, 0, 1, 2, 3, 4, F}));
}

TEST(Linking, EmptyFilesLinkNothing) {
  auto [file1, file2] = link({}, {A, A});
  EXPECT_TRUE(file1.empty());
  EXPECT_EQ(file2, (Keys{A, A}));
}

namespace {

class RecordingSink : public ReportSink {
 public:
  void changed_pair(int line1, int line2) override { note("c%d,%d ", line1, line2); }
  void first_file_only(int line1) override { note("l%d ", line1); }
  void second_file_only(int line2) override { note("r%d ", line2); }
  void matched_run(int line1, int line2, int count) override { note("m%d,%dx%d ", line1, line2, count); }
  std::string log;

 private:
  void note(const char* format, int a, int b = 0, int c = 0) {
    char text[64];
    std::snprintf(text, sizeof text, format, a, b, c);
    log.append(text);
  }
};

std::string walk(Keys file1, Keys file2) {
  RecordingSink sink;
  walk_report(file1, file2, sink);
  return sink.log;
}

}  // namespace

TEST(ReportWalk, MovedTextShowsTheShorterGap) {
  // red green blue against blue red green.
  EXPECT_EQ(walk({1, 2, 0}, {2, 0, 1}), "r0 m0,1x2 l2 ");
  // The other way round the gap in file 1 is the shorter one.
  EXPECT_EQ(walk({2, 0, 1}, {1, 2, 0}), "l0 m1,0x2 r2 ");
}

TEST(ReportWalk, TiesShowTheLinesOfFileTwo) {
  // a b against b a: both gaps are one line long.
  EXPECT_EQ(walk({1, 0}, {1, 0}), "r0 m0,1x1 l1 ");
}

TEST(ReportWalk, UnpairedNeighboursShowAsChangedPairs) {
  EXPECT_EQ(walk({0, -7, -8, 3}, {0, -9, -7, 3, -5}), "m0,0x1 c1,1 c2,2 m3,3x1 r4 ");
  EXPECT_EQ(walk({-1, -2, -3}, {}), "l0 l1 l2 ");
  EXPECT_EQ(walk({}, {-1}), "r0 ");
}

TEST(ReportWalk, LinePairedWithOnePassedShowsAlone) {
  // Line 0 of file 1 is paired with line 1 of file 2 and line 1 of file 1 with line 0.
  // After the shorter gap the walk meets lines whose partners were passed.
  EXPECT_EQ(walk({1, 0, 2}, {1, 0, 2}), "r0 m0,1x1 l1 m2,2x1 ");
}

TEST(ReportWalk, RunsEndWhereThePairingJumps) {
  EXPECT_EQ(walk({0, 1, 3, 4}, {0, 1, -1, 2, 3}), "m0,0x2 r2 m2,3x2 ");
}
