// End-to-end tests of Ordly's options, inputs and output.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "tests/ordly/e2e_support.h"

namespace {

using ordly_test::BANNER;
using ordly_test::crlf;
using ordly_test::run_ordly;
using suite_test::RunOptions;
using suite_test::TempFolder;

TEST(OrdlyInput, StandardInputInTheDefaultOrder) {
  auto r = run_ordly({}, "b\nA\na\n1\n_x\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, crlf("_x\n1\nA\na\nb\n"));
  EXPECT_EQ(r.err, "");
}

TEST(OrdlyInput, EmptyInputAndCtrlZ) {
  EXPECT_EQ(run_ordly({}).out, "");
  auto r = run_ordly({"/Z"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "\x1A");
  EXPECT_EQ(run_ordly({"/z"}, "b\na\n").out, crlf("a\nb\n") + "\x1A");
}

TEST(OrdlyInput, TextModeAndTheLastLineWithoutLineFeed) {
  EXPECT_EQ(run_ordly({}, "b\r\nc\ra").out, crlf("b\nca\n"));
  EXPECT_EQ(run_ordly({}, "b\na").out, crlf("a\nb\n"));
  EXPECT_EQ(run_ordly({}, "b\na\n\x1Azzz\n").out, crlf("a\nb\n"));
  // A NUL byte ends its line; the rest of the line is dropped.
  EXPECT_EQ(run_ordly({}, std::string("b\0zz\na\n", 7)).out, crlf("a\nb\n"));
}

TEST(OrdlyInput, LinesAreSplitAtTheBufferSize) {
  std::string exact(10240, 'k');
  auto r = run_ordly({}, exact + "\na\n");
  // The cut falls before the line feed, which comes out as an empty line.
  EXPECT_EQ(r.out, crlf("\na\n" + exact + "\n"));
  std::string whole(10239, 'k');
  EXPECT_EQ(run_ordly({}, whole + "\na\n").out, crlf("a\n" + whole + "\n"));
  EXPECT_EQ(run_ordly({}, exact + "k\n").out, crlf("k\n" + exact + "\n"));
  // A buffer larger than the input stream's blocks.
  std::string huge(400000, 'h');
  EXPECT_TRUE(run_ordly({"/X", "600000"}, huge + "\na\n").out == crlf("a\n" + huge + "\n"));
  // '/X 6' takes pieces of 4 bytes.
  EXPECT_EQ(run_ordly({"/X", "6"}, "zyxwvu\n").out, crlf("vu\nzyxw\n"));
}

TEST(OrdlyInput, SeveralFilesSortTogether) {
  TempFolder folder;
  folder.write("a.txt", "delta\nAlpha\n");
  folder.write("b.txt", "charlie\nbravo");
  auto r = run_ordly({"b.txt", "a.txt"}, "ignored\n", folder.path());
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, crlf("Alpha\nbravo\ncharlie\ndelta\n"));
}

TEST(OrdlyInput, WildcardsAndPathsThatLookLikeOptions) {
  TempFolder folder;
  folder.write("a.txt", "2\n");
  folder.write("b.txt", "1\n");
  folder.write("c.dat", "0\n");
  folder.write("-", "dash\n");
  EXPECT_EQ(run_ordly({"*.TXT"}, "", folder.path()).out, crlf("1\n2\n"));
  EXPECT_EQ(run_ordly({"-"}, "", folder.path()).out, crlf("dash\n"));
  // An existing absolute path is a file name, not an option group (where
  // paths have drives, written with its drive).
  EXPECT_EQ(run_ordly({"/R", suite_test::path_argument(folder.file("a.txt")),
                       suite_test::path_argument(folder.file("b.txt"))})
                .out,
            crlf("2\n1\n"));
}

TEST(OrdlyOptions, ReverseAndStartingColumnInEitherOrder) {
  std::string input = "xxxxa\nyyyyc\nzzzzb\n";
  EXPECT_EQ(run_ordly({"/R5"}, input).out, crlf("yyyyc\nzzzzb\nxxxxa\n"));
  EXPECT_EQ(run_ordly({"-5r"}, input).out, crlf("yyyyc\nzzzzb\nxxxxa\n"));
  EXPECT_EQ(run_ordly({"/5"}, input).out, crlf("xxxxa\nzzzzb\nyyyyc\n"));
}

TEST(OrdlyOptions, StartingColumnInOctalAndHex) {
  // '/010' is column 8, '/0x10' column 16.
  std::string input = "1234567b9\n7654321a8\n";
  EXPECT_EQ(run_ordly({"/010"}, input).out, crlf("7654321a8\n1234567b9\n"));
  // Column 10 in decimal lies beyond both lines: equal keys, input order.
  EXPECT_EQ(run_ordly({"/10"}, input).out, crlf(input));
  std::string first = std::string(15, 'a') + "z";
  std::string second = std::string(15, 'b') + "y";
  EXPECT_EQ(run_ordly({"/0x10"}, first + "\n" + second + "\n").out, crlf(second + "\n" + first + "\n"));
}

TEST(OrdlyOptions, MethodsAndOrders) {
  std::string input = "Zoo\nzoo\nbee\nZOO\n";
  EXPECT_EQ(run_ordly({"/I"}, input).out, crlf("bee\nZoo\nzoo\nZOO\n"));
  EXPECT_EQ(run_ordly({"/IR"}, input).out, crlf("Zoo\nzoo\nZOO\nbee\n"));
  EXPECT_EQ(run_ordly({"/A"}, input).out, crlf("ZOO\nZoo\nbee\nzoo\n"));
  for (const char* method : {"/H", "/S", "/C", "/Q", "/T"}) {
    auto r = run_ordly({method}, "3\n1\n2\n");
    EXPECT_EQ(r.out, crlf("1\n2\n3\n")) << method;
  }
  EXPECT_EQ(run_ordly({"/N"}, "10\n9\n-5\n").out, crlf("-5\n9\n10\n"));
  EXPECT_EQ(run_ordly({"/F"}, "1.25e1\n1.5\n").out, crlf("1.5\n1.25e1\n"));
  EXPECT_EQ(run_ordly({"/D"}, "a-c\nab\n").out, crlf("ab\na-c\n"));
  EXPECT_EQ(run_ordly({"/B"}, "  b\na\n").out, crlf("a\n  b\n"));
}

TEST(OrdlyOptions, PureOrderWinsOverSpanishAndWindowsInEitherOrder) {
  std::string input = "cz\nch\nb\n";
  EXPECT_EQ(run_ordly({"/E"}, input).out, crlf("b\ncz\nch\n"));
  EXPECT_EQ(run_ordly({"/EA"}, input).out, crlf("b\nch\ncz\n"));
  EXPECT_EQ(run_ordly({"/A", "/E"}, input).out, crlf("b\nch\ncz\n"));
  // With '/W', 0xF1 is n tilde; with '/A' it is just a byte above 'z'.
  std::string enye = "\xF1u\nnube\noso\n";
  EXPECT_EQ(run_ordly({"/W"}, enye).out, crlf("nube\n\xF1u\noso\n"));
  EXPECT_EQ(run_ordly({"/WA"}, enye).out, crlf("nube\noso\n\xF1u\n"));
  EXPECT_EQ(run_ordly({"/AW"}, enye).out, crlf("nube\noso\n\xF1u\n"));
}

TEST(OrdlyOptions, LineBufferValueTakesTheRestOfTheGroup) {
  auto r = run_ordly({"/X5000R"}, "b\na\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, crlf("a\nb\n"));
  // A value of nothing but blanks leaves the size as it was.
  EXPECT_EQ(run_ordly({"/X", " "}, "b\na\n").out, crlf("a\nb\n"));
}

TEST(OrdlyOutput, OutputFileInEitherForm) {
  TempFolder folder;
  auto r = run_ordly({"/Oout.txt"}, "b\na\n", folder.path());
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(folder.read("out.txt"), crlf("a\nb\n"));
  r = run_ordly({"/R", "/O", "two.txt", "/Z"}, "b\na\n", folder.path());
  EXPECT_EQ(folder.read("two.txt"), crlf("b\na\n") + "\x1A");
  // The whole rest of the group is the name.
  r = run_ordly({"/Oout.txtR"}, "b\na\n", folder.path());
  EXPECT_EQ(folder.read("out.txtR"), crlf("a\nb\n"));
}

TEST(OrdlyOutput, OutputFileThatIsAlsoTheInputIsSortedInPlace) {
  TempFolder folder;
  folder.write("a.txt", "c\nb\na\n");
  auto r = run_ordly({"/O", "a.txt", "a.txt"}, "", folder.path());
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(folder.read("a.txt"), crlf("a\nb\nc\n"));
}

TEST(OrdlyOutput, AFileSortedInPlaceStaysWholeWhenItsNewContentCannotBeWritten) {
  // Line feeds become carriage returns and line feeds, so the sorted lines
  // take more room than the file had, and the file-size limit refuses the
  // rest, as a nearly full disk would. The lines spill to runs on the way.
  TempFolder folder;
  std::string text;
  for (int i = 49999; i > 0; --i) text += "line " + std::to_string(i) + "\n";
  folder.write("in.txt", text);
  RunOptions options;
  options.folder = folder.path();
  options.file_size_limit = text.size();
  auto r = suite_test::run_program("ordly", {"/O", "in.txt", "in.txt"}, options);
  EXPECT_EQ(r.signal, 0);
  EXPECT_EQ(r.status, 4);
  EXPECT_EQ(r.err, BANNER + "Can't open 'in.txt'.\r\n\r\n");
  EXPECT_TRUE(folder.read("in.txt") == text);
  EXPECT_EQ(folder.names(), std::vector<std::string>{"in.txt"});
  // The same when the file comes in on standard input.
  options.input_file = folder.file("in.txt");
  r = suite_test::run_program("ordly", {"/O", "in.txt"}, options);
  EXPECT_EQ(r.status, 4);
  EXPECT_EQ(r.err, BANNER + "Can't open 'in.txt'.\r\n\r\n");
  EXPECT_TRUE(folder.read("in.txt") == text);
  EXPECT_EQ(folder.names(), std::vector<std::string>{"in.txt"});
}

TEST(OrdlyOutput, AFileSortedInPlaceKeepsItsPermissionsAndTheLinkToIt) {
  if (suite_test::programs_run_under_wine()) {
    GTEST_SKIP() << "Wine names a file opened through a link by the link once a handle holds it open, "
                    "so no Windows program can find where the link leads";
  }
  TempFolder folder;
  ASSERT_EQ(mkdir(folder.file("data").c_str(), 0777), 0);
  folder.write("data/a.txt", "c\nb\na\n");
  ASSERT_EQ(chmod(folder.file("data/a.txt").c_str(), 0640), 0);
  ASSERT_EQ(symlink("data/a.txt", folder.file("link.txt").c_str()), 0);
  auto r = run_ordly({"/O", "link.txt", "link.txt"}, "", folder.path());
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(folder.read("data/a.txt"), crlf("a\nb\nc\n"));
  struct stat info;
  ASSERT_EQ(lstat(folder.file("link.txt").c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  ASSERT_EQ(stat(folder.file("data/a.txt").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(folder.names(), (std::vector<std::string>{"data", "link.txt"}));
}

TEST(OrdlyOutput, AnOutputFileThatCannotBeWrittenWholeIsAnError) {
  TempFolder folder;
  std::string text;
  for (int i = 0; i < 1000; ++i) text += "line\n";
  RunOptions options;
  options.folder = folder.path();
  options.input = text;
  options.file_size_limit = 4000;
  auto r = suite_test::run_program("ordly", {"/O", "out.txt"}, options);
  EXPECT_EQ(r.signal, 0);
  EXPECT_EQ(r.status, 4);
  EXPECT_EQ(r.err, BANNER + "Can't open 'out.txt'.\r\n\r\n");
}

TEST(OrdlyOutput, AnErrorBeforeOutputLeavesTheOutputFileAsItWas) {
  TempFolder folder;
  folder.write("a.txt", "c\nb\na\n");
  auto r = run_ordly({"/Oa.txt", "a.txt", "missing.txt"}, "", folder.path());
  EXPECT_EQ(r.status, 4);
  EXPECT_EQ(folder.read("a.txt"), "c\nb\na\n");
  // The output is still created at once.
  r = run_ordly({"/O", "new.txt", "missing.txt"}, "", folder.path());
  EXPECT_EQ(r.status, 4);
  EXPECT_TRUE(folder.exists("new.txt"));
  EXPECT_EQ(folder.read("new.txt"), "");
}

TEST(OrdlyOutput, EmptyInputEmptiesTheOutputFile) {
  TempFolder folder;
  folder.write("out.txt", "old\n");
  folder.write("empty.txt", "");
  EXPECT_EQ(run_ordly({"/O", "out.txt", "empty.txt"}, "", folder.path()).status, 0);
  EXPECT_EQ(folder.read("out.txt"), "");
}

// Runs Ordly in the folder with its error stream closed; returns the exit
// status.
int run_with_error_stream_closed(const TempFolder& folder, const std::vector<std::string>& arguments) {
  suite_test::RunOptions options;
  options.folder = folder.path();
  options.close_error = true;
  return suite_test::run_program("ordly", arguments, options).status;
}

TEST(OrdlyOutput, MessagesForAClosedErrorStreamNeverReachTheOutputFile) {
  TempFolder folder;
  std::string input;
  for (int i = 0; i < 15361; ++i) input += "z\n";
  folder.write("in.txt", input);
  // '/G' writes a message when the run spills.
  EXPECT_EQ(run_with_error_stream_closed(folder, {"/G", "/O", "out.txt", "in.txt"}), 0);
  EXPECT_TRUE(folder.read("out.txt") == crlf(input));
  EXPECT_EQ(run_with_error_stream_closed(folder, {"/O", "out.txt", "missing.txt"}), 4);
  EXPECT_TRUE(folder.read("out.txt") == crlf(input));
}

}  // namespace
