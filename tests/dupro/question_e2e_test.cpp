#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/dupro/dupro_test_text.h"
#include "tests/dupro/dupro_test_tree.h"
#include "tests/support/run_program.h"

namespace {

using namespace dupro_test;
using dupro::platform::ARCHIVE;
using dupro::platform::READ_ONLY;
using suite_test::RunResult;
using suite_test::TerminalSession;

class DuproQuestions : public ::testing::Test {
 protected:
  void SetUp() override {
    make_folder(folder_.file("src"));
    folder_.write("src/a", "a");
  }
  std::string source(const std::string& name) const { return folder_.file("src/" + name); }
  suite_test::TempFolder folder_;
};

TEST_F(DuproQuestions, ConfirmEachFileTakesOnlyYes) {
  struct Case {
    std::string keys;
    bool copied;
  };
  const std::string question = printed(source("a") + "\t(Y/N): ");
  for (const Case& c : {Case{"y", true}, Case{"Y", true}, Case{"n", false}, Case{"\x1b[B", false}}) {
    unlink(folder_.file("dst/a").c_str());
    TerminalSession session("dupro", {"-C", "src", "dst"}, folder_.path());
    ASSERT_TRUE(session.wait_for_error_text(question));
    type_keys(session, c.keys);
    RunResult result = session.finish();
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, question + WIPE);
    EXPECT_EQ(folder_.exists("dst/a"), c.copied) << c.keys;
  }
}

// A file is read at the size it was listed with: one that grew while its
// question waited is copied only in part, so option X keeps it.
TEST_F(DuproQuestions, SourceGrownBeforeItWasReadIsNotDeleted) {
  const std::string question = printed(source("a") + "\t(Y/N): ");
  TerminalSession session("dupro", {"-CX", "src", "dst"}, folder_.path());
  ASSERT_TRUE(session.wait_for_error_text(question));
  folder_.write("src/a", "a and more");
  type_keys(session, "y");
  RunResult result = session.finish();
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(folder_.read("dst/a"), "a");
  EXPECT_EQ(folder_.read("src/a"), "a and more");
  EXPECT_EQ(count_of(result.out, printed("Could not delete " + source("a") + "\r\n")), 1u);
}

TEST_F(DuproQuestions, OtherLettersAreIgnored) {
  const std::string question = printed(source("a") + "\t(Y/N): ");
  TerminalSession session("dupro", {"-C", "src", "dst"}, folder_.path());
  ASSERT_TRUE(session.wait_for_error_text(question));
  type_keys(session, "q");
  usleep(200 * 1000);
  EXPECT_FALSE(session.wait_for_error_text(question + WIPE, 0));
  type_keys(session, "n");
  RunResult result = session.finish();
  EXPECT_EQ(result.out, BANNER + "\t");
  EXPECT_FALSE(folder_.exists("dst/a"));
}

TEST_F(DuproQuestions, ReplaceAndDeleteAnsweredYes) {
  make_folder(folder_.file("dst"));
  folder_.write("dst/a", "old");
  set_attributes(folder_.file("dst/a"), READ_ONLY);
  set_attributes(source("a"), READ_ONLY | ARCHIVE);
  TerminalSession session("dupro", {"-X", "src", "dst"}, folder_.path());
  ASSERT_TRUE(session.wait_for_error_text(printed("Replace dst/a? (Y/N): ")));
  type_keys(session, "y");
  const std::string deleting = printed("Delete the read-only file: " + source("a") + "? (Y/N): ");
  ASSERT_TRUE(session.wait_for_error_text(deleting));
  type_keys(session, "y");
  RunResult result = session.finish();
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, printed(BANNER + source("a") + "\r\n\t1 file copied. "));
  EXPECT_EQ(folder_.read("dst/a"), "a");
  EXPECT_EQ(attributes_of(folder_.file("dst/a")), READ_ONLY | ARCHIVE);
  EXPECT_FALSE(folder_.exists("src/a"));
}

// A write that fails after earlier flushes wrote the start of the file:
// a retry reads that start from the source again.
TEST_F(DuproQuestions, RetryAfterAnEarlierFlushRewritesFromTheSource) {
  constexpr std::size_t MIB = 1024 * 1024;
  folder_.write("src/a", binary_bytes(12 * MIB, 3));
  const std::string question = printed("Retry writing " + source("a") + "? (Y/N): ");
  // The file size limit holds for the whole run, so every attempt fails at
  // 7 MiB: the first after writing the held part, the retry after the
  // rewritten first 5 MiB and the held part.
  struct rlimit saved;
  getrlimit(RLIMIT_FSIZE, &saved);
  struct rlimit limited = saved;
  limited.rlim_cur = 7 * MIB;
  setrlimit(RLIMIT_FSIZE, &limited);
  ignore_file_size_signal_under_wine(true);
  suite_test::TerminalSession session("dupro", {"-X", "src", "dst"}, folder_.path());
  setrlimit(RLIMIT_FSIZE, &saved);
  ignore_file_size_signal_under_wine(false);
  ASSERT_TRUE(session.wait_for_error_text(question));
  type_keys(session, "y");
  ASSERT_TRUE(session.wait_for_error_text(question + WIPE + question));
  type_keys(session, "n");
  RunResult result = session.finish();
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, BANNER + "\"dst\" directory has been created\r\n\t1 directory created.");
  EXPECT_FALSE(folder_.exists("dst/a"));
  EXPECT_EQ(folder_.read("src/a"), binary_bytes(12 * MIB, 3));
}

// The retry reads the start of the file from the source again only while
// the source is as it was read: a source changed meanwhile would give a
// copy whose start does not match the rest.
TEST_F(DuproQuestions, RetryDoesNotMixAChangedSourceIntoTheCopy) {
  if (suite_test::programs_run_under_wine()) {
    GTEST_SKIP() << "under Wine the program is not the launched process, whose file-size limit the test lifts";
  }
  constexpr std::size_t MIB = 1024 * 1024;
  folder_.write("src/a", binary_bytes(12 * MIB, 3));
  const std::string question = printed("Retry writing " + source("a") + "? (Y/N): ");
  struct rlimit saved;
  getrlimit(RLIMIT_FSIZE, &saved);
  struct rlimit limited = saved;
  limited.rlim_cur = 7 * MIB;
  setrlimit(RLIMIT_FSIZE, &limited);
  ignore_file_size_signal_under_wine(true);
  suite_test::TerminalSession session("dupro", {"-X", "src", "dst"}, folder_.path());
  setrlimit(RLIMIT_FSIZE, &saved);
  ignore_file_size_signal_under_wine(false);
  ASSERT_TRUE(session.wait_for_error_text(question));
  // From here on every write would go through.
  ASSERT_EQ(prlimit(session.pid(), RLIMIT_FSIZE, &saved, nullptr), 0);
  folder_.write("src/a", binary_bytes(12 * MIB, 4));
  type_keys(session, "y");
  ASSERT_TRUE(session.wait_for_error_text(question + WIPE + question));
  type_keys(session, "n");
  RunResult result = session.finish();
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, BANNER + "\"dst\" directory has been created\r\n\t1 directory created.");
  EXPECT_FALSE(folder_.exists("dst/a"));
  EXPECT_EQ(folder_.read("src/a"), binary_bytes(12 * MIB, 4));
}

// A large file's target is written across flushes; one that fails in its
// last flush is deleted only while its path still names the file the run
// made: another file put there while a later question waited stays.
TEST_F(DuproQuestions, FailedTargetIsNotDeletedWhenAnotherFileTookItsPlace) {
  constexpr std::size_t MIB = 1024 * 1024;
  unlink(source("a").c_str());
  folder_.write("src/big", binary_bytes(6 * MIB, 5));
  make_folder(folder_.file("src/sub"));
  folder_.write("src/sub/g", "g");
  struct rlimit saved;
  getrlimit(RLIMIT_FSIZE, &saved);
  struct rlimit limited = saved;
  limited.rlim_cur = 5 * MIB + MIB / 2;
  setrlimit(RLIMIT_FSIZE, &limited);
  ignore_file_size_signal_under_wine(true);
  suite_test::TerminalSession session("dupro", {"-C", "src", "dst"}, folder_.path());
  setrlimit(RLIMIT_FSIZE, &saved);
  ignore_file_size_signal_under_wine(false);
  const std::string first = printed(source("big") + "\t(Y/N): ");
  ASSERT_TRUE(session.wait_for_error_text(first));
  type_keys(session, "y");
  ASSERT_TRUE(session.wait_for_error_text(printed(first + WIPE + source("sub/g") + "\t(Y/N): ")));
  ASSERT_EQ(rename(folder_.file("dst/big").c_str(), folder_.file("dst/big.moved").c_str()), 0);
  folder_.write("dst/big", "someone else's");
  type_keys(session, "n");
  ASSERT_TRUE(session.wait_for_error_text(printed("Retry writing " + source("big") + "? (Y/N): ")));
  type_keys(session, "n");
  RunResult result = session.finish();
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(folder_.read("dst/big"), "someone else's");
}

// A read-only source is offered for deleting; the answer is acted on only
// while its copy is still the one the run left.
TEST_F(DuproQuestions, DeleteReadOnlySourceJudgedAgainAfterTheAnswer) {
  set_attributes(source("a"), READ_ONLY | ARCHIVE);
  const std::string deleting = printed("Delete the read-only file: " + source("a") + "? (Y/N): ");
  for (bool copy_changed : {false, true}) {
    unlink(folder_.file("dst/a").c_str());
    TerminalSession session("dupro", {"-XB", "src", "dst"}, folder_.path());
    ASSERT_TRUE(session.wait_for_error_text(deleting));
    if (copy_changed) folder_.write("dst/a", "b");
    type_keys(session, "y");
    RunResult result = session.finish();
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(folder_.exists("src/a"), copy_changed);
    EXPECT_EQ(count_of(result.out, printed("Could not delete " + source("a") + "\r\n")), copy_changed ? 1u : 0u);
    if (!copy_changed) {
      folder_.write("src/a", "a");
      set_attributes(source("a"), READ_ONLY | ARCHIVE);
    }
  }
}

TEST_F(DuproQuestions, MultipleCopiesWriteAgainFromMemory) {
  TerminalSession session("dupro", {"-K", "src", "dst"}, folder_.path());
  ASSERT_TRUE(session.wait_for_error_text("Another copy? (Y/N): "));
  ASSERT_EQ(unlink(folder_.file("dst/a").c_str()), 0);
  folder_.write("src/a", "changed after reading");
  type_keys(session, "y");
  ASSERT_TRUE(session.wait_for_error_text("Another copy? (Y/N): " + WIPE + "Another copy? (Y/N): "));
  EXPECT_EQ(folder_.read("dst/a"), "a");
  type_keys(session, "n");
  RunResult result = session.finish();
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, printed(BANNER + "\"dst\" directory has been created\r\n" + source("a") + "\r\n" + source("a") +
                            "\r\n\t2 files copied. 1 directory created."));
}

// A source that changes after it was read holds data that its copy lacks:
// option X keeps it.
TEST_F(DuproQuestions, SourceChangedAfterReadingIsNotDeleted) {
  folder_.write("src/b", "b");
  TerminalSession session("dupro", {"-KX", "src", "dst"}, folder_.path());
  ASSERT_TRUE(session.wait_for_error_text("Another copy? (Y/N): "));
  folder_.write("src/a", "a and more written after reading");
  type_keys(session, "n");
  RunResult result = session.finish();
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(folder_.read("src/a"), "a and more written after reading");
  EXPECT_EQ(folder_.read("dst/a"), "a");
  EXPECT_FALSE(folder_.exists("src/b"));
  EXPECT_EQ(folder_.read("dst/b"), "b");
  EXPECT_NE(result.out.find(printed("Could not delete " + source("a") + "\r\n")), std::string::npos) << result.out;
}

// Nor does it delete a source whose copy is gone before the end, or was
// replaced by a later file of the same name.
TEST_F(DuproQuestions, SourceWhoseCopyIsGoneIsNotDeleted) {
  folder_.write("src/b", "b");
  TerminalSession session("dupro", {"-KX", "src", "dst"}, folder_.path());
  ASSERT_TRUE(session.wait_for_error_text("Another copy? (Y/N): "));
  ASSERT_EQ(unlink(folder_.file("dst/a").c_str()), 0);
  folder_.write("dst/b", "replaced");
  type_keys(session, "n");
  RunResult result = session.finish();
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(folder_.read("src/a"), "a");
  EXPECT_EQ(folder_.read("src/b"), "b");
  EXPECT_NE(result.out.find(printed("Could not delete " + source("a") + "\r\n")), std::string::npos) << result.out;
  EXPECT_NE(result.out.find(printed("Could not delete " + source("b") + "\r\n")), std::string::npos) << result.out;
}

// A file larger than one flush releases the list during the walk, so the
// next cycle walks and reads the source again; the entries left from the
// earlier cycle are not written a second time.
TEST_F(DuproQuestions, MultipleCopiesWalkAgainAfterARelease) {
  constexpr std::size_t MIB = 1024 * 1024;
  unlink(source("a").c_str());
  folder_.write("src/big", binary_bytes(6 * MIB, 1));
  TerminalSession session("dupro", {"-K", "src", "dst"}, folder_.path());
  ASSERT_TRUE(session.wait_for_error_text("Another copy? (Y/N): "));
  EXPECT_EQ(folder_.read("dst/big"), binary_bytes(6 * MIB, 1));
  folder_.write("src/big", binary_bytes(6 * MIB, 2));
  type_keys(session, "y");
  ASSERT_TRUE(session.wait_for_error_text("Another copy? (Y/N): " + WIPE + "Another copy? (Y/N): "));
  type_keys(session, "n");
  RunResult result = session.finish();
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(folder_.read("dst/big"), binary_bytes(6 * MIB, 2));
  EXPECT_EQ(count_of(result.out, printed(source("big") + "\r\n")), 2u);
  EXPECT_EQ(summary_of(result.out), "\t2 files copied. 1 directory created.");
}

// A copy rewritten with other bytes of the same size and time is not the
// copy the run left, nor is a source so rewritten the one that was read.
TEST_F(DuproQuestions, SourceOrCopyRewrittenAlikeIsNotDeleted) {
  folder_.write("src/b", "b");
  folder_.write("src/c", "c");
  TerminalSession session("dupro", {"-KX", "src", "dst"}, folder_.path());
  ASSERT_TRUE(session.wait_for_error_text("Another copy? (Y/N): "));
  auto rewrite_alike = [&](const std::string& name) {
    struct stat before;
    ASSERT_EQ(stat(folder_.file(name).c_str(), &before), 0);
    folder_.write(name, "z");
    struct timespec times[2] = {before.st_atim, before.st_mtim};
    utimensat(AT_FDCWD, folder_.file(name).c_str(), times, 0);
  };
  rewrite_alike("dst/a");
  rewrite_alike("src/b");
  type_keys(session, "n");
  RunResult result = session.finish();
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(folder_.read("src/a"), "a");
  EXPECT_EQ(folder_.read("src/b"), "z");
  EXPECT_FALSE(folder_.exists("src/c"));
  EXPECT_EQ(count_of(result.out, printed("Could not delete " + source("a") + "\r\n")), 1u);
  EXPECT_EQ(count_of(result.out, printed("Could not delete " + source("b") + "\r\n")), 1u);
}

// With option K the finishing steps wait until the cycles end: a flush
// inside a large file releases the list during the first cycle, and the
// second cycle still finds and copies every file. Each source then goes
// once; a cancelled run deletes none.
TEST_F(DuproQuestions, MultipleCopiesDeleteOnlyWhenTheCyclesEnd) {
  if (suite_test::programs_run_under_wine()) GTEST_SKIP() << "Wine lets the terminal turn Ctrl-C into an interrupt";
  constexpr std::size_t MIB = 1024 * 1024;
  folder_.write("src/c", "c");
  folder_.write("src/big", binary_bytes(6 * MIB, 1));
  const std::string another = "Another copy? (Y/N): ";
  for (const char* last_key : {"n", "\x03"}) {
    TerminalSession session("dupro", {"-KXB", "src", "dst"}, folder_.path());
    ASSERT_TRUE(session.wait_for_error_text(another));
    EXPECT_TRUE(folder_.exists("src/a") && folder_.exists("src/c"));
    type_keys(session, "y");
    ASSERT_TRUE(session.wait_for_error_text(another + WIPE + another));
    type_keys(session, last_key);
    RunResult result = session.finish();
    if (std::string(last_key) == "n") {
      EXPECT_EQ(result.status, 0);
      EXPECT_EQ(summary_of(result.out), "\t6 files copied. 1 directory created.");
      EXPECT_EQ(count_of(result.out, printed(source("big") + "\r\n")), 2u);
      EXPECT_FALSE(folder_.exists("src/a") || folder_.exists("src/c") || folder_.exists("src/big"));
      EXPECT_EQ(count_of(result.out, "Could not delete"), 0u);
    } else {
      EXPECT_EQ(result.status, 1);
      EXPECT_TRUE(folder_.exists("src/a") && folder_.exists("src/c") && folder_.exists("src/big"));
      EXPECT_EQ(attributes_of(source("a")), ARCHIVE);
    }
    EXPECT_EQ(folder_.read("dst/big"), binary_bytes(6 * MIB, 1));
    EXPECT_EQ(folder_.read("dst/a") + folder_.read("dst/c"), "ac");
    // The next round starts over: the sources back, the copies gone.
    folder_.write("src/a", "a");
    folder_.write("src/c", "c");
    folder_.write("src/big", binary_bytes(6 * MIB, 1));
    for (const char* name : {"dst/a", "dst/c", "dst/big"}) unlink(folder_.file(name).c_str());
  }
}

TEST_F(DuproQuestions, CtrlCCancelsWithoutFinishingSteps) {
  if (suite_test::programs_run_under_wine()) GTEST_SKIP() << "Wine lets the terminal turn Ctrl-C into an interrupt";
  TerminalSession session("dupro", {"-KX", "src", "dst"}, folder_.path());
  ASSERT_TRUE(session.wait_for_error_text("Another copy? (Y/N): "));
  type_keys(session, "\x03");
  RunResult result = session.finish();
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "Another copy? (Y/N): Program cancelled.\r\n");
  EXPECT_EQ(summary_of(result.out), "\t1 file copied. 1 directory created.");
  EXPECT_TRUE(folder_.exists("src/a"));
  EXPECT_EQ(folder_.read("dst/a"), "a");
}

TEST_F(DuproQuestions, CtrlCAtAQuestionInTheExitHandlerStillWritesTheSummary) {
  if (suite_test::programs_run_under_wine()) GTEST_SKIP() << "Wine lets the terminal turn Ctrl-C into an interrupt";
  set_attributes(source("a"), READ_ONLY | ARCHIVE);
  folder_.write("src/b", "b");
  set_attributes(source("b"), READ_ONLY | ARCHIVE);
  TerminalSession session("dupro", {"-WX", "src", "dst"}, folder_.path());
  ASSERT_TRUE(session.wait_for_error_text("Delete the read-only file: "));
  type_keys(session, "\x03");
  ASSERT_TRUE(session.wait_for_error_text("Press any key to end."));
  type_keys(session, " ");
  RunResult result = session.finish();
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(count_of(result.err, "Delete the read-only file: "), 1u);
  EXPECT_EQ(count_of(result.err, "Program cancelled.\r\n"), 1u);
  EXPECT_EQ(summary_of(result.out), "\t2 files copied. 1 directory created.");
  EXPECT_TRUE(folder_.exists("src/a") && folder_.exists("src/b"));
}

}  // namespace
