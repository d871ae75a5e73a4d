// End-to-end tests of Ordly's temporary runs and merging: spills at the
// line table limit and when memory runs out, merges in several passes when
// file handles are short, '/M', and the clean-up of temporary files.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdint>

#include "tests/ordly/e2e_support.h"

namespace {

using ordly_test::BANNER;
using ordly_test::crlf;
using ordly_test::run_ordly;
using ordly_test::temporary_files;
using suite_test::RunOptions;
using suite_test::TempFolder;
using Lines = std::vector<std::string>;

// Lines of lower-case letters and digits, for which the default order is
// byte order, so the expected output is simply the sorted input.
Lines make_lines(std::size_t count, std::size_t length, std::uint32_t seed) {
  Lines lines;
  std::uint32_t state = seed;
  for (std::size_t i = 0; i < count; ++i) {
    std::string line;
    std::size_t size = 1 + (state >> 8) % length;
    for (std::size_t k = 0; k < size; ++k) {
      state = state * 1103515245u + 12345u;
      line += "0123456789abcdefghijklmnopqrstuvwxyz"[(state >> 16) % 36];
    }
    lines.push_back(line);
  }
  return lines;
}

std::string joined(const Lines& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

std::string sorted_output(Lines lines) {
  std::sort(lines.begin(), lines.end());
  return crlf(joined(lines));
}

suite_test::RunResult run_in(const TempFolder& folder, const std::vector<std::string>& arguments,
                             RunOptions options = {}) {
  options.folder = folder.path();
  return suite_test::run_program("ordly", arguments, options);
}

TEST(OrdlyRuns, AFullTableIsSortedInMemory) {
  TempFolder folder;
  Lines lines = make_lines(15360, 12, 1);
  folder.write("in.txt", joined(lines));
  auto r = run_in(folder, {"/G", "in.txt"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, sorted_output(lines));
}

TEST(OrdlyRuns, OneLineMoreSpillsTwoRunsAndMergesThem) {
  TempFolder folder;
  Lines lines = make_lines(15361, 12, 2);
  folder.write("in.txt", joined(lines));
  auto r = run_in(folder, {"/G", "in.txt"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "Over 64Kb lines. Using temporary file.\r\n");
  EXPECT_EQ(r.out, sorted_output(lines));
  EXPECT_EQ(temporary_files(folder), Lines{});
}

TEST(OrdlyRuns, EqualLinesFromAnEarlierRunComeFirst) {
  // 15,360 lines "b" fill the first run; the last line "B" is the second
  // run, and the merge takes ties from the earlier run first.
  std::string runs;
  for (int i = 0; i < 15360; ++i) runs += "b\n";
  auto r = run_ordly({}, runs + "B\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(r.out == crlf(runs + "B\n"));
}

TEST(OrdlyRuns, LinesCutAtTheBufferSizeComeBackWholeFromARun) {
  // A line of 10,240 bytes is cut before its line feed, which becomes an
  // empty line; the cut piece goes through a run unchanged, so the output
  // holds the same lines as an in-memory sort would.
  Lines lines;
  for (int i = 0; i < 15360; ++i) lines.push_back(std::string("x").append(std::to_string(10000 + i)));
  std::string cut(10240, 'k');
  Lines expected = {"", cut};
  expected.insert(expected.end(), lines.begin(), lines.end());
  lines.insert(lines.begin() + 5, cut);
  auto r = run_ordly({}, joined(lines));
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(r.out == crlf(joined(expected)));
}

TEST(OrdlyRuns, LargeInputFromStandardInputAndExistingNamesLeftAlone) {
  TempFolder folder;
  folder.write("TMP1.$$$", "keep me\n");
  Lines lines = make_lines(200000, 20, 3);
  RunOptions options;
  options.input = joined(lines);
  auto r = run_in(folder, {"/O", "out.txt"}, options);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(folder.read("out.txt"), sorted_output(lines));
  EXPECT_EQ(folder.read("TMP1.$$$"), "keep me\n");
  EXPECT_EQ(temporary_files(folder), Lines{"TMP1.$$$"});
}

TEST(OrdlyRuns, ReverseOrderAcrossRuns) {
  TempFolder folder;
  Lines lines = make_lines(40000, 8, 4);
  folder.write("in.txt", joined(lines));
  auto r = run_in(folder, {"/R", "in.txt"});
  std::sort(lines.rbegin(), lines.rend());
  EXPECT_EQ(r.out, crlf(joined(lines)));
}

TEST(OrdlyRuns, FewFileHandlesMergeInSeveralPasses) {
  TempFolder folder;
  Lines lines = make_lines(100000, 10, 5);
  folder.write("in.txt", joined(lines));
  RunOptions options;
  // The merge output and two inputs.
  if (suite_test::programs_run_under_wine()) GTEST_SKIP() << suite_test::WINE_HAS_NO_OPEN_FILES_LIMIT;
  options.open_files_limit = ordly_test::open_files_limit(3);
  auto r = run_in(folder, {"in.txt"}, options);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, sorted_output(lines));
  EXPECT_EQ(temporary_files(folder), Lines{});
}

TEST(OrdlyRuns, TooFewFileHandlesForTwoInputs) {
  TempFolder folder;
  Lines lines = make_lines(40000, 10, 6);
  folder.write("in.txt", joined(lines));
  RunOptions options;
  if (suite_test::programs_run_under_wine()) GTEST_SKIP() << suite_test::WINE_HAS_NO_OPEN_FILES_LIMIT;
  options.open_files_limit = ordly_test::open_files_limit(2);
  auto r = run_in(folder, {"in.txt"}, options);
  EXPECT_EQ(r.status, 32);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, BANNER + "Not enough free file handles.\r\n\r\n");
  EXPECT_EQ(temporary_files(folder), Lines{});
}

TEST(OrdlyRuns, RunFilesAndMergeOutputsThatCannotBeCreated) {
#ifdef SUITE_SANITIZED
  GTEST_SKIP() << "the sanitized build needs a file handle to load its libraries";
#endif
  // No file handle is left beyond the standard streams.
  TempFolder folder;
  RunOptions options;
  if (suite_test::programs_run_under_wine()) GTEST_SKIP() << suite_test::WINE_HAS_NO_OPEN_FILES_LIMIT;
  options.open_files_limit = ordly_test::open_files_limit(0);
  options.input = joined(make_lines(15361, 5, 8));
  auto r = run_in(folder, {}, options);
  EXPECT_EQ(r.status, 4);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, BANNER + "Can't open 'TMP1.$$$'.\r\n\r\n");
  folder.write("a.txt", "a\n");
  options.input = "";
  r = run_in(folder, {"/M", "a.txt", "a.txt"}, options);
  EXPECT_EQ(r.status, 4);
  EXPECT_EQ(r.err, BANNER + "Can't open '(TEMPORARY)'.\r\n\r\n");
  EXPECT_EQ(temporary_files(folder), Lines{});
}

TEST(OrdlyRuns, ATemporaryNameThatCannotBeMadeIsNeverDeleted) {
#ifdef SUITE_SANITIZED
  GTEST_SKIP() << "the sanitized build needs a file handle to load its libraries";
#endif
  // Without a free file handle the new name cannot be made, and the file of
  // the user's that holds it must survive the error.
  TempFolder folder;
  folder.write("TMP1.$$$", "the user's\n");
  folder.write("a.txt", "a\n");
  RunOptions options;
  if (suite_test::programs_run_under_wine()) GTEST_SKIP() << suite_test::WINE_HAS_NO_OPEN_FILES_LIMIT;
  options.open_files_limit = ordly_test::open_files_limit(0);
  auto r = run_in(folder, {"/M", "a.txt"}, options);
  EXPECT_EQ(r.status, 4);
  EXPECT_EQ(r.err, BANNER + "Can't open '(TEMPORARY)'.\r\n\r\n");
  EXPECT_EQ(folder.read("TMP1.$$$"), "the user's\n");
  options.input = joined(make_lines(15361, 5, 8));
  r = run_in(folder, {}, options);
  EXPECT_EQ(r.status, 4);
  EXPECT_EQ(r.err, BANNER + "Can't open 'TMP1.$$$'.\r\n\r\n");
  EXPECT_EQ(folder.read("TMP1.$$$"), "the user's\n");
}

// Every number of the 16-bit counter names a file of the user's: there is
// no name left to take, and the run ends instead of trying for ever.
TEST(OrdlyRuns, NoTemporaryNameLeftIsAnErrorNotAHang) {
  TempFolder folder;
  for (int number = 0; number <= 65535; ++number) {
    int file = open(folder.file("TMP" + std::to_string(number) + ".$$$").c_str(), O_WRONLY | O_CREAT, 0666);
    ASSERT_GE(file, 0);
    close(file);
  }
  folder.write("a.txt", "a\n");
  RunOptions options;
  options.timeout_seconds = 60;
  auto r = run_in(folder, {"/M", "a.txt"}, options);
  EXPECT_FALSE(r.timed_out);
  EXPECT_EQ(r.status, 4);
  EXPECT_EQ(r.err, BANNER + "Can't open '(TEMPORARY)'.\r\n\r\n");
  EXPECT_EQ(temporary_files(folder).size(), 65536u);
}

// Runs of 15,360 lines of up to 20 characters take about 190 KB each.
std::string three_runs_of_text() { return joined(make_lines(40000, 20, 11)); }

TEST(OrdlyRuns, ARunThatCannotBeWrittenWholeIsAnError) {
  // A full disk, as the file-size limit makes it: the first run cannot be
  // written whole.
  TempFolder folder;
  folder.write("in.txt", three_runs_of_text());
  RunOptions options;
  options.file_size_limit = 100000;
  auto r = run_in(folder, {"in.txt"}, options);
  EXPECT_EQ(r.signal, 0);
  EXPECT_EQ(r.status, 4);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, BANNER + "Can't open 'TMP1.$$$'.\r\n\r\n");
  EXPECT_EQ(temporary_files(folder), Lines{});
}

TEST(OrdlyRuns, AnIntermediateMergeThatCannotBeWrittenWholeIsAnError) {
  // Each run fits under the limit, but the first pass, which merges two of
  // them because file handles are short, does not.
  TempFolder folder;
  folder.write("in.txt", three_runs_of_text());
  RunOptions options;
  options.file_size_limit = 300000;
  if (suite_test::programs_run_under_wine()) GTEST_SKIP() << suite_test::WINE_HAS_NO_OPEN_FILES_LIMIT;
  options.open_files_limit = ordly_test::open_files_limit(3);
  auto r = run_in(folder, {"in.txt"}, options);
  EXPECT_EQ(r.signal, 0);
  EXPECT_EQ(r.status, 4);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, BANNER + "Can't open '(TEMPORARY)'.\r\n\r\n");
  EXPECT_EQ(temporary_files(folder), Lines{});
}

TEST(OrdlyRuns, AReaderThatGoesEarlyEndsTheRunWithoutLeavingRuns) {
  TempFolder folder;
  Lines lines = make_lines(100000, 20, 12);
  folder.write("in.txt", joined(lines));
  std::string first = sorted_output(lines).substr(0, 1);
  for (std::size_t wanted : {0, 1}) {
    RunOptions options;
    options.close_output_after = wanted;
    auto r = run_in(folder, {"in.txt"}, options);
    EXPECT_EQ(r.signal, 0) << wanted;
    EXPECT_EQ(r.status, 0) << wanted;
    EXPECT_EQ(r.err, "") << wanted;
    EXPECT_EQ(r.out.substr(0, wanted), first.substr(0, wanted));
    EXPECT_EQ(temporary_files(folder), Lines{}) << wanted;
  }
  // The same in a merge of the user's files whose last pass reads the
  // merge outputs of earlier passes.
  RunOptions options;
  options.close_output_after = 1;
  if (suite_test::programs_run_under_wine()) GTEST_SKIP() << suite_test::WINE_HAS_NO_OPEN_FILES_LIMIT;
  options.open_files_limit = ordly_test::open_files_limit(3);
  auto r = run_in(folder, {"/M", "in.txt", "in.txt", "in.txt", "in.txt"}, options);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(folder.names(), Lines{"in.txt"});
}

TEST(OrdlyRuns, AMergedTemporaryNameTakenAgainByAnotherRunIsNotDeleted) {
  // With two inputs to a pass, the third pass merges e and the first merge
  // output, TMP1, and deletes it; the last pass writes from TMP2 and TMP3.
  // Meanwhile another run in the folder takes the name TMP1 again, and then
  // the reader of the output goes.
  TempFolder folder;
  std::vector<std::string> arguments = {"/M"};
  for (const char* name : {"a", "b", "c", "d", "e"}) {
    Lines lines = make_lines(20000, 20, static_cast<std::uint32_t>(*name));
    std::sort(lines.begin(), lines.end());
    folder.write(name, joined(lines));
    arguments.push_back(name);
  }
  RunOptions options;
  if (suite_test::programs_run_under_wine()) GTEST_SKIP() << suite_test::WINE_HAS_NO_OPEN_FILES_LIMIT;
  options.open_files_limit = ordly_test::open_files_limit(3);
  options.close_output_after = 1;
  options.before_output_closed = [&folder] { folder.write("TMP1.$$$", "another run's\n"); };
  auto r = run_in(folder, arguments, options);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(folder.read("TMP1.$$$"), "another run's\n");
  EXPECT_EQ(temporary_files(folder), Lines{"TMP1.$$$"});
}

TEST(OrdlyRuns, ALinkUnderATemporaryNameIsPassedOver) {
  // Even a link that leads nowhere takes the name: nothing is created
  // through it.
  TempFolder folder;
  ASSERT_EQ(symlink("made.txt", folder.file("TMP1.$$$").c_str()), 0);
  Lines lines = make_lines(15361, 5, 9);
  folder.write("in.txt", joined(lines));
  auto r = run_in(folder, {"in.txt"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, sorted_output(lines));
  EXPECT_FALSE(folder.exists("made.txt"));
  EXPECT_EQ(temporary_files(folder), Lines{"TMP1.$$$"});
}

TEST(OrdlyRuns, FailedLineAllocationsSpillAndGoOn) {
#ifdef SUITE_SANITIZED
  GTEST_SKIP() << "address-space limits do not work under the sanitizers";
#endif
  TempFolder folder;
  // About 60 MB of lines against a 48 MB address space.
  Lines lines = make_lines(12000, 10000, 7);
  folder.write("in.txt", joined(lines));
  RunOptions options;
  if (suite_test::programs_run_under_wine()) GTEST_SKIP() << suite_test::WINE_HAS_NO_ADDRESS_SPACE_LIMIT;
  options.address_space_limit = 48ul << 20;
  auto r = run_in(folder, {"/G", "/O", "out.txt", "in.txt"}, options);
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.err.find("No RAM for more lines. Using temporary file.\r\n"), std::string::npos);
  EXPECT_EQ(r.err.find("Memory exhausted"), std::string::npos);
  EXPECT_TRUE(folder.read("out.txt") == sorted_output(lines));
  EXPECT_EQ(temporary_files(folder), Lines{});
}

TEST(OrdlyRuns, MemoryRunningOutInTheMergeEndsWithErrorAndCleansUp) {
#ifdef SUITE_SANITIZED
  GTEST_SKIP() << "address-space limits do not work under the sanitizers";
#endif
  // 120 small runs sort in little memory, but merging them needs a line
  // buffer of 256 KB for each, far more than the limit leaves.
  TempFolder folder;
  folder.write("in.txt", joined(make_lines(15360 * 120, 3, 9)));
  RunOptions options;
  if (suite_test::programs_run_under_wine()) GTEST_SKIP() << suite_test::WINE_HAS_NO_ADDRESS_SPACE_LIMIT;
  options.address_space_limit = 16ul << 20;
  auto r = run_in(folder, {"/X", "262144", "in.txt"}, options);
  EXPECT_EQ(r.status, 64);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, BANNER + "Memory exhausted.\r\n\r\n");
  EXPECT_EQ(temporary_files(folder), Lines{});
}

TEST(OrdlyMerge, EqualLinesFromAnEarlierFileComeFirst) {
  TempFolder folder;
  folder.write("a.txt", "Same\nx\n");
  folder.write("b.txt", "same\ny\n");
  EXPECT_EQ(run_in(folder, {"/M", "a.txt", "b.txt"}).out, crlf("Same\nsame\nx\ny\n"));
  EXPECT_EQ(run_in(folder, {"/M", "b.txt", "a.txt"}).out, crlf("same\nSame\nx\ny\n"));
}

TEST(OrdlyMerge, AnExhaustedInputIsReplacedByTheLastHeapElement) {
  // Three equal lines: the first file's goes first; then the last heap
  // element (the third file) moves to the top and stays there on a tie.
  TempFolder folder;
  folder.write("a.txt", "Ab\n");
  folder.write("b.txt", "AB\n");
  folder.write("c.txt", "ab\n");
  EXPECT_EQ(run_in(folder, {"/M", "a.txt", "b.txt", "c.txt"}).out, crlf("Ab\nab\nAB\n"));
}

TEST(OrdlyMerge, EmptyFilesNoFilesAndStandardInputUnread) {
  TempFolder folder;
  folder.write("a.txt", "a\nc\n");
  folder.write("empty.txt", "");
  folder.write("b.txt", "b");
  RunOptions options;
  options.input = "never\n";
  auto r = run_in(folder, {"/M", "a.txt", "empty.txt", "b.txt"}, options);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, crlf("a\nb\nc\n"));
  r = run_in(folder, {"/M"}, options);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(temporary_files(folder), Lines{});
}

TEST(OrdlyMerge, UnsortedInputsGiveTheHeapMerge) {
  TempFolder folder;
  folder.write("a.txt", "c\na\n");
  folder.write("b.txt", "b\n");
  auto r = run_in(folder, {"/M", "a.txt", "b.txt"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, crlf("b\nc\na\n"));
}

TEST(OrdlyMerge, OutputFileThatIsAlsoAnInputIsReadBeforeItIsWritten) {
  TempFolder folder;
  folder.write("a.txt", "a\nc\n");
  folder.write("b.txt", "b\nd\n");
  auto r = run_in(folder, {"/M", "/O", "a.txt", "a.txt", "b.txt"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(folder.read("a.txt"), crlf("a\nb\nc\nd\n"));
  EXPECT_EQ(temporary_files(folder), Lines{});
  // The same when the inputs need more than one pass.
  folder.write("a.txt", "a\nc\n");
  folder.write("c.txt", "e\n");
  RunOptions options;
  // The output, the merge output and two inputs.
  if (suite_test::programs_run_under_wine()) GTEST_SKIP() << suite_test::WINE_HAS_NO_OPEN_FILES_LIMIT;
  options.open_files_limit = ordly_test::open_files_limit(4);
  r = run_in(folder, {"/M", "/Oc.txt", "a.txt", "b.txt", "c.txt"}, options);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(folder.read("c.txt"), crlf("a\nb\nc\nd\ne\n"));
  EXPECT_EQ(temporary_files(folder), Lines{});
}

TEST(OrdlyMerge, AnInputThatStandardOutputAppendsToIsRefused) {
  // Larger than the output buffer, so that a merge would read its own
  // output; the file-size limit stops it should it try.
  TempFolder folder;
  Lines lines = make_lines(40000, 20, 13);
  std::sort(lines.begin(), lines.end());
  std::string text = joined(lines);
  folder.write("a.txt", text);
  folder.write("b.txt", "b\n");
  RunOptions options;
  options.timeout_seconds = 20;
  options.file_size_limit = 8ul << 20;
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"/M", "a.txt"}, {"/M", "b.txt", "a.txt", "b.txt"}}) {
    auto r = ordly_test::run_ordly_appending_to(folder, "a.txt", arguments, options);
    EXPECT_FALSE(r.timed_out);
    EXPECT_EQ(r.status, 4);
    EXPECT_EQ(r.err, BANNER + "Can't open 'a.txt'.\r\n\r\n");
    EXPECT_TRUE(folder.read("a.txt") == text);
  }
  EXPECT_EQ(temporary_files(folder), Lines{});
  // Sorting reads every input before it writes: the sorted lines follow.
  auto r = ordly_test::run_ordly_appending_to(folder, "a.txt", {"a.txt"}, options);
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(folder.read("a.txt") == text + crlf(text));
}

TEST(OrdlyMerge, AnOutputFileThatIsAlsoAnInputStaysWholeWhenTheMergeCannotBeWritten) {
  // The merged lines, written with carriage returns, need more room than
  // the file-size limit leaves.
  TempFolder folder;
  Lines a = make_lines(20000, 20, 14), b = make_lines(20000, 20, 15);
  std::sort(a.begin(), a.end());
  std::sort(b.begin(), b.end());
  folder.write("a.txt", joined(a));
  folder.write("b.txt", joined(b));
  RunOptions options;
  options.file_size_limit = joined(a).size() + joined(b).size();
  auto r = run_in(folder, {"/M", "/O", "a.txt", "a.txt", "b.txt"}, options);
  EXPECT_EQ(r.signal, 0);
  EXPECT_EQ(r.status, 4);
  EXPECT_EQ(r.err, BANNER + "Can't open 'a.txt'.\r\n\r\n");
  EXPECT_TRUE(folder.read("a.txt") == joined(a));
  EXPECT_EQ(folder.names(), (Lines{"a.txt", "b.txt"}));
}

TEST(OrdlyMerge, OrderOptionsApplyToTheMerge) {
  TempFolder folder;
  folder.write("a.txt", "9\n3\n");
  folder.write("b.txt", "10\n2\n");
  EXPECT_EQ(run_in(folder, {"/MRN", "a.txt", "b.txt"}).out, crlf("10\n9\n3\n2\n"));
}

std::string numbered_name(int number) { return std::string("f").append(std::to_string(1000 + number)); }

TEST(OrdlyMerge, AtMost255Names) {
  TempFolder folder;
  std::vector<std::string> names = {"/M"};
  for (int i = 0; i < 256; ++i) {
    std::string name = numbered_name(i);
    folder.write(name, name + "\n");
    names.push_back(name);
  }
  auto r = run_in(folder, names);
  EXPECT_EQ(r.status, 16);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, BANNER + "Can't handle more than 256 files.\r\n\r\n");
  names.pop_back();
  r = run_in(folder, names);
  EXPECT_EQ(r.status, 0);
  std::string expected;
  for (int i = 0; i < 255; ++i) expected += numbered_name(i) + "\n";
  EXPECT_EQ(r.out, crlf(expected));
  EXPECT_EQ(temporary_files(folder), Lines{});
}

TEST(OrdlyMerge, ManyInputsNeedLittleMoreThanTheirLineBuffers) {
#ifdef SUITE_SANITIZED
  GTEST_SKIP() << "address-space limits do not work under the sanitizers";
#endif
  // 255 inputs hold a line buffer of about 10 KB each, 2.6 MB in all.
  TempFolder folder;
  std::vector<std::string> arguments = {"/M"};
  std::string expected;
  for (int i = 0; i < 255; ++i) {
    std::string name = numbered_name(i);
    std::string lines = name + "a\n" + name + "b\n";
    folder.write(name, lines);
    arguments.push_back(name);
    expected += lines;
  }
  RunOptions options;
  if (suite_test::programs_run_under_wine()) GTEST_SKIP() << suite_test::WINE_HAS_NO_ADDRESS_SPACE_LIMIT;
  options.address_space_limit = 12ul << 20;
  auto r = run_in(folder, arguments, options);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_TRUE(r.out == crlf(expected));
}

TEST(OrdlyMerge, MissingFileAndFewFileHandles) {
  TempFolder folder;
  std::vector<std::string> arguments = {"/M"};
  Lines all;
  for (int i = 0; i < 6; ++i) {
    Lines lines = make_lines(50, 6, 10 + i);
    std::sort(lines.begin(), lines.end());
    std::string name = std::string("s").append(std::to_string(i));
    folder.write(name, joined(lines));
    arguments.push_back(name);
    all.insert(all.end(), lines.begin(), lines.end());
  }
  RunOptions options;
  if (suite_test::programs_run_under_wine()) GTEST_SKIP() << suite_test::WINE_HAS_NO_OPEN_FILES_LIMIT;
  options.open_files_limit = ordly_test::open_files_limit(3);
  auto r = run_in(folder, arguments, options);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, sorted_output(all));
  EXPECT_EQ(temporary_files(folder), Lines{});
  arguments.push_back("missing");
  r = run_in(folder, arguments);
  EXPECT_EQ(r.status, 4);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, BANNER + "Can't open 'missing'.\r\n\r\n");
  EXPECT_EQ(temporary_files(folder), Lines{});
}

}  // namespace
