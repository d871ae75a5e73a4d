#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/run_program.h"

using suite_test::run_program;
using suite_test::RunOptions;
using suite_test::RunResult;
using suite_test::TempFolder;
using Args = std::vector<std::string>;

namespace {

using suite_test::crlf;

std::string spaces(std::size_t count) { return std::string(count, ' '); }

RunResult run(const std::string& program, const Args& arguments, const std::string& input) {
  RunOptions options;
  options.input = input;
  return run_program(program, arguments, options);
}

// Options that run a program in the folder.
RunOptions in_folder(const TempFolder& folder) {
  RunOptions options;
  options.folder = folder.path();
  return options;
}

// Runs a conversion that must succeed and returns its standard output.
std::string convert(const std::string& program, const Args& arguments, const std::string& input) {
  RunResult result = run(program, arguments, input);
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  return result.out;
}

std::string pack(const std::string& input, const Args& arguments = {}) { return convert("colpack", arguments, input); }
std::string spread(const std::string& input, const Args& arguments = {}) {
  return convert("colspread", arguments, input);
}

const std::string NOTICE = "Tab stop conversion for text files.";

std::string banner(const std::string& name) { return "\n\t\t" + name + " 2.00. " + NOTICE + "\n\n"; }

std::string usage(const std::string& name, const std::string& purpose) {
  return "Use:\t" + name + " [/Dn] [/Ts] [[<]source] [[<]destination]\n" + purpose +
         "\n\tOptions are case insensitive and may start also by '/':\n"
         "\t'-Dn' To have tabulators at columns 1, 1+n, 1+2n, etc.\n"
         "\t'-Ts' To have tabulators as indicated in 's': a sequence of strings\n"
         "separated by ',' and having the form 'n0[:ni[:nm]]': tabulators at\n"
         "column 'n0' and, if 'ni' is used, n0+ni, n0+2ni, etc. The last\n"
         "tabulator will not exceed column 'nm' or the maximum line length: 1048576.\n\n"
         "\tIf no option is used, '-D8' is assumed.\n\n"
         "\tThe complete file specification of 'source' and 'destination' are\n"
         "optional and default to stdin and stdout, respectively.\n";
}

const std::string COLPACK_USAGE = usage("Colpack", "to replace spaces with tabulators.\n");
const std::string COLSPREAD_USAGE = usage("Colspread", "to replace tabulators with spaces.\n");

// The error stream of a failed run: banner, message and usage.
std::string colpack_error(const std::string& message) {
  return crlf(banner("Colpack") + message + COLPACK_USAGE);
}

void expect_colpack_error(const Args& arguments, int status, const std::string& message) {
  RunResult result = run("colpack", arguments, "a       b\n");
  EXPECT_EQ(result.status, status);
  EXPECT_EQ(result.err, colpack_error(message));
  EXPECT_EQ(result.out, "");
}

}  // namespace

// ---------------------------------------------------------------- Colspread

TEST(Colspread, DefaultStopsEveryEightColumns) {
  EXPECT_EQ(spread("a\tb\n"), crlf("a" + spaces(7) + "b\n"));
  EXPECT_EQ(spread("\tx\n"), crlf(spaces(8) + "x\n"));
  EXPECT_EQ(spread("abcdefg\tx\n"), crlf("abcdefg x\n"));
  EXPECT_EQ(spread("abcdefgh\tx\n"), crlf("abcdefgh" + spaces(8) + "x\n"));
  EXPECT_EQ(spread("\t\t"), spaces(16));
  EXPECT_EQ(spread("abc\n\tx"), crlf("abc\n" + spaces(8) + "x"));
}

TEST(Colspread, EveryOtherCharacterCountsOneColumn) {
  // Carriage returns are dropped on input; other control characters count.
  EXPECT_EQ(spread("a\r\n\x01 \tb\r\n"), crlf("a\n\x01" + spaces(7) + "b\n"));
  EXPECT_EQ(spread("ab\x1A\tignored"), "ab");
}

TEST(Colspread, TabListStops) {
  EXPECT_EQ(spread("\tx\n", {"-T5,9"}), crlf(spaces(4) + "x\n"));
  EXPECT_EQ(spread("abcd\tx\n", {"-T5,9"}), crlf("abcd" + spaces(4) + "x\n"));
  EXPECT_EQ(spread("\t\t\tx\n", {"-t10,20,30"}), crlf(spaces(29) + "x\n"));
  EXPECT_EQ(spread("\t\t\t\tx\n", {"/T5:10:40"}), crlf(spaces(34) + "x\n"));
  EXPECT_EQ(spread("a\tx\n", {"-T40:10:5"}), crlf("a" + spaces(1048575) + "x\n"));
}

TEST(Colspread, NoStopAfterTheColumnFillsUpToTheMaximumLineLength) {
  // Stops at positions 4 and 8 only: from position 10 the tab runs up to
  // position 1,048,576, where every position is a stop, so a second tab
  // gives one space.
  std::string out = spread("abcdefghij\tx\ty\nz\tw\n", {"-T5,9"});
  EXPECT_EQ(out, crlf("abcdefghij" + spaces(1048566) + "x y\nz" + spaces(3) + "w\n"));
}

TEST(Colspread, StepBeyondTheTableLeavesOnlyTheMaximumLineLength) {
  std::string out = spread("\ta\tb\n\tc\n", {"-D2000000"});
  EXPECT_EQ(out, crlf(spaces(1048576) + "a b\n" + spaces(1048576) + "c\n"));
}

TEST(Colspread, UsageAndErrorsCarryItsOwnNames) {
  RunResult help = run("colspread", {"/?"}, "");
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.err, crlf(banner("Colspread") + COLSPREAD_USAGE));
  EXPECT_EQ(help.out, "");
  RunResult bad = run("colspread", {"-T5;7"}, "");
  EXPECT_EQ(bad.status, 16);
  EXPECT_EQ(bad.err, crlf(banner("Colspread") + "Bad number ';7'.\n\n" + COLSPREAD_USAGE));
}

// ---------------------------------------------------------------- Colpack

TEST(Colpack, DefaultStopsEveryEightColumns) {
  EXPECT_EQ(pack("a" + spaces(7) + "b\n"), crlf("a\tb\n"));
  EXPECT_EQ(pack(spaces(8) + "x\n"), crlf("\tx\n"));
  EXPECT_EQ(pack(spaces(16) + "x\n"), crlf("\t\tx\n"));
  EXPECT_EQ(pack("abcdefg h\n"), crlf("abcdefg h\n"));
  EXPECT_EQ(pack("abcdefg  h\n"), crlf("abcdefg  h\n"));
  EXPECT_EQ(pack("ab" + spaces(10) + "c\n"), crlf("ab\t" + spaces(4) + "c\n"));
  EXPECT_EQ(pack("abc" + spaces(10) + "\n"), crlf("abc\t" + spaces(5) + "\n"));
}

TEST(Colpack, ExistingTabsCountOneColumn) {
  EXPECT_EQ(pack("a\t" + spaces(6) + "b\n"), crlf("a\t\tb\n"));
}

TEST(Colpack, TrailingSpacesAreKept) {
  EXPECT_EQ(pack("ab" + spaces(3)), "ab" + spaces(3));
  EXPECT_EQ(pack("ab" + spaces(9)), "ab\t" + spaces(3));
  EXPECT_EQ(pack(""), "");
}

TEST(Colpack, CarriageReturnsAndCtrlZ) {
  EXPECT_EQ(pack(spaces(8) + "a\r\n" + spaces(4) + "\rb\r\n"), crlf("\ta\n" + spaces(4) + "b\n"));
  EXPECT_EQ(pack(spaces(8) + "a\x1A" + spaces(8) + "b"), "\ta");
}

TEST(Colpack, TabListStops) {
  EXPECT_EQ(pack("ab" + spaces(5) + "c\n", {"-T5"}), crlf("ab\t" + spaces(3) + "c\n"));
  EXPECT_EQ(pack(spaces(30) + "x\n", {"-T10,20,30"}), crlf("\t\t\t" + spaces(1) + "x\n"));
  EXPECT_EQ(pack(spaces(45) + "x\n", {"-t5:10:40"}), crlf("\t\t\t\t" + spaces(11) + "x\n"));
  EXPECT_EQ(pack(spaces(45) + "x\n", {"-T40:10:5"}), crlf(spaces(45) + "x\n"));
  // Stops every 10 columns from 5 on, up to column 1,048,575; the two
  // spaces after it reach position 1,048,576, and from there every space is
  // alone at a stop.
  EXPECT_EQ(pack(spaces(1048580) + "x\n", {"-T5:10"}),
            crlf(std::string(104859, '\t') + spaces(4) + "x\n"));
}

TEST(Colpack, StepOptionForms) {
  std::string input = "ab" + spaces(14) + "c" + spaces(15) + "d\n";
  EXPECT_EQ(pack(input, {"-D4"}), crlf("ab\t\t\t\tc\t\t\t\td\n"));
  EXPECT_EQ(pack(input, {"/d4"}), crlf("ab\t\t\t\tc\t\t\t\td\n"));
  EXPECT_EQ(pack(input, {"-D010"}), pack(input));
  EXPECT_EQ(pack(input, {"-D0x10"}), crlf("ab\tc\td\n"));
  EXPECT_EQ(pack(input, {"-D 16"}), pack(input, {"-D0x10"}));
}

TEST(Colpack, PositionsFromTheMaximumLineLengthOnAreAllStops) {
  // The run reaches position 1,048,576 after six spaces; from there on each
  // space is alone at a stop.
  std::string line = std::string(1048570, 'a');
  EXPECT_EQ(pack(line + spaces(10) + "b\n"), crlf(line + "\t" + spaces(4) + "b\n"));
  // A step beyond the table leaves no stop before that position.
  EXPECT_EQ(pack(spaces(20) + "x\n", {"-D2000000"}), crlf(spaces(20) + "x\n"));
  EXPECT_EQ(pack(line + spaces(10) + "b\n", {"-D2000000"}), crlf(line + "\t" + spaces(4) + "b\n"));
}

// ---------------------------------------------------------------- shared options

TEST(Options, QuestionMarkShowsBannerAndUsage) {
  for (const char* option : {"-?", "/?", "-?junk"}) {
    RunResult result = run("colpack", {"-D4", option, "no-such-file"}, "");
    EXPECT_EQ(result.status, 0) << option;
    EXPECT_EQ(result.err, crlf(banner("Colpack") + COLPACK_USAGE));
    EXPECT_EQ(result.out, "");
  }
}

TEST(Options, BadStepNumbersShowTheTextAfterTheLetter) {
  expect_colpack_error({"-D0"}, 16, "Bad number '0'.\n\n");
  expect_colpack_error({"-D-3"}, 16, "Bad number '-3'.\n\n");
  expect_colpack_error({"-D"}, 16, "Bad number ''.\n\n");
  expect_colpack_error({"-D8x"}, 16, "Bad number '8x'.\n\n");
  expect_colpack_error({"-d08"}, 16, "Bad number '08'.\n\n");
}

TEST(Options, BadTabListsShowTheTextFromTheFault) {
  expect_colpack_error({"-T0"}, 16, "Bad number '0'.\n\n");
  expect_colpack_error({"-T1048577"}, 16, "Bad number '1048577'.\n\n");
  expect_colpack_error({"-T5:0"}, 16, "Bad number '0'.\n\n");
  expect_colpack_error({"-T5;7"}, 16, "Bad number ';7'.\n\n");
  expect_colpack_error({"-T"}, 16, "Bad number ''.\n\n");
  expect_colpack_error({"-T4,"}, 16, "Bad number ''.\n\n");
}

TEST(Options, OnlyOneStopOption) {
  expect_colpack_error({"-D4", "-T9"}, 2, "Bad syntax'-T9'.\n\n");
  expect_colpack_error({"-T9", "/t9"}, 2, "Bad syntax'/t9'.\n\n");
  expect_colpack_error({"-D4", "-D4"}, 2, "Bad syntax'-D4'.\n\n");
  // The second option is refused before its number is read.
  expect_colpack_error({"-T9", "-Dbad"}, 2, "Bad syntax'-Dbad'.\n\n");
}

TEST(Options, UnknownOptionShowsTheArgumentLessItsFirstCharacter) {
  expect_colpack_error({"-X"}, 4, "Unknown option 'X'.\n\n");
  expect_colpack_error({"/xyz"}, 4, "Unknown option 'xyz'.\n\n");
  expect_colpack_error({"--D4"}, 4, "Unknown option '-D4'.\n\n");
}

// ---------------------------------------------------------------- source and destination

TEST(Files, SourceAndDestinationInTextMode) {
  TempFolder folder;
  folder.write("in.txt", "a\tb" + spaces(7) + "c\r\n");
  folder.write("out.txt", "old content that is longer than the new one\n");
  const RunOptions options = in_folder(folder);
  RunResult result = run_program("colspread", {"in.txt", "out.txt", "-D4"}, options);
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(folder.read("out.txt"), crlf("a   b" + spaces(7) + "c\n"));
  result = run_program("colpack", {"out.txt", "packed.txt", "-D4"}, options);
  EXPECT_EQ(folder.read("packed.txt"), crlf("a\tb\t\tc\n"));
}

TEST(Files, SourceOnlyWritesStandardOutput) {
  TempFolder folder;
  folder.write("in.txt", spaces(8) + "x\n");
  const RunOptions options = in_folder(folder);
  RunResult result = run_program("colpack", {"in.txt"}, options);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, crlf("\tx\n"));
  // A lone '-' is a file name like any other.
  folder.write("-", "\tx\n");
  result = run_program("colspread", {"-"}, options);
  EXPECT_EQ(result.out, crlf(spaces(8) + "x\n"));
}

TEST(Files, ExistingAbsolutePathIsAFileNotAnOption) {
  TempFolder folder;
  folder.write("in.txt", "\tx\n");
  folder.write("out.txt", "");
  RunResult result = run_program("colspread", {suite_test::path_argument(folder.file("in.txt")),
                                               suite_test::path_argument(folder.file("out.txt"))});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(folder.read("out.txt"), crlf(spaces(8) + "x\n"));
}

TEST(Files, MissingSourceOrUnwritableDestination) {
  TempFolder folder;
  folder.write("in.txt", "x\n");
  std::filesystem::create_directory(folder.file("sub"));
  const RunOptions options = in_folder(folder);
  RunResult result = run_program("colpack", {"missing.txt"}, options);
  EXPECT_EQ(result.status, 8);
  EXPECT_EQ(result.err, colpack_error("Could not open 'missing.txt'.\n\n"));
  result = run_program("colpack", {"in.txt", "sub"}, options);
  EXPECT_EQ(result.status, 8);
  EXPECT_EQ(result.err, colpack_error("Could not open 'sub'.\n\n"));
  result = run_program("colpack", {"sub"}, options);
  EXPECT_EQ(result.status, 8);
  EXPECT_EQ(result.err, colpack_error("Could not open 'sub'.\n\n"));
}

TEST(Files, ThirdFileNameIsBadSyntax) {
  TempFolder folder;
  folder.write("in.txt", "x\n");
  const RunOptions options = in_folder(folder);
  RunResult result = run_program("colpack", {"in.txt", "out.txt", "more.txt"}, options);
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, colpack_error("Bad syntax'more.txt'.\n\n"));
  // The files met before the fault were opened as they came.
  EXPECT_TRUE(folder.exists("out.txt"));
  EXPECT_FALSE(folder.exists("more.txt"));
}

TEST(Files, DestinationThatIsTheSourceIsRefusedUntouched) {
  TempFolder folder;
  const std::string content = spaces(8) + "keep me\n";
  folder.write("data.txt", content);
  std::filesystem::create_hard_link(folder.file("data.txt"), folder.file("link.txt"));
  const RunOptions options = in_folder(folder);
  for (const Args& arguments : {Args{"data.txt", "data.txt"}, Args{"data.txt", "./data.txt"},
                                Args{"link.txt", suite_test::path_argument(folder.file("data.txt"))}}) {
    RunResult result = run_program("colpack", arguments, options);
    EXPECT_EQ(result.status, 8) << arguments[1];
    EXPECT_EQ(result.err, colpack_error("Could not open '" + arguments[1] + "'.\n\n"));
    EXPECT_EQ(folder.read("data.txt"), content);
  }
  RunResult result = run_program("colspread", {"data.txt", "data.txt"}, options);
  EXPECT_EQ(result.status, 8);
  EXPECT_EQ(folder.read("data.txt"), content);
}
