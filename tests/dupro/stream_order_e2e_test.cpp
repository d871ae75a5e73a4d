// Standard output and the error stream shown together (a terminal, or one
// log of both): the banner, the names and the summary come before the
// messages and prompts that the run wrote after them.
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/dupro/dupro_test_text.h"
#include "tests/support/run_program.h"

namespace {

using dupro_test::BANNER;
using dupro_test::USAGE;
using dupro_test::WIPE;

struct MergedRun {
  std::string output;  // both streams, in the order their bytes arrived
  int status = -1;
};

// Runs dupro in its own session (no terminal) with standard output and the
// error stream going to one pipe; with `reader_gone`, nobody reads that
// pipe any more (as when the program's output was piped into a program
// that has ended), and a broken pipe has its default effect.
MergedRun run_merged(const std::vector<std::string>& arguments, const std::string& folder,
                     bool reader_gone = false) {
  MergedRun run;
  int pipe_ends[2];
  if (pipe(pipe_ends) != 0) return run;
  if (reader_gone) close(pipe_ends[0]);
  std::string program = suite_test::program_path("dupro");
  std::vector<char*> argv{program.data()};
  std::vector<std::string> copies = arguments;
  for (std::string& argument : copies) argv.push_back(argument.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], 1);
  posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], 2);
  if (!reader_gone) posix_spawn_file_actions_addclose(&actions, pipe_ends[0]);
  posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t default_signals;
  sigemptyset(&default_signals);
  sigaddset(&default_signals, SIGPIPE);
  posix_spawnattr_setsigdefault(&attributes, &default_signals);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF);
  pid_t pid = 0;
  int spawned = posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  close(pipe_ends[1]);
  if (spawned == 0 && reader_gone) {
    int wait_status = 0;
    waitpid(pid, &wait_status, 0);
    if (WIFEXITED(wait_status)) run.status = WEXITSTATUS(wait_status);
    return run;
  }
  if (spawned == 0) {
    char buffer[4096];
    for (ssize_t got; (got = read(pipe_ends[0], buffer, sizeof buffer)) > 0;) run.output.append(buffer, got);
    int wait_status = 0;
    waitpid(pid, &wait_status, 0);
    if (WIFEXITED(wait_status)) run.status = WEXITSTATUS(wait_status);
  }
  close(pipe_ends[0]);
  return run;
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
  EXPECT_EQ(run.output, BANNER + "\"dst\" directory has been created\r\n" + folder.path() + "/src/a\r\n" +
                            "\t1 file copied. 1 directory created.\r\nPress any key to end." + WIPE);

  folder.write("src/b", "b");
  chmod(folder.file("dst/a").c_str(), 0444);
  run = run_merged({"src", "dst"}, folder.path());
  // The order the platform lists the two files in is its own.
  std::string copied = folder.path() + "/src/b\r\n";
  std::string question = "Replace dst/a? (Y/N): " + WIPE;
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
