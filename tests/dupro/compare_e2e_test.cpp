#include <gtest/gtest.h>

#include <functional>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
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

constexpr std::size_t MIB = 1024 * 1024;

class DuproCompare : public ::testing::Test {
 protected:
  void SetUp() override {
    make_folder(folder_.file("src"));
    make_folder(folder_.file("dst"));
  }
  RunResult run(const std::vector<std::string>& arguments) { return run_dupro_in(folder_, arguments); }
  // Writes a file into both trees with the same time stamp.
  void pair(const std::string& name, const std::string& source, const std::string& target) {
    folder_.write("src/" + name, source);
    folder_.write("dst/" + name, target);
    set_time(folder_.file("src/" + name), 1999, 3, 4, 5, 6, 8);
    set_time(folder_.file("dst/" + name), 1999, 3, 4, 5, 6, 8);
  }
  // A target that exists with the source's size, date and attributes but
  // cannot be opened: a socket, which no one can open, the superuser
  // included. Its source is an empty file.
  void unopenable_pair(const std::string& name) {
    folder_.write("src/" + name, "");
    int handle = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(handle, 0);
    struct sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::string path = folder_.file("dst/" + name);
    ASSERT_LT(path.size(), sizeof address.sun_path);
    path.copy(address.sun_path, path.size());
    ASSERT_EQ(bind(handle, reinterpret_cast<struct sockaddr*>(&address), sizeof address), 0);
    close(handle);
    chmod(path.c_str(), 0644);
    set_time(folder_.file("src/" + name), 1999, 3, 4, 5, 6, 8);
    set_time(path, 1999, 3, 4, 5, 6, 8);
  }
  suite_test::TempFolder folder_;
};

TEST_F(DuproCompare, EachKindOfDifferenceHasItsLine) {
  pair("equal", "same bytes", "same bytes");
  pair("size", "abc", "abcd");
  pair("date", "abc", "abc");
  set_time(folder_.file("dst/date"), 1999, 3, 5, 5, 6, 8);
  pair("time", "abc", "abc");
  set_time(folder_.file("dst/time"), 1999, 3, 4, 5, 6, 10);
  pair("attributes", "abc", "abc");
  set_attributes(folder_.file("dst/attributes"), READ_ONLY | ARCHIVE);
  pair("content", "abcdef", "abcdeg");
  pair("archive", "abc", "abc");
  set_attributes(folder_.file("dst/archive"), 0);
  pair("empty", "", "");
  folder_.write("src/missing", "m");
  RunResult result = run({"-E", "src", "dst"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(sorted_lines(result.out),
            sorted(printed_lines({BANNER_LINE, "dst/equal is equal.", "dst/size has different size.",
                    "dst/date has different date stamp.", "dst/time has different time stamp.",
                    "dst/attributes has different attributes.", "dst/content is different.",
                    "dst/archive is equal.", "dst/empty is equal.", "dst/missing does not exists."})));
  EXPECT_EQ(summary_of(result.out), "\t9 entries checked. 6 errors.");
  EXPECT_EQ(folder_.read("dst/content"), "abcdeg");
}

TEST_F(DuproCompare, HiddenFilesKeepTheirArchiveBits) {
  pair(".hidden", "h", "h");
  set_attributes(folder_.file("src/.hidden"), dupro::platform::HIDDEN);
  set_attributes(folder_.file("dst/.hidden"), dupro::platform::HIDDEN | ARCHIVE);
  RunResult result = run({"-E", "src", "dst"});
  EXPECT_EQ(result.out, printed(BANNER + "dst/.hidden is equal.\r\n\t1 entry checked. No error."));
  EXPECT_EQ(attributes_of(folder_.file("src/.hidden")), dupro::platform::HIDDEN | archive_bit_kept());
  // The target receives the source's attribute word after being read.
  EXPECT_EQ(attributes_of(folder_.file("dst/.hidden")), dupro::platform::HIDDEN | archive_bit_kept());
}

TEST_F(DuproCompare, SummaryForms) {
  RunResult nothing = run({"-E", "src", "dst"});
  EXPECT_EQ(nothing.out, BANNER + "\tNo entry found.");
  folder_.write("src/one", "1");
  RunResult missing = run({"-E", "src", "dst"});
  EXPECT_EQ(missing.out, printed(BANNER + "dst/one does not exists.\r\n\t1 entry checked. 1 error."));
  pair("one", "1", "1");
  RunResult equal = run({"-E", "src", "dst"});
  EXPECT_EQ(equal.out, printed(BANNER + "dst/one is equal.\r\n\t1 entry checked. No error."));
  pair("two", "2", "x");
  pair("three", "3", "y");
  RunResult errors = run({"-E", "src", "dst"});
  EXPECT_EQ(summary_of(errors.out), "\t3 entries checked. 2 errors.");
}

TEST_F(DuproCompare, LargeFilesAreComparedSliceBySlice) {
  std::string big = binary_bytes(12 * MIB + 3, 7);
  pair("big", big, big);
  std::string changed = big;
  changed.back() ^= 1;
  pair("late", big, changed);
  RunResult result = run({"-E", "src", "dst"});
  EXPECT_EQ(sorted_lines(result.out), sorted(printed_lines({BANNER_LINE, "dst/big is equal.", "dst/late is different."})));
  EXPECT_EQ(summary_of(result.out), "\t2 entries checked. 1 error.");
}

TEST_F(DuproCompare, CopyThenCompareIsEqualAndXDeletesOnlyEqualSources) {
  make_folder(folder_.file("src/sub"));
  folder_.write("src/a", binary_bytes(1000, 1));
  folder_.write("src/sub/b", binary_bytes(6 * MIB, 2));
  RunResult copy = run({"src", "copy"});
  ASSERT_EQ(copy.status, 0);
  folder_.write("src/c", "not copied");
  RunResult compare = run({"-EX", "src", "copy"});
  EXPECT_EQ(sorted_lines(compare.out), sorted(printed_lines({BANNER_LINE, "copy/a is equal.", "copy/sub/b is equal.",
                                               "copy/c does not exists."})));
  EXPECT_FALSE(folder_.exists("src/a"));
  EXPECT_FALSE(folder_.exists("src/sub/b"));
  EXPECT_TRUE(folder_.exists("src/c"));
}

TEST_F(DuproCompare, SameFolderComparesEqualAndIsNeverDeleted) {
  folder_.write("src/a", "a");
  RunResult result = run({"-EX", "src", "src"});
  EXPECT_EQ(folder_.read("src/a"), "a");
  EXPECT_EQ(count_of(result.out, "Could not delete"), 1u);
}

// Every file of a flush is read before its first target is looked at, so a
// target that cannot be opened ends the run only after the lines of the
// entries before it, and a source that cannot be read later in the same
// flush ends it first, with no line at all.
TEST_F(DuproCompare, FileErrorsComeInTheOrderOfTheFlush) {
  if (!posix_file_kinds_are_seen()) GTEST_SKIP() << NO_POSIX_FILE_KINDS;
  pair("a", "a", "a");
  make_folder(folder_.file("src/s"));
  make_folder(folder_.file("dst/s"));
  unopenable_pair("s/b");
  RunResult target = run({"-E", "src", "dst"});
  EXPECT_EQ(target.status, 128);
  EXPECT_EQ(target.out, printed(BANNER + "dst/a is equal.\r\n\t2 entries checked. 1 error."));
  EXPECT_EQ(target.err, printed("\r\nDUPRO:\tCould not open the file dst/s/b.\r\n\tNo such device or address\r\n"));
  const std::string short_file = "/sys/kernel/mm/transparent_hugepage/enabled";
  if (access(short_file.c_str(), R_OK) != 0) return;
  // Listed at 4096 bytes, but reading gives far fewer.
  make_folder(folder_.file("src/s/t"));
  ASSERT_EQ(symlink(short_file.c_str(), folder_.file("src/s/t/c").c_str()), 0);
  RunResult source = run({"-E", "src", "dst"});
  EXPECT_EQ(source.status, 128);
  EXPECT_EQ(source.out, BANNER + "\tNo entry found.");
  EXPECT_EQ(source.err, printed("\r\nDUPRO:\tError reading file " + folder_.file("src/s/t/c") + ".\r\n\tUnknown error\r\n"));
}

// A target that stops short of its listed size is a read error; the target
// gets its attribute word back first.
TEST_F(DuproCompare, TargetThatReadsShortIsAFileError) {
  if (!posix_file_kinds_are_seen()) GTEST_SKIP() << NO_POSIX_FILE_KINDS;
  const std::string short_file = "/sys/kernel/mm/transparent_hugepage/enabled";
  struct stat listed;
  if (stat(short_file.c_str(), &listed) != 0 || access(short_file.c_str(), R_OK) != 0) GTEST_SKIP();
  folder_.write("src/x", std::string(static_cast<std::size_t>(listed.st_size), 'x'));
  struct timespec times[2] = {listed.st_mtim, listed.st_mtim};
  utimensat(AT_FDCWD, folder_.file("src/x").c_str(), times, 0);
  set_attributes(folder_.file("src/x"), attributes_of(short_file));
  ASSERT_EQ(symlink(short_file.c_str(), folder_.file("dst/x").c_str()), 0);
  RunResult result = run({"-E", "src", "dst"});
  EXPECT_EQ(result.status, 128);
  EXPECT_EQ(result.out, BANNER + "\t1 entry checked. 1 error.");
  EXPECT_EQ(result.err, printed("\r\nDUPRO:\tError reading file dst/x.\r\n\tUnknown error\r\n"));
}

// A hidden target has its attribute word changed while it is read, at the
// flush: a source that cannot be read ends the run before that, and the
// target keeps its word.
TEST_F(DuproCompare, HiddenTargetIsUntouchedWhenItsSourceCannotBeRead) {
  if (!posix_file_kinds_are_seen()) GTEST_SKIP() << NO_POSIX_FILE_KINDS;
  const std::string short_file = "/sys/kernel/mm/transparent_hugepage/enabled";
  struct stat listed;
  if (stat(short_file.c_str(), &listed) != 0 || access(short_file.c_str(), R_OK) != 0) GTEST_SKIP();
  ASSERT_EQ(symlink(short_file.c_str(), folder_.file("src/.c").c_str()), 0);
  folder_.write("dst/.c", std::string(static_cast<std::size_t>(listed.st_size), 'c'));
  struct timespec times[2] = {listed.st_mtim, listed.st_mtim};
  utimensat(AT_FDCWD, folder_.file("dst/.c").c_str(), times, 0);
  set_attributes(folder_.file("dst/.c"), dupro::platform::HIDDEN);
  RunResult result = run({"-E", "src", "dst"});
  EXPECT_EQ(result.status, 128);
  EXPECT_EQ(result.err, printed("\r\nDUPRO:\tError reading file " + folder_.file("src/.c") + ".\r\n\tUnknown error\r\n"));
  EXPECT_EQ(attributes_of(folder_.file("dst/.c")), dupro::platform::HIDDEN | archive_bit_kept());
}

// Comparing a hidden file gives its target the source's attribute word, but
// a run that ends at an earlier entry leaves the later targets untouched.
TEST_F(DuproCompare, RunEndedByAFileErrorLeavesLaterTargetsAlone) {
  if (!posix_file_kinds_are_seen()) GTEST_SKIP() << NO_POSIX_FILE_KINDS;
  unopenable_pair("a");
  make_folder(folder_.file("src/s"));
  make_folder(folder_.file("dst/s"));
  pair("s/.h", "h", "h");
  set_attributes(folder_.file("src/s/.h"), dupro::platform::HIDDEN | ARCHIVE);
  set_attributes(folder_.file("dst/s/.h"), dupro::platform::HIDDEN);
  RunResult result = run({"-E", "src", "dst"});
  EXPECT_EQ(result.status, 128);
  EXPECT_EQ(attributes_of(folder_.file("dst/s/.h")), dupro::platform::HIDDEN | archive_bit_kept());
}

// A named pipe is opened without waiting for a writer: it lists as an
// empty file, so it matches an empty source.
TEST_F(DuproCompare, NamedPipeTargetDoesNotHang) {
  if (!posix_file_kinds_are_seen()) GTEST_SKIP() << NO_POSIX_FILE_KINDS;
  folder_.write("src/p", "");
  ASSERT_EQ(mkfifo(folder_.file("dst/p").c_str(), 0644), 0);
  chmod(folder_.file("dst/p").c_str(), 0644);
  set_time(folder_.file("src/p"), 1999, 3, 4, 5, 6, 8);
  set_time(folder_.file("dst/p"), 1999, 3, 4, 5, 6, 8);
  RunResult result = run({"-E", "src", "dst"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, printed(BANNER + "dst/p is equal.\r\n\t1 entry checked. No error."));
}

// Memory that runs out in the middle of a file flushes there, and the
// rest of the file is compared in a later flush: each file has one line.
TEST_F(DuproCompare, MemoryLimitFlushesInsideFilesAndEachIsJudgedOnce) {
#ifdef SUITE_SANITIZED
  GTEST_SKIP() << "an address-space limit cannot be used under AddressSanitizer";
#endif
  if (suite_test::programs_run_under_wine()) GTEST_SKIP() << "Wine cannot run a program under an address-space limit";
  std::vector<std::string> expected{BANNER_LINE};
  for (int i = 0; i < 10; ++i) {
    std::string name = std::string("f") + std::to_string(i);
    std::string data = binary_bytes(4 * MIB + 1000 * i, i);
    std::string target = data;
    if (i % 3 == 1) target[target.size() - 1 - i] ^= 1;
    pair(name, data, target);
    expected.push_back(std::string("dst/") + name + (i % 3 == 1 ? " is different." : " is equal."));
  }
  suite_test::RunOptions options;
  options.folder = folder_.path();
  options.address_space_limit = 24 * MIB;
  RunResult result = suite_test::run_program("dupro", {"-E", "src", "dst"}, options);
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(sorted_lines(result.out), sorted(printed_lines(expected)));
  EXPECT_EQ(summary_of(result.out), "\t10 entries checked. 3 errors.");
}

// The verdict is the one a compare at the flush gives, also when a target
// changes, goes or comes while a later question waits (files of the source
// folder come before those of its subfolders, so src/f1 is asked first).
TEST_F(DuproCompare, TargetChangedBeforeTheFlushIsJudgedAsItIsThen) {
  make_folder(folder_.file("src/sub"));
  make_folder(folder_.file("dst/sub"));
  struct Case {
    const char* name;
    std::function<void()> change;
    std::string line;
    bool source_kept;
  };
  auto rewrite_alike = [this](const std::string& name) {
    folder_.write(name, "other");
    set_time(folder_.file(name), 1999, 3, 4, 5, 6, 8);
  };
  const std::vector<Case> cases = {
      {"rewritten", [&] { rewrite_alike("dst/f1"); }, "dst/f1 is different.", true},
      {"deleted", [&] { unlink(folder_.file("dst/f1").c_str()); }, "dst/f1 does not exists.", true},
      {"made",
       [&] {
         folder_.write("dst/f1", "equal");
         set_time(folder_.file("dst/f1"), 1999, 3, 4, 5, 6, 8);
       },
       "dst/f1 is equal.", false},
      {"both rewritten",
       [&] {
         rewrite_alike("dst/f1");
         rewrite_alike("src/f1");
       },
       "dst/f1 is different.", true},
  };
  for (const Case& c : cases) {
    pair("f1", "equal", "equal");
    pair("sub/f2", "two", "two");
    if (std::string(c.name) == "made") unlink(folder_.file("dst/f1").c_str());
    TerminalSession session("dupro", {"-ECX", "src", "dst"}, folder_.path());
    const std::string first = printed(folder_.file("src/f1") + "\t(Y/N): ");
    ASSERT_TRUE(session.wait_for_error_text(first)) << c.name;
    type_keys(session, "y");
    ASSERT_TRUE(session.wait_for_error_text(printed(first + WIPE + folder_.file("src/sub/f2") + "\t(Y/N): "))) << c.name;
    c.change();
    type_keys(session, "n");
    RunResult result = session.finish();
    EXPECT_EQ(result.status, 0) << c.name;
    EXPECT_EQ(result.out, printed(BANNER + c.line + "\r\n\t1 entry checked. " + (c.source_kept ? "1 error." : "No error.")))
        << c.name;
    EXPECT_EQ(folder_.exists("src/f1"), c.source_kept) << c.name;
  }
}

// A target that could not be opened while its source was read is opened
// again at the flush: one that can be opened by then is compared, and so
// are the files read after it, which were left for the flush.
TEST_F(DuproCompare, TargetThatCouldNotBeOpenedEarlyIsTriedAgainAtTheFlush) {
  if (!posix_file_kinds_are_seen()) GTEST_SKIP() << NO_POSIX_FILE_KINDS;
  make_folder(folder_.file("src/sub"));
  make_folder(folder_.file("dst/sub"));
  unopenable_pair("f1");
  pair("sub/f2", "two", "two");
  TerminalSession session("dupro", {"-EC", "src", "dst"}, folder_.path());
  const std::string first = printed(folder_.file("src/f1") + "\t(Y/N): ");
  ASSERT_TRUE(session.wait_for_error_text(first));
  type_keys(session, "y");
  ASSERT_TRUE(session.wait_for_error_text(printed(first + WIPE + folder_.file("src/sub/f2") + "\t(Y/N): ")));
  ASSERT_EQ(unlink(folder_.file("dst/f1").c_str()), 0);
  folder_.write("dst/f1", "");
  set_time(folder_.file("dst/f1"), 1999, 3, 4, 5, 6, 8);
  type_keys(session, "y");
  RunResult result = session.finish();
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, printed(BANNER + "dst/f1 is equal.\r\ndst/sub/f2 is equal.\r\n\t2 entries checked. No error."));
}

// Option K compares the data read in the first cycle again: a source
// changed in between does not count.
TEST_F(DuproCompare, MultipleCyclesCompareWhatWasRead) {
  pair("a", "a", "a");
  suite_test::TerminalSession session("dupro", {"-EK", "src", "dst"}, folder_.path());
  ASSERT_TRUE(session.wait_for_error_text("Another copy? (Y/N): "));
  folder_.write("src/a", "b");
  set_time(folder_.file("src/a"), 1999, 3, 4, 5, 6, 8);
  type_keys(session, "y");
  ASSERT_TRUE(session.wait_for_error_text("Another copy? (Y/N): " + WIPE + "Another copy? (Y/N): "));
  type_keys(session, "n");
  RunResult result = session.finish();
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, printed(BANNER + "dst/a is equal.\r\ndst/a is equal.\r\n\t2 entries checked. No error."));
}

}  // namespace
