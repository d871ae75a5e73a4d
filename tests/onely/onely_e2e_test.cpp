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

const std::string BANNER = "\n\t\tonely 1.00. Filter of repeated successive lines.\n\n";
const std::string USAGE =
    "Use:\tonely [options] [source [dest]]\n\n"
    "\tDiscard all but one of successive identical lines from 'source'\n"
    "(or standard input) and write to 'dest' (or standard output).\n\n"
    "\tOptions are case insensitive and may start also by '/':\n"
    "\t-?\tDisplay this help and exit\n"
    "\t-C\tPrefix lines by the number of occurrences\n"
    "\t-D\tDuplicate lines only\n"
    "\t-I\tIgnore case\n"
    "\t-U\tUnique lines only\n"
    "\t-n\tSkip the first 'n' characters when comparing\n"
    "\t+n\tCompare no more than 'n' characters in lines\n";

std::string error_text(const std::string& message) { return crlf(BANNER + message + USAGE); }

RunResult onely(const std::vector<std::string>& arguments, const std::string& input) {
  RunOptions options;
  options.input = input;
  return run_program("onely", arguments, options);
}

TEST(OnelyFilter, MergesOnlySuccessiveLines) {
  expect_output("onely", {}, "", "");
  expect_output("onely", {}, "a\na\nb\na\n", "a\nb\na\n");
  expect_output("onely", {"-c"}, "a\na\nb\na\n", "      2\ta\n      1\tb\n      1\ta\n");
  expect_output("onely", {"/C"}, "x\nx\nx\nx\nx\nx\nx\nx\nx\nx\nx\nx\n", "     12\tx\n");
}

TEST(OnelyFilter, RepeatedAndSingleFilters) {
  const std::string input = "a\na\nb\nc\nc\nc\nd\n";
  expect_output("onely", {"-d"}, input, "a\nc\n");
  expect_output("onely", {"-u"}, input, "b\nd\n");
  expect_output("onely", {"-d", "-u"}, input, "b\nd\n");
  expect_output("onely", {"-U", "/D"}, input, "a\nc\n");
  expect_output("onely", {"-c", "-d"}, input, "      2\ta\n      3\tc\n");
}

TEST(OnelyFilter, SkipCountAndCompareLimit) {
  expect_output("onely", {"-3"}, "xyzabc\n123abc\n", "xyzabc\n");
  expect_output("onely", {"-3"}, "ab\nxy\nabc\nxyz\nab\nabc\n", "ab\nabc\nab\nabc\n");
  expect_output("onely", {"+3"}, "abcdef\nabcxyz\n", "abcdef\n");
  expect_output("onely", {"+3"}, "ab\nabc\n", "ab\nabc\n");
  expect_output("onely", {"-010"}, "12345678A\nabcdefghA\nabcdefghB\n", "12345678A\nabcdefghB\n");
  expect_output("onely", {"-0x10"}, "0123456789abcdefZ\nxxxxxxxxxxxxxxxxZ\n", "0123456789abcdefZ\n");
  expect_output("onely", {"-2junk"}, "aaX\nbbX\n", "aaX\n");
  expect_output("onely", {"+-4"}, "abcdef\nabcdxx\n", "abcdef\nabcdxx\n");
}

TEST(OnelyFilter, IgnoreCaseWritesTheFirstLineAsRead) {
  expect_output("onely", {"-i"}, "Hello\nHELLO\nhello\nbye\n", "Hello\nbye\n");
  expect_output("onely", {}, "Hello\nHELLO\n", "Hello\nHELLO\n");
}

TEST(OnelyFilter, LineEndings) {
  // A last line without newline is a run of its own and is written without one.
  expect_output("onely", {}, "x\nx", "x\nx");
  expect_output("onely", {"+1"}, "x\nx", "x\n");
  // Carriage returns are dropped on reading, so CR LF equals LF.
  expect_output("onely", {"-c"}, "a\r\na\nb\r\n", "      2\ta\n      1\tb\n");
  // Input ends at Ctrl-Z.
  expect_output("onely", {}, "a\na\n\x1a" "b\n", "a\n");
}

TEST(OnelyFilter, LinesWithNulBytes) {
  // Text after a NUL takes no part; a line that begins with NUL is passed over.
  expect_output("onely", {}, std::string("ab\0cd\nab\0xy\nq\n", 15), "abq\n");
  expect_output("onely", {"-c"}, std::string("a\n\0zz\na\n", 8), "      2\ta\n");
}

TEST(OnelyFilter, LongLinesAreReadInPieces) {
  const std::size_t piece = 1048574;
  std::string first(piece, 'a'), second(piece, 'b');
  std::string input = first + second + "tail\n";
  expect_output("onely", {}, input, input);
  // Equal pieces are merged like equal lines.
  expect_output("onely", {"-c"}, first + first + "\n", "      2\t" + first + "      1\t\n");
}

TEST(OnelyFiles, SourceAndDestination) {
  TempFolder folder;
  folder.write("in.txt", "a\na\nb\n");
  RunOptions options;
  options.folder = folder.path();
  RunResult result = run_program("onely", {suite_test::path_argument(folder.file("in.txt")), "out.txt", "-c"}, options);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(folder.read("out.txt"), crlf("      2\ta\n      1\tb\n"));
  // An existing file is replaced.
  result = run_program("onely", {"/u", "in.txt", suite_test::path_argument(folder.file("out.txt"))}, options);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(folder.read("out.txt"), crlf("b\n"));
  // '+x' does not read as a number, so it names a file.
  folder.write("+x", "q\nq\n");
  result = run_program("onely", {"+x"}, options);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, crlf("q\n"));
  folder.write("+0x", "r\nr\n");
  result = run_program("onely", {"+0x"}, options);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, crlf("r\n"));
}

TEST(OnelyErrors, HelpAndBadArguments) {
  RunResult result = onely({"-?"}, "a\n");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, error_text(""));

  result = onely({"/q"}, "a\n");
  EXPECT_EQ(result.status, 4);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, error_text("Unknown option 'q'.\n\n"));

  result = onely({"-Xyz"}, "");
  EXPECT_EQ(result.status, 4);
  EXPECT_EQ(result.err, error_text("Unknown option 'Xyz'.\n\n"));

  // A hexadecimal prefix without a digit after it is not a number.
  result = onely({"/0xg"}, "a\n");
  EXPECT_EQ(result.status, 16);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, error_text("Bad number '0xg'.\n\n"));
}

TEST(OnelyErrors, FilesThatCannotBeOpened) {
  TempFolder folder;
  folder.write("in.txt", "a\n");
  RunOptions options;
  options.folder = folder.path();
  RunResult result = run_program("onely", {"missing.txt"}, options);
  EXPECT_EQ(result.status, 8);
  EXPECT_EQ(result.err, error_text("Could not open 'missing.txt'.\n\n"));
  // A lone '-' is a file name like any other.
  result = run_program("onely", {"-", "out.txt"}, options);
  EXPECT_EQ(result.status, 8);
  EXPECT_EQ(result.err, error_text("Could not open '-'.\n\n"));
  EXPECT_FALSE(folder.exists("out.txt"));

  result = run_program("onely", {"in.txt", "no/such/folder.txt"}, options);
  EXPECT_EQ(result.status, 8);
  EXPECT_EQ(result.err, error_text("Could not open 'no/such/folder.txt'.\n\n"));
  result = run_program("onely", {suite_test::path_argument(folder.path()), "out.txt"}, options);
  EXPECT_EQ(result.status, 8);
  result = run_program("onely", {"in.txt", suite_test::path_argument(folder.path())}, options);
  EXPECT_EQ(result.status, 8);
}

TEST(OnelyErrors, ThirdFileNameAfterTheDestinationWasTruncated) {
  TempFolder folder;
  folder.write("a", "x\n");
  folder.write("b", "old content\n");
  RunOptions options;
  options.folder = folder.path();
  RunResult result = run_program("onely", {"a", "b", "c"}, options);
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, error_text("Bad syntax 'c'.\n\n"));
  EXPECT_EQ(folder.read("b"), "");
  EXPECT_FALSE(folder.exists("c"));
}

TEST(OnelyErrors, DestinationThatIsTheSourceIsRefused) {
  TempFolder folder;
  const std::string content = "a\na\nb\n";
  folder.write("a.txt", content);
  RunOptions options;
  options.folder = folder.path();
  const std::string absolute = suite_test::path_argument(folder.file("a.txt"));
  for (const std::string& destination : std::vector<std::string>{"a.txt", "./a.txt", absolute}) {
    RunResult result = run_program("onely", {"a.txt", destination}, options);
    EXPECT_EQ(result.status, 8);
    EXPECT_EQ(result.err, error_text("Could not open '" + destination + "'.\n\n"));
    EXPECT_EQ(folder.read("a.txt"), content);
  }
  // A hard link is the same file under another name.
  ASSERT_EQ(link(folder.file("a.txt").c_str(), folder.file("link.txt").c_str()), 0);
  RunResult result = run_program("onely", {"a.txt", "link.txt"}, options);
  EXPECT_EQ(result.status, 8);
  EXPECT_EQ(folder.read("a.txt"), content);
}

// Runs onely with its standard input redirected from a file; returns the
// exit status.
int run_with_input_file(const std::string& input_path, const std::vector<std::string>& arguments) {
  RunOptions options;
  options.input_file = input_path;
  return run_program("onely", arguments, options).status;
}

TEST(OnelyErrors, DestinationThatIsTheRedirectedInputIsRefused) {
  TempFolder folder;
  folder.write("a.txt", "a\na\n");
  // A named source replaces the redirected input: writing to the other file is fine.
  folder.write("b.txt", "b\nb\n");
  EXPECT_EQ(run_with_input_file(folder.file("a.txt"), {suite_test::path_argument(folder.file("b.txt")),
                                                       suite_test::path_argument(folder.file("a.txt"))}),
            0);
  EXPECT_EQ(folder.read("a.txt"), crlf("b\n"));
  folder.write("a.txt", "a\na\n");
  if (suite_test::programs_run_under_wine()) GTEST_SKIP() << suite_test::WINE_HAS_NO_NAME_FOR_STANDARD_INPUT;
  EXPECT_EQ(run_with_input_file(folder.file("a.txt"), {"/dev/stdin", folder.file("a.txt")}), 8);
  EXPECT_EQ(folder.read("a.txt"), "a\na\n");
}

TEST(OnelyStreams, NonBlockingPipesLoseNothing) {
  // Distinct lines, each part well under a pipe's capacity, the whole
  // output (with its carriage returns) over it.
  std::string first_part, second_part, expected;
  for (int i = 0; i < 10000; ++i) {
    std::string line = std::to_string(100000 + i) + "\n";
    (i < 5000 ? first_part : second_part) += line;
    expected += line;
  }
  // The input comes in two parts with a pause between, and the output is
  // read only after a pause, so that reads find the pipe empty and writes
  // find it full.
  RunOptions options;
  options.input_parts = {first_part, second_part};
  options.output_delay_ms = 600;
  options.non_blocking_pipes = true;
  options.timeout_seconds = 20;
  RunResult result = run_program("onely", {}, options);
  EXPECT_FALSE(result.timed_out);
  EXPECT_EQ(result.out.size(), crlf(expected).size());
  EXPECT_TRUE(result.out == crlf(expected));
}

}  // namespace
