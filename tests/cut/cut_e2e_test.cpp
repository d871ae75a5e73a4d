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
using suite_test::expect_output;

const std::string BANNER = "\n\t\tCut 2.10.  Selects bytes, columns, fields or rows of text.\n";
const std::string USAGE =
    "\nUse:\tCut /{b|c|f|r}n1[-n2][,n3[-n4] ...] [/dc] [file]\n\n"
    "\tPut in stdout the selected 'b'ytes, 'c'olumns, 'f'ields or 'r'ows\n"
    "from stdin (or 'file').\n"
    "By default the field delimiter is the Tab character, but may be changed\n"
    "to the character 'c' by using '/dc' or to the space with '/d\" \"'.\n"
    "\tBytes, columns, fields and rows must be between 1 and 2097152\n";

RunResult cut(const std::vector<std::string>& arguments, const std::string& input) {
  RunOptions options;
  options.input = input;
  return run_program("cut", arguments, options);
}

void expect_error(const std::vector<std::string>& arguments, int code, const std::string& message) {
  RunResult result = cut(arguments, "abc\n");
  EXPECT_EQ(result.status, code);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, crlf(BANNER + message + USAGE));
}

TEST(CutColumns, SelectedColumnsInInputOrder) {
  expect_output("cut", {"/c1-3,5"}, "abcdefg\n", "abce\n");
  expect_output("cut", {"/c5,1-3"}, "abcdefg\n", "abce\n");
  expect_output("cut", {"-C2-4,3-6"}, "abcdefg\n", "bcdef\n");
  expect_output("cut", {"/c3"}, "abcdefg\nab\n\nxyz", "c\n\n\nz\n");
  expect_output("cut", {"/c2097152"}, "abc\n", "\n");
}

TEST(CutFields, SelectedFieldsJoinedByOneDelimiter) {
  expect_output("cut", {"/f2"}, "a\tb\tc\n", "b\n");
  expect_output("cut", {"/f1,3"}, "a\tb\tc\n", "a\tc\n");
  expect_output("cut", {"/f1,2"}, "a\tb\tc\n", "a\tb\n");
  expect_output("cut", {"/f4"}, "a\tb\tc\n", "\n");
  expect_output("cut", {"/f1"}, "no tab here\n", "no tab here\n");
  expect_output("cut", {"/f2"}, "no tab here\n", "\n");
}

TEST(CutFields, OtherDelimiters) {
  expect_output("cut", {"/d,", "/f2"}, "x,,z\n", "\n");
  expect_output("cut", {"/d,", "/f2-3"}, "x,,z\n", ",z\n");
  expect_output("cut", {"/f1,3", "/d "}, "a b c d\n", "a c\n");
  expect_output("cut", {"/f3", "/D", " "}, "a b c d\n", "c\n");
  expect_output("cut", {"/f2", "/d\t", "/d:"}, "a:b\n", "b\n");  // a tab given as the delimiter leaves it changeable
}

TEST(CutBytes, PositionsCountAcrossTheWholeInput) {
  expect_output("cut", {"/b1-5"}, "ab\r\ncdef\n", "ab\ncd");
  expect_output("cut", {"/b3,8"}, "ab\ncd\nef", "\nf");
  expect_output("cut", {"/b2-9"}, "abc\x1a" "def", "bc");
}

TEST(CutRows, SelectedRowsWithANewlineEach) {
  expect_output("cut", {"/r2"}, "one\ntwo\nthree\n", "two\n");
  expect_output("cut", {"/r2"}, "one\ntwo", "two\n");
  expect_output("cut", {"/r1,3"}, "one\ntwo\nthree\nfour\n", "one\nthree\n");
  expect_output("cut", {"/r5"}, "one\n", "");
}

TEST(CutLines, NulBytesAndLongLines) {
  // A line that begins with NUL gives nothing, but still counts as a row.
  expect_output("cut", {"/c1-2"}, std::string("ab\n\0x\ncd\n", 9), "ab\ncd\n");
  expect_output("cut", {"/r2,3"}, std::string("ab\n\0x\ncd\n", 9), "cd\n");
  expect_output("cut", {"/f1"}, std::string("a\0b\tc\n", 6), "a\n");
  // A line longer than the buffer is taken as several lines.
  std::string long_line(2097151, 'x');
  expect_output("cut", {"/c1"}, long_line + "yz\n", "x\ny\n");
}

TEST(CutFiles, ReadsTheNamedFile) {
  TempFolder folder;
  folder.write("in.txt", "a\tb\r\nc\td\r\n");
  RunResult result = cut({"/f2", suite_test::path_argument(folder.file("in.txt"))}, "ignored\tinput\n");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, crlf("b\nd\n"));
  RunOptions options;
  options.folder = folder.path();
  options.input = "p\tq\n";
  folder.write("-", "from\tfile\n");
  result = run_program("cut", {"-", "/f1"}, options);
  EXPECT_EQ(result.out, crlf("from\n"));
}

TEST(CutErrors, OptionsAndFiles) {
  expect_error({"/?"}, 0, "");
  expect_error({"/x1"}, 2, "\nUnknown option.\n");
  expect_error({"/c1", "/f2"}, 4, "\nBad syntax.\n");
  expect_error({"/c1", "/c2"}, 4, "\nBad syntax.\n");
  expect_error({}, 4, "\nBad syntax.\n");
  expect_error({"/d,"}, 4, "\nBad syntax.\n");
  expect_error({"/d;", "/d:", "/f1"}, 4, "\nBad syntax.\n");
  expect_error({"/d::", "/f1"}, 4, "\nBad syntax.\n");
  expect_error({"/d", "x", "/f1"}, 4, "\nBad syntax.\n");
  expect_error({"/f1", "/d"}, 4, "\nBad syntax.\n");
  expect_error({"/c1", "no-such-file.txt"}, 8, "\nCould not open file.\n");
  // A missing path under no entry of the root folder reads as an option.
  expect_error({"/c1", "/no/such/file"}, 2, "\nUnknown option.\n");

  TempFolder folder;
  folder.write("a", "x\n");
  folder.write("b", "y\n");
  expect_error({suite_test::path_argument(folder.file("a")), suite_test::path_argument(folder.file("b")), "/c1"}, 4,
               "\nBad syntax.\n");
}

TEST(CutErrors, BadPositionLists) {
  for (const char* option : {"/c0", "/c2097153", "/c3-2", "/c5-", "/c1,,2", "/c", "/bx", "/r1;2", "/f-1"}) {
    expect_error({option}, 16, "\nBad numeric value.\n");
  }
  expect_output("cut", {"/c1,"}, "ab\n", "a\n");
}

}  // namespace
