#include <gtest/gtest.h>

#include <sys/stat.h>

#include "tests/dupro/dupro_test_text.h"
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

TEST(DuproCommandLine, ValidSourcesAreAccepted) {
  suite_test::TempFolder folder;
  mkdir(folder.file("src").c_str(), 0777);
  suite_test::RunOptions run;
  run.folder = folder.path();
  for (const std::vector<std::string>& arguments :
       {std::vector<std::string>{"src", "-F", "2-30-96", "-T", "out"}, {folder.path() + "/src", "-E"},
        {"src\\*.txt"}, {"-", "-T", "/no/such/target"}}) {
    if (arguments[0] == "-") mkdir(folder.file("-").c_str(), 0777);
    suite_test::RunResult result = run_program("dupro", arguments, run);
    EXPECT_EQ(result.status, 0) << arguments[0] << result.err;
    EXPECT_EQ(result.out.substr(0, BANNER.size()), BANNER);
  }
}

}  // namespace
