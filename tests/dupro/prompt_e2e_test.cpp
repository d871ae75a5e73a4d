#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "tests/dupro/dupro_test_text.h"
#include "tests/dupro/dupro_test_tree.h"
#include "tests/support/run_program.h"

namespace {

using dupro_test::BANNER;
using dupro_test::type_keys;
using dupro_test::WIPE;

const std::string PAUSE = "Press ENTER to continue.";
const std::string WAIT = "\r\nPress any key to end.";

class DuproPrompt : public ::testing::Test {
 protected:
  void SetUp() override { mkdir(folder_.file("src").c_str(), 0777); }
  suite_test::TempFolder folder_;
};

TEST_F(DuproPrompt, EnterIgnoresLettersAndContinues) {
  suite_test::TerminalSession session("dupro", {"-P", "src"}, folder_.path());
  ASSERT_TRUE(session.wait_for_error_text(PAUSE));
  type_keys(session, "xy");
  usleep(200 * 1000);
  EXPECT_FALSE(session.wait_for_error_text(PAUSE + WIPE, 0));
  type_keys(session, "\r");
  suite_test::RunResult result = session.finish();
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, PAUSE + WIPE);
}

TEST_F(DuproPrompt, CursorKeyEndsTheWaitLikeEnter) {
  suite_test::TerminalSession session("dupro", {"-P", "src"}, folder_.path());
  ASSERT_TRUE(session.wait_for_error_text(PAUSE));
  type_keys(session, "\x1b[A");
  suite_test::RunResult result = session.finish();
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, PAUSE + WIPE);
}

TEST_F(DuproPrompt, CtrlCCancelsBeforeTheSourceIsResolved) {
  if (suite_test::programs_run_under_wine()) GTEST_SKIP() << "Wine lets the terminal turn Ctrl-C into an interrupt";
  suite_test::TerminalSession session("dupro", {"-P", "nowhere/x"}, folder_.path());
  ASSERT_TRUE(session.wait_for_error_text(PAUSE));
  type_keys(session, "\x03");
  suite_test::RunResult result = session.finish();
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, BANNER);
  EXPECT_EQ(result.err, PAUSE + "Program cancelled.\r\n");
}

TEST_F(DuproPrompt, KeysTypedBeforeAPromptDoNotAnswerIt) {
  if (suite_test::programs_run_under_wine()) GTEST_SKIP() << "Wine lets the terminal turn Ctrl-C into an interrupt";
  suite_test::TerminalSession session("dupro", {"-PW", "src"}, folder_.path());
  ASSERT_TRUE(session.wait_for_error_text(PAUSE));
  // Enter ends the first prompt; the letter after it is typed ahead of the
  // wait at the end and must be discarded there.
  type_keys(session, "\rq");
  ASSERT_TRUE(session.wait_for_error_text(WAIT));
  usleep(300 * 1000);
  EXPECT_FALSE(session.wait_for_error_text(WAIT + WIPE, 0));
  type_keys(session, "\x03");  // ends a wait without keys, without cancelling
  suite_test::RunResult result = session.finish();
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, PAUSE + WIPE + WAIT + WIPE);
}

TEST_F(DuproPrompt, WithoutATerminalPromptsEndAtOnce) {
  suite_test::RunOptions run;
  run.folder = folder_.path();
  run.timeout_seconds = 20;
  suite_test::RunResult result = suite_test::run_program("dupro", {"-P", "-W", "src"}, run);
  EXPECT_FALSE(result.timed_out);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, PAUSE + WIPE + WAIT + WIPE);
  suite_test::RunResult error = suite_test::run_program("dupro", {"-W", "Q:\\X"}, run);
  EXPECT_EQ(error.status, 32);
  EXPECT_EQ(error.out, BANNER);
  EXPECT_EQ(error.err, "Invalid source.\r\n" + WAIT + WIPE);
}

}  // namespace
