#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/run_program.h"

namespace {

using suite_test::run_program;
using suite_test::RunOptions;
using suite_test::RunResult;
using suite_test::TempFolder;

using suite_test::crlf;

const std::string BANNER = "\n\t\tPASTE 2.20. Joins corresponding lines of files.\n";
const std::string USAGE =
    "\n"
    "Use:\tPaste [/dc] {file | -} ...\n"
    "\n"
    "\tPut in the standard output the lines from the specified files (or from\n"
    "the standard input if '-' has been used) separated by a tabulator (or a space\n"
    "if '-d\" \"' is used, any character string 's' with '-ds' or '-d s' and\n"
    "even no character if '-d \"\"' is specified).\n"
    "'s' may be any string and usual C escape characters are allowed:\n"
    "\t's' = \"\\n\", \"\\012\\t\", etc.\n"
    "This option is case insensitive and may start by '-' or '/'.\n"
    "\n"
    "\tNot more than 25 files can be specified and the end of any of them\n"
    "stops the process.\n"
    "\n"
    "\tThe resulting line may not be longer than 1048576 characters.\n";

// Runs paste in a folder holding the files a (3 lines) and b (2 lines).
class PasteTest : public testing::Test {
 protected:
  void SetUp() override {
    folder_.write("a", "a1\na2\na3\n");
    folder_.write("b", "b1\nb2\n");
  }
  RunResult paste(const std::vector<std::string>& arguments, const std::string& input = "") {
    RunOptions options;
    options.folder = folder_.path();
    options.input = input;
    return run_program("paste", arguments, options);
  }
  void expect_output(const std::vector<std::string>& arguments, const std::string& expected,
                     const std::string& input = "") {
    RunResult result = paste(arguments, input);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, crlf(expected));
  }
  void expect_error(const std::vector<std::string>& arguments, int code, const std::string& message) {
    RunResult result = paste(arguments, "x\n");
    EXPECT_EQ(result.status, code);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, crlf(BANNER + message + USAGE));
  }
  TempFolder folder_;
};

TEST_F(PasteTest, RowsStopWhenAnyInputEnds) {
  expect_output({"a", "b"}, "a1\tb1\na2\tb2\na3");
  expect_output({"b", "a"}, "b1\ta1\nb2\ta2\n");
  expect_output({"a", "b", "a"}, "a1\tb1\ta1\na2\tb2\ta2\na3");
}

TEST_F(PasteTest, StandardInputSharedByEveryDash) {
  expect_output({"-", "-"}, "1\t2\n3\t4\n", "1\n2\n3\n4\n");
  expect_output({"-", "a", "-"}, "1\ta1\t2\n3\ta2\t4\n5\ta3", "1\n2\n3\n4\n5\n");
}

TEST_F(PasteTest, SingleInputGetsANewlineAfterItsLastLine) {
  folder_.write("c", "x\r\ny\x1a" "ignored\n");
  expect_output({"c"}, "x\ny\n");
}

TEST_F(PasteTest, DelimiterOption) {
  expect_output({"/d", "", "a", "b"}, "a1b1\na2b2\na3");
  expect_output({"-d:", "a", "b"}, "a1:b1\na2:b2\na3");
  expect_output({"/D", "<>", "a", "b"}, "a1<>b1\na2<>b2\na3");
  expect_output({"/d", "-x", "b", "b"}, "b1-xb1\nb2-xb2\n");
  expect_output({"a", "b", "/d"}, "a1b1\na2b2\na3");
  expect_output({"/d\t", "/d;", "b", "b"}, "b1;b1\nb2;b2\n");
}

TEST_F(PasteTest, DelimiterEscapes) {
  expect_output({"/d\\x41:", "b", "b"}, "b1A:b1\nb2A:b2\n");
  expect_output({"/d\\x4g", "b", "b"}, "b1\x04gb1\nb2\x04gb2\n");
  expect_output({"/d\\065", "b", "b"}, "b1Ab1\nb2Ab2\n");
  expect_output({"/d\\o101", "b", "b"}, "b1Ab1\nb2Ab2\n");
  expect_output({"/da\\zb", "b", "b"}, "b1ab1\nb2ab2\n");
  expect_output({"/d\\n", "b", "b"}, "b1\nb1\nb2\nb2\n");
  expect_output({"/d\\", "b", "b"}, "b1\\b1\nb2\\b2\n");
}

TEST_F(PasteTest, LongLinesAreReadInPieces) {
  std::string line(1048576, 'x');
  folder_.write("long", line + "\n");
  expect_output({"long"}, std::string(1048575, 'x') + "\nx\n");
  folder_.write("with-nul", std::string("p\0q\nr\n", 6));
  expect_output({"with-nul", "b"}, "p\tb1\nr\tb2\n");
}

TEST_F(PasteTest, WildcardsNameTheMatchingFiles) {
  folder_.write("x1.txt", "one\n");
  folder_.write(".x2.txt", "hidden\n");
  expect_output({"X*.TXT", "b"}, "one\tb1\n");
  expect_error({"z*.txt"}, 16, "\nCould not open z*.txt\n");
}

TEST_F(PasteTest, Errors) {
  expect_error({"/?"}, 0, "");
  expect_error({"/x", "a"}, 2, "\nUnknown option.\n");
  expect_error({}, 4, "\nBad syntax.\n");
  expect_error({"/d"}, 4, "\nBad syntax.\n");
  expect_error({"/d;", "/d:", "a"}, 4, "\nBad syntax.\n");
  expect_error({"/d\\t", "/d:", "a"}, 4, "\nBad syntax.\n");
  expect_error({"a", "missing"}, 16, "\nCould not open missing\n");
}

TEST_F(PasteTest, AtMostTwentyFiveInputs) {
  std::vector<std::string> arguments(25, "b");
  std::string row1 = "b1", row2 = "b2";
  for (int i = 1; i < 25; ++i) {
    row1 += "\tb1";
    row2 += "\tb2";
  }
  expect_output(arguments, row1 + "\n" + row2 + "\n");
  arguments.push_back("missing");
  expect_error(arguments, 8, "\nToo many files.\n");
}

}  // namespace
