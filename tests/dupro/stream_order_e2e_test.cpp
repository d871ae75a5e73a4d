// Standard output and the error stream shown together (a terminal, or one
// log of both): the banner, the names and the summary come before the
// messages and prompts that the run wrote after them.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "tests/dupro/dupro_test_text.h"
#include "tests/dupro/dupro_test_tree.h"
#include "tests/support/run_program.h"

namespace {

using dupro_test::BANNER;
using dupro_test::printed;
using dupro_test::USAGE;
using dupro_test::WIPE;

struct MergedRun {
  std::string output;  // both streams, in the order their bytes arrived
  int status = -1;
};

// Runs dupro in its own session (no terminal) with standard output and the
// error stream going to one pipe; with `reader_gone`, nobody reads that
// pipe (as when the program's output was piped into a program that has
// ended), and a broken pipe has its default effect.
MergedRun run_merged(const std::vector<std::string>& arguments, const std::string& folder,
                     bool reader_gone = false) {
  suite_test::RunOptions options;
  options.folder = folder;
  options.merge_streams = true;
  if (reader_gone) options.close_output_after = 0;
  suite_test::RunResult result = suite_test::run_program("dupro", arguments, options);
  return {result.out, result.status};
}

TEST(DuproStreamOrder, BannerComesBeforeTheMessage) {
  suite_test::TempFolder folder;
  MergedRun run = run_merged({"-Z"}, folder.path());
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.output, BANNER + "Unknown option.\r\n" + USAGE);
}

TEST(DuproStreamOrder, NamesAndSummaryComeBeforeLaterPromptsAndErrors) {
  suite_test::TempFolder folder;
  mkdir(folder.file("src").c_str(), 0777);
  folder.write("src/a", "a");
  MergedRun run = run_merged({"-W", "src", "dst"}, folder.path());
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.output, printed(BANNER + "\"dst\" directory has been created\r\n" + folder.path() + "/src/a\r\n" +
                            "\t1 file copied. 1 directory created.\r\nPress any key to end." + WIPE));

  folder.write("src/b", "b");
  chmod(folder.file("dst/a").c_str(), 0444);
  run = run_merged({"src", "dst"}, folder.path());
  // The order the platform lists the two files in is its own.
  std::string copied = printed(folder.path() + "/src/b\r\n");
  std::string question = printed("Replace dst/a? (Y/N): " + WIPE);
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(run.output == BANNER + copied + question + "\t1 file copied. " ||
              run.output == BANNER + question + copied + "\t1 file copied. ")
      << run.output;
}

// Output that nobody reads any more is not a reason to stop a copy half
// way: the copy is finished and its finishing steps done.
TEST(DuproStreamOrder, CopyGoesOnWhenNobodyReadsTheOutput) {
  suite_test::TempFolder folder;
  mkdir(folder.file("src").c_str(), 0777);
  folder.write("src/a", "a");
  // The pause writes out the banner first, into the broken pipe.
  MergedRun run = run_merged({"-PX", "src", "dst"}, folder.path(), true);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(folder.read("dst/a"), "a");
  EXPECT_FALSE(folder.exists("src/a"));
}

}  // namespace
