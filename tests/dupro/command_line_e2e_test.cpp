#include <gtest/gtest.h>

#include <sys/stat.h>

#include "tests/dupro/dupro_test_text.h"
#include "tests/dupro/dupro_test_tree.h"
#include "tests/support/run_program.h"

namespace {

using dupro_test::BANNER;
using dupro_test::USAGE;
using suite_test::run_program;

struct ErrorCase {
  std::vector<std::string> arguments;
  std::string err;
  int status;
};

TEST(DuproCommandLine, ErrorsWithTheirStreamsTextsAndStatuses) {
  suite_test::TempFolder folder;
  mkdir(folder.file("src").c_str(), 0777);
  const std::string missing = "Missing source.\r\n" + USAGE;
  const std::string unknown = "Unknown option.\r\n" + USAGE;
  const std::string bad_date = "Invalid date format.\r\n" + USAGE;
  const std::vector<ErrorCase> cases = {
      {{}, missing, 4},
      {{"-?"}, USAGE, 0},
      {{"src", "/?"}, USAGE, 0},
      {{"-Z", "-?"}, unknown, 2},
      {{"-z", "src"}, unknown, 2},
      {{"src", "-F"}, missing, 4},
      {{"src", "-T"}, missing, 4},
      {{"a", "b", "c"}, missing, 4},
      {{"src", "-T", "x", "dest"}, missing, 4},
      {{"src", "-F", "12-31-1996"}, bad_date, 16},
      {{"src", "-F", "01-01-00"}, bad_date, 16},
      {{"src", "-F", "12/31/96"}, bad_date, 16},
      {{"-F12-31-96", "src"}, bad_date, 16},
      {{"-F12-31-96"}, missing, 4},
      {{"Q:\\X"}, "Invalid source.\r\n", 32},
      {{"A:"}, "Invalid source.\r\n", 32},
      {{"nowhere/*.*"}, "Invalid source.\r\n", 32},
      {{"/no-such-place-here"}, unknown, 2},
  };
  for (const ErrorCase& c : cases) {
    suite_test::RunOptions run;
    run.folder = folder.path();
    suite_test::RunResult result = run_program("dupro", c.arguments, run);
    std::string shown = c.arguments.empty() ? "(none)" : c.arguments[0];
    EXPECT_EQ(result.out, BANNER) << shown;
    EXPECT_EQ(result.err, c.err) << shown;
    EXPECT_EQ(result.status, c.status) << shown;
  }
}

// The letter E takes the compare buffer as it is read: with no memory for
// it, that failure comes before an error later on the line, and after one
// earlier on it.
TEST(DuproCommandLine, CompareBufferIsTakenWhereTheLetterIsRead) {
#ifdef SUITE_SANITIZED
  GTEST_SKIP() << "an address-space limit cannot be used under AddressSanitizer";
#endif
  if (suite_test::programs_run_under_wine()) GTEST_SKIP() << "Wine cannot run a program under an address-space limit";
  suite_test::TempFolder folder;
  mkdir(folder.file("src").c_str(), 0777);
  suite_test::RunOptions run;
  run.folder = folder.path();
  run.address_space_limit = 4ul << 20;
  suite_test::RunResult first = run_program("dupro", {"-EZ", "src"}, run);
  EXPECT_EQ(first.status, 128);
  EXPECT_EQ(first.out, BANNER);
  EXPECT_EQ(first.err, "Not enough memory\r\n");
  suite_test::RunResult later = run_program("dupro", {"-ZE", "src"}, run);
  EXPECT_EQ(later.status, 2);
  EXPECT_EQ(later.err, "Unknown option.\r\n" + USAGE);
  suite_test::RunResult usage = run_program("dupro", {"-E?"}, run);
  EXPECT_EQ(usage.status, 128);
  EXPECT_EQ(usage.err, "Not enough memory\r\n");
}

TEST(DuproCommandLine, ValidSourcesAreAccepted) {
  suite_test::TempFolder folder;
  mkdir(folder.file("src").c_str(), 0777);
  suite_test::RunOptions run;
  run.folder = folder.path();
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"src", "-F", "2-30-96", "-T", "out"}, {dupro_test::printed(folder.path() + "/src"), "-E"},
        {"src\\*.txt"}, {"-", "-T", dupro_test::printed("/no/such/target")}}) {
    if (arguments[0] == "-") mkdir(folder.file("-").c_str(), 0777);
    suite_test::RunResult result = run_program("dupro", arguments, run);
    EXPECT_EQ(result.status, 0) << arguments[0] << result.err;
    EXPECT_EQ(result.out.substr(0, BANNER.size()), BANNER);
  }
}

}  // namespace
