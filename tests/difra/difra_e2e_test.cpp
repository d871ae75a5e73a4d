// Runs the built difra program on files in a scratch folder and compares its
// exact output (text mode: "\n" arrives as "\r\n") and exit status.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/run_program.h"

namespace {

using suite_test::RunResult;
using suite_test::TempFolder;

const std::string USAGE =
    "Difra 3.00 - compares two text files line by line, side by side\r\n"
    "Use: Difra [options] filespec1 filespec2\r\n"
    "Options are case insensitive, may appear anywhere and start with '-' or '/':\r\n"
    "\t/B\tIgnore trailing blanks.\r\n"
    "\t/C\tCase insensitive compare.\r\n"
    "\t/F\tShow full lines.\r\n"
    "\t/S\tIgnore spaces and tabs.\r\n"
    "\t/T\tExpand tabs before comparing.\r\n"
    "\r\n"
    "\t'filespec2' may be a drive or directory name.\r\n";

std::string blanks(std::size_t count) { return std::string(count, ' '); }

std::string reading(const std::string& name1, const std::string& name2) {
  return "Reading file '" + name1 + "'.\r\nReading file '" + name2 + "'.\r\n";
}

// A name written with '\' as Difra prints it: as it is where paths use
// '\', otherwise with '/', as which a '\' is read.
std::string printed_name(std::string name) {
  if (!suite_test::programs_run_under_wine()) std::replace(name.begin(), name.end(), '\\', '/');
  return name;
}

// A folder and a file name joined as Difra joins them.
std::string in_folder(const std::string& folder, const std::string& name) {
  return printed_name(folder + "\\" + name);
}

std::string notice(int count) { return "\r\n*** " + std::to_string(count) + " line(s) match. ***\r\n\r\n"; }

RunResult difra(const TempFolder& folder, const std::vector<std::string>& arguments) {
  suite_test::RunOptions options;
  options.folder = folder.path();
  return suite_test::run_program("difra", arguments, options);
}

// A folder holding the two files a and b.
struct Pair {
  TempFolder folder;
  Pair(const std::string& first, const std::string& second) {
    folder.write("a", first);
    folder.write("b", second);
  }
  RunResult run(std::vector<std::string> options = {}) const {
    std::vector<std::string> arguments{"a", "b"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    return difra(folder, arguments);
  }
};

}  // namespace

TEST(DifraReport, IdenticalFilesPrintOneNoticeAndEndWithZero) {
  Pair pair("one\ntwo\nthree\n", "one\r\ntwo\r\nthree\r\n");
  RunResult result = pair.run();
  EXPECT_EQ(result.out, reading("a", "b") + notice(3));
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
}

TEST(DifraReport, EmptyFiles) {
  Pair both_empty("", "");
  RunResult result = both_empty.run();
  EXPECT_EQ(result.out, reading("a", "b"));
  EXPECT_EQ(result.status, 0);

  Pair first_empty("", "x\ny\nz\n");
  result = first_empty.run();
  EXPECT_EQ(result.out, reading("a", "b") + blanks(40) + "   1 x\r\n" + blanks(40) + "   2 y\r\n" +
                            blanks(40) + "   3 z\r\n");
  EXPECT_EQ(result.status, 1);
}

TEST(DifraReport, ChangedPairAndLoneLineAreFortyNineCharacters) {
  Pair pair("1\n2\nabc\n4\n5\n6\nxyz\n", "1\n2\nabd\n4\n5\n6\n");
  RunResult result = pair.run();
  std::string changed = "   3 abc" + blanks(32) + "   3 abd\r\n";
  std::string alone = "   7 xyz" + blanks(40) + "\r\n";
  EXPECT_EQ(changed.size(), 50u);  // 49 characters, the newline arriving as two bytes
  EXPECT_EQ(alone.size(), 50u);
  EXPECT_EQ(result.out, reading("a", "b") + notice(2) + changed + notice(3) + alone);
  EXPECT_EQ(result.status, 1);
}

TEST(DifraReport, MovedTextShowsTheShorterGap) {
  Pair pair("red\ngreen\nblue\n", "blue\nred\ngreen\n");
  RunResult result = pair.run();
  EXPECT_EQ(result.out, reading("a", "b") + blanks(40) + "   1 blue\r\n" + notice(2) + "   3 blue" +
                            blanks(40) + "\r\n");
  EXPECT_EQ(result.status, 1);
}

TEST(DifraReport, OneChangedLine) {
  Pair pair("red\ngreen\nblue\n", "red\nwhite\nblue\n");
  RunResult result = pair.run();
  EXPECT_EQ(result.out, reading("a", "b") + notice(1) + "   2 green" + blanks(30) + "   2 white\r\n" + notice(1));
  EXPECT_EQ(result.status, 1);
}

TEST(DifraReport, LongLinesAreCutAtThirtyFourCharactersUnlessFull) {
  std::string line34(34, 'x');
  std::string line35 = std::string(34, 'y') + "Z";
  Pair pair(line34 + "\n", line35 + "\n");
  std::string first = "   1 " + line34 + " " + "   1 " + std::string(34, 'y') + "\r\n";
  EXPECT_EQ(pair.run().out, reading("a", "b") + first);
  // With /F the 35th character follows; the 34-character line goes on with an empty piece.
  EXPECT_EQ(pair.run({"/F"}).out, reading("a", "b") + first + blanks(45) + "Z\r\n");

  Pair left_longer(std::string(40, 'L') + "\n", "short\n");
  EXPECT_EQ(left_longer.run({"-f"}).out, reading("a", "b") + "   1 " + std::string(34, 'L') + " " + "   1 short\r\n" +
                                            blanks(5) + "LLLLLL" + blanks(28 + 1 + 5 + 6) + "\r\n");
}

TEST(DifraReport, ALineOfExactlyThirtyFourGetsAnEmptyContinuation) {
  Pair pair(std::string(34, 'x') + "\n", "");
  std::string first = "   1 " + std::string(34, 'x') + blanks(40) + "\r\n";
  EXPECT_EQ(pair.run().out, reading("a", "b") + first);
  EXPECT_EQ(pair.run({"/f"}).out, reading("a", "b") + first + blanks(45) + "\r\n");
}

TEST(DifraReport, LinesLongerThanTheBufferAreReadInPieces) {
  std::string start(102399, 'a');
  Pair pair(start + "b\n", start + "c\n");
  RunResult result = pair.run();
  EXPECT_EQ(result.out, reading("a", "b") + notice(1) + "   2 b" + blanks(34 - 1 + 1) + "   2 c\r\n");
  EXPECT_EQ(result.status, 1);
}

TEST(DifraReport, FileTruncatedAtTheLineLimit) {
  Pair pair(std::string(524289, '\n'), std::string(524287, '\n'));
  RunResult result = pair.run();
  EXPECT_EQ(result.out, "Reading file 'a'.\r\nFile truncated at 524288 lines.\r\nReading file 'b'.\r\n" + notice(524287));
  // The report covers the first 524,287 lines only, but file 1 has two
  // lines more: the files differ.
  EXPECT_EQ(result.status, 1);
}

TEST(DifraReport, LinesPastTheLimitDecideWhetherTruncatedFilesDiffer) {
  const std::string limit(524287, '\n');
  const std::string truncated_twice = "Reading file 'a'.\r\nFile truncated at 524288 lines.\r\n"
                                      "Reading file 'b'.\r\nFile truncated at 524288 lines.\r\n" + notice(524287);
  Pair same(limit + "x\ny\n", limit + "x\ny\n");
  RunResult result = same.run();
  EXPECT_EQ(result.out, truncated_twice);
  EXPECT_EQ(result.status, 0);

  // The first line past the limit, the one the truncation drops, differs.
  Pair first_dropped_line(limit + "x\ny\n", limit + "X\ny\n");
  EXPECT_EQ(first_dropped_line.run().status, 1);
  // The lines past the limit are compared under the same options.
  EXPECT_EQ(first_dropped_line.run({"/C"}).status, 0);
  Pair later_line(limit + "x\ny\n", limit + "x\nz\n");
  EXPECT_EQ(later_line.run().status, 1);
  Pair one_line_more(limit + "x\ny\n", limit + "x\ny\nz\n");
  EXPECT_EQ(one_line_more.run().out, truncated_twice);
  EXPECT_EQ(one_line_more.run().status, 1);
}

TEST(DifraOptions, LastLineWithoutNewlineDiffersUnlessTrimmed) {
  Pair pair("x\nend", "x\nend\n");
  EXPECT_EQ(pair.run().out, reading("a", "b") + notice(1) + "   2 end" + blanks(32) + "   2 end\r\n");
  EXPECT_EQ(pair.run().status, 1);
  RunResult trimmed = pair.run({"/b"});
  EXPECT_EQ(trimmed.out, reading("a", "b") + notice(2));
  EXPECT_EQ(trimmed.status, 0);
}

TEST(DifraOptions, TrimRemovesBlanksButTabsOnlyWhenExpanded) {
  Pair pair("a  \nb\t\n", "a\nb\n");
  RunResult trimmed = pair.run({"/B"});
  EXPECT_EQ(trimmed.out, reading("a", "b") + notice(1) + "   2 b\t" + blanks(33) + "   2 b\r\n");
  EXPECT_EQ(pair.run({"/T", "/B"}).out, reading("a", "b") + notice(2));
  EXPECT_EQ(pair.run({"/tb"}).status, 0);
}

TEST(DifraOptions, SqueezeAndFoldCase) {
  Pair pair("a b\nMixed\n\xe9t\xe9\n", "ab\nmIXED\n\xc9T\xc9\n");
  EXPECT_EQ(pair.run({"/s", "/c"}).out,
            reading("a", "b") + notice(2) + "   3 \xe9t\xe9" + blanks(32) + "   3 \xc9T\xc9\r\n");
  EXPECT_EQ(pair.run({"/SC"}).status, 1);
  Pair ascii_only("a b\nMixed\n", "ab\nmIXED\n");
  EXPECT_EQ(ascii_only.run({"/SC"}).status, 0);
  EXPECT_EQ(ascii_only.run({"/S"}).status, 1);
  EXPECT_EQ(ascii_only.run({"/C"}).status, 1);
}

TEST(DifraOptions, TabsArePrintedAsTheyAreUnlessExpanded) {
  Pair pair("\tx\n", "y\n");
  EXPECT_EQ(pair.run().out, reading("a", "b") + "   1 \tx" + blanks(33) + "   1 y\r\n");
  EXPECT_EQ(pair.run({"/T"}).out, reading("a", "b") + "   1 " + blanks(8) + "x" + blanks(26) + "   1 y\r\n");
}

TEST(DifraCommandLine, OptionsAnywhereAndGrouped) {
  Pair pair("Abc  \n", "aBC\n");
  EXPECT_EQ(pair.run({"/c"}).status, 1);
  EXPECT_EQ(pair.run({"/bc"}).status, 0);
  EXPECT_EQ(difra(pair.folder, {"-B", "a", "/C", "b"}).status, 0);
  RunResult invalid = pair.run({"/b/c"});
  EXPECT_EQ(invalid.out, "Invalid command line option\r\n" + USAGE);
  EXPECT_EQ(invalid.status, 1);
}

TEST(DifraCommandLine, UsageForQuestionMarkMissingAndThirdName) {
  Pair pair("x\n", "x\n");
  for (const auto& arguments : std::vector<std::vector<std::string>>{{"/?"}, {"a", "b", "/b?"}, {"a"}, {}, {"a", "b", "c"}}) {
    RunResult result = difra(pair.folder, arguments);
    EXPECT_EQ(result.out, USAGE);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "");
  }
  // The third name ends the run before a wrong option after it is seen.
  EXPECT_EQ(difra(pair.folder, {"a", "b", "c", "/x"}).out, USAGE);
}

TEST(DifraCommandLine, LoneDashAndSlashAreFileNames) {
  Pair pair("x\n", "x\n");
  pair.folder.write("-", "x\n");
  RunResult result = difra(pair.folder, {"-", "a"});
  EXPECT_EQ(result.out, reading("-", "a") + notice(1));
  result = difra(pair.folder, {"a", "/"});
  EXPECT_EQ(result.out, "Reading file 'a'.\r\nUnable to open file '/a'.\r\n");
  EXPECT_EQ(result.status, 255);
}

TEST(DifraCommandLine, AbsolutePathThatExistsIsAName) {
  Pair pair("x\n", "x\n");
  const std::string absolute = suite_test::path_argument(pair.folder.file("a"));
  RunResult result = difra(pair.folder, {absolute, "b"});
  EXPECT_EQ(result.out, reading(absolute, "b") + notice(1));
  EXPECT_EQ(result.status, 0);
}

TEST(DifraNaming, FolderForTheSecondFileTakesTheFirstFilesBaseName) {
  TempFolder folder;
  std::filesystem::create_directory(folder.file("src"));
  std::filesystem::create_directory(folder.file("dest"));
  folder.write("src/old.txt", "same\n");
  folder.write("dest/old.txt", "same\n");
  EXPECT_EQ(difra(folder, {"src/old.txt", "dest/"}).out, reading("src/old.txt", "dest/old.txt") + notice(1));
  EXPECT_EQ(difra(folder, {"src\\old.txt", "dest\\"}).out,
            reading(printed_name("src\\old.txt"), printed_name("dest\\old.txt")) + notice(1));
  RunResult plain_folder = difra(folder, {"src/old.txt", "dest"});
  EXPECT_EQ(plain_folder.out, reading("src/old.txt", in_folder("dest", "old.txt")) + notice(1));
  EXPECT_EQ(plain_folder.status, 0);
  // A plain file name is taken as it is.
  folder.write("other.txt", "same\n");
  EXPECT_EQ(difra(folder, {"src/old.txt", "other.txt"}).out, reading("src/old.txt", "other.txt") + notice(1));
}

TEST(DifraNaming, FilesThatCannotBeOpened) {
  TempFolder folder;
  folder.write("old.txt", "x\n");
  std::filesystem::create_directory(folder.file("empty"));
  RunResult first = difra(folder, {"missing.txt", "old.txt"});
  EXPECT_EQ(first.out, "Unable to open file 'missing.txt'\r\n");
  EXPECT_EQ(first.status, 255);
  RunResult folder_first = difra(folder, {"empty", "old.txt"});
  EXPECT_EQ(folder_first.out, "Unable to open file 'empty'\r\n");
  RunResult inside = difra(folder, {"old.txt", "empty"});
  EXPECT_EQ(inside.out,
            "Reading file 'old.txt'.\r\nUnable to open file '" + in_folder("empty", "old.txt") + "'.\r\n");
  EXPECT_EQ(inside.status, 255);
  RunResult ending = difra(folder, {"old.txt", "empty/"});
  EXPECT_EQ(ending.out, "Reading file 'old.txt'.\r\nUnable to open file 'empty/old.txt'.\r\n");
  RunResult drive = difra(folder, {"old.txt", "C:"});
  EXPECT_EQ(drive.out, "Reading file 'old.txt'.\r\nUnable to open file 'C:old.txt'.\r\n");
  EXPECT_EQ(drive.status, 255);
}

// A letter and ':' name a drive, which this system does not have, so a file
// whose own name looks like that is not what such a name means.
TEST(DifraNaming, ANameOnADriveOpensNothingEvenWhenSuchAFileExists) {
  TempFolder folder;
  folder.write("old.txt", "x\n");
  folder.write("C:old.txt", "x\n");
  RunResult second = difra(folder, {"old.txt", "C:"});
  EXPECT_EQ(second.out, "Reading file 'old.txt'.\r\nUnable to open file 'C:old.txt'.\r\n");
  EXPECT_EQ(second.status, 255);
  RunResult first = difra(folder, {"C:old.txt", "old.txt"});
  EXPECT_EQ(first.out, "Unable to open file 'C:old.txt'\r\n");
  EXPECT_EQ(first.status, 255);
}

TEST(DifraCollision, LinesWithEqualKeysButDifferentTextAreReported) {
  // Characters 32 positions apart can be swapped without changing the key.
  std::string filler(31, '-');
  std::string one = "a" + filler + "b";
  std::string other = "b" + filler + "a";
  Pair pair("top\n" + one + "\nbottom\n", "top\n" + other + "\nbottom\n");
  RunResult result = pair.run();
  EXPECT_EQ(result.out, reading("a", "b") + notice(1) + "   2 " + one + blanks(2) + "   2 " + other + "\r\n" + notice(1));
  EXPECT_EQ(result.status, 1);
}

TEST(DifraCollision, CollidingLinesInALongRunSplitTheRun) {
  std::string filler(31, '.');
  std::string common = "1\n2\n3\n";
  Pair pair(common + "x" + filler + "y\n" + common + "p" + filler + "q\n",
            common + "y" + filler + "x\n" + common + "q" + filler + "p\n");
  RunResult result = pair.run({"/F"});
  EXPECT_EQ(result.out, reading("a", "b") + notice(3) + "   4 x" + filler + "y" + blanks(2) + "   4 y" + filler + "x\r\n" +
                            notice(3) + "   8 p" + filler + "q" + blanks(2) + "   8 q" + filler + "p\r\n");
  EXPECT_EQ(result.status, 1);
}

TEST(DifraCollision, FoldedCollisionsAreComparedFolded) {
  std::string filler(31, ' ');
  Pair pair("a" + filler + "B\n", "b" + filler + "A\n");
  EXPECT_EQ(pair.run({"/C"}).status, 1);
  Pair same_folded("a" + filler + "B\n", "A" + filler + "b\n");
  EXPECT_EQ(same_folded.run({"/C"}).status, 0);
}

TEST(DifraReport, NumbersOfFiveDigitsWidenTheirField) {
  std::string common;
  for (int i = 0; i < 10000; ++i) common += "line\n";
  Pair pair(common + "x\n", common + "y\n");
  RunResult result = pair.run();
  EXPECT_EQ(result.out, reading("a", "b") + notice(10000) + "10001 x" + blanks(34) + "10001 y\r\n");
}

// Line numbers shown one after another and after a jump, across every
// carry into a new digit up to five digits: each side's field is "%4d ".
TEST(DifraReport, LineNumbersInOrderAndAfterAJump) {
  std::string first;
  std::string second;
  std::string expected_records;
  auto number_field = [](int number) {
    std::string digits = std::to_string(number);
    return blanks(digits.size() < 4 ? 4 - digits.size() : 0) + digits + " ";
  };
  for (int line = 1; line <= 10002; ++line) {
    bool matched = line >= 5000 && line < 5100;
    std::string number = std::to_string(line);
    first += (matched ? "same " : "first ") + number + "\n";
    second += (matched ? "same " : "second ") + number + "\n";
    if (line == 5000) expected_records += notice(100);
    if (matched) continue;
    std::string text = "first " + number;
    expected_records += number_field(line) + text + blanks(34 - text.size() + 1) + number_field(line) + "second " +
                        number + "\r\n";
  }
  Pair pair(first, second);
  RunResult result = pair.run();
  EXPECT_EQ(result.out, reading("a", "b") + expected_records);
  EXPECT_EQ(result.status, 1);
}

// A line's text ends at its first NUL: lines that differ only after it
// match, and a changed line shows what comes before it.
TEST(DifraReport, ALineEndsAtItsFirstNul) {
  Pair matching(std::string("ab\0cd\nsame\n", 11), std::string("ab\0xy\nsame\n", 11));
  RunResult result = matching.run();
  EXPECT_EQ(result.out, reading("a", "b") + notice(2));
  EXPECT_EQ(result.status, 0);
  Pair changed(std::string("ab\0cd\nsame\n", 11), std::string("zz\0cd\nsame\n", 11));
  result = changed.run();
  EXPECT_EQ(result.out, reading("a", "b") + "   1 ab" + blanks(33) + "   1 zz\r\n" + notice(1));
  EXPECT_EQ(result.status, 1);
}

// Lines are read where they lie in the input's buffer, and whole where one
// runs across the end of a buffer's worth of the file: the changed line
// here straddles the first 256 KiB of file a (12-byte lines), and a line
// with a tab to expand straddles the second.
TEST(DifraReport, LinesAcrossTheInputBlocksAreReadWhole) {
  std::string first;
  std::string second;
  for (int i = 1; i <= 60000; ++i) {
    std::string number = std::to_string(1000000 + i).substr(1);
    std::string line = "line " + number + (i == 43691 ? "\tx" : "") + "\n";
    first += line;
    second += i == 21846 ? "changed " + line : line;
  }
  ASSERT_LT(first.find("line 021846"), 262144u);
  ASSERT_GT(first.find("line 021847"), 262144u);
  Pair pair(first, second);
  RunResult result = pair.run();
  EXPECT_EQ(result.out, reading("a", "b") + notice(21845) + "21846 line 021846" + blanks(24) +
                            "21846 changed line 021846\r\n" + notice(60000 - 21846));
  EXPECT_EQ(result.status, 1);
  second[second.find("line 043691\tx")] = 'L';
  Pair tabbed(first, second);
  result = tabbed.run({"/T"});
  std::string tab_stop_gap = blanks(5);
  EXPECT_NE(result.out.find("43691 line 043691" + tab_stop_gap + "x" + blanks(18) + "43691 Line 043691" +
                            tab_stop_gap + "x\r\n"),
            std::string::npos)
      << result.out;
}

TEST(DifraReport, InputThatCannotBeReadTwiceIsNotReportedAsChanged) {
  // Standard input as file 1 comes through a pipe: its text cannot be read
  // again for the report, so paired lines are taken on their keys.
  TempFolder folder;
  folder.write("b", "a\nb\nc\n");
  suite_test::RunOptions options;
  options.folder = folder.path();
  options.input = "a\nb\nc\n";
  if (suite_test::programs_run_under_wine()) GTEST_SKIP() << suite_test::WINE_HAS_NO_NAME_FOR_STANDARD_INPUT;
  RunResult result = suite_test::run_program("difra", {"/dev/stdin", "b"}, options);
  EXPECT_EQ(result.out, reading("/dev/stdin", "b") + notice(3));
  EXPECT_EQ(result.status, 0);
}
