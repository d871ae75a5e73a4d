#include <gtest/gtest.h>

#include <unistd.h>

#include "tests/dupro/dupro_test_text.h"
#include "tests/dupro/dupro_test_tree.h"
#include "tests/support/run_program.h"

namespace {

using namespace dupro_test;
using dupro::platform::ARCHIVE;
using dupro::platform::READ_ONLY;
using suite_test::RunResult;

constexpr std::size_t MIB = 1024 * 1024;

class DuproCopy : public ::testing::Test {
 protected:
  RunResult run(const std::vector<std::string>& arguments) { return run_dupro_in(folder_, arguments); }
  std::string path(const std::string& name) const { return folder_.file(name); }
  void write(const std::string& name, const std::string& bytes) const { folder_.write(name, bytes); }
  std::string read(const std::string& name) const { return folder_.read(name); }
  bool exists(const std::string& name) const { return folder_.exists(name); }

  suite_test::TempFolder folder_;
};

TEST_F(DuproCopy, TreeIsCopiedByteForByteWithTimesAndAttributes) {
  make_folder(path("src"));
  make_folder(path("src/sub"));
  const std::string binary = std::string("a\r\nb\nc\x1a" "d\0e\r", 11) + binary_bytes(70000, 3);
  write("src/data.bin", binary);
  write("src/empty", "");
  write("src/sub/six", binary_bytes(6 * MIB, 1));
  write("src/sub/twelve", binary_bytes(12 * MIB + 5, 2));
  set_time(path("src/data.bin"), 2001, 7, 4, 13, 5, 59);
  set_time(path("src/empty"), 1996, 12, 31, 23, 59, 0);
  set_attributes(path("src/data.bin"), READ_ONLY);
  RunResult result = run({"src", "dst"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  const std::string source = folder_.path() + "/src/";
  EXPECT_EQ(sorted_lines(result.out),
            sorted(printed_lines({BANNER_LINE, "\"dst\" directory has been created", "\"dst/sub\" directory has been created",
                    source + "data.bin", source + "empty", source + "sub/six", source + "sub/twelve"})));
  EXPECT_EQ(summary_of(result.out), "\t4 files copied. 2 directories created.");
  EXPECT_EQ(read("dst/data.bin"), binary);
  EXPECT_EQ(read("dst/empty"), "");
  EXPECT_EQ(read("dst/sub/six"), read("src/sub/six"));
  EXPECT_EQ(read("dst/sub/twelve"), read("src/sub/twelve"));
  EXPECT_EQ(modification_time(path("dst/data.bin")), modification_time(path("src/data.bin")) - 1);
  EXPECT_EQ(modification_time(path("dst/empty")), modification_time(path("src/empty")));
  EXPECT_EQ(attributes_of(path("dst/data.bin")), READ_ONLY | archive_bit_kept());
  EXPECT_EQ(attributes_of(path("dst/empty")), ARCHIVE);
}

TEST_F(DuproCopy, ArchiveFilter) {
  if (!archive_bit_can_be_cleared()) GTEST_SKIP() << "Wine keeps the archive bit of every file set";
  make_folder(path("src"));
  write("src/kept", "1");
  write("src/cleared", "2");
  set_attributes(path("src/cleared"), 0);
  RunResult archive = run({"-A", "src", "-T", "a"});
  EXPECT_EQ(summary_of(archive.out), "\t1 file copied. 1 directory created.");
  EXPECT_TRUE(exists("a/kept"));
  EXPECT_FALSE(exists("a/cleared"));
  EXPECT_EQ(attributes_of(path("a/kept")), ARCHIVE);
}

TEST_F(DuproCopy, DateFilter) {
  make_folder(path("dated"));
  write("dated/last", "x");
  write("dated/before", "y");
  set_time(path("dated/last"), 1996, 12, 31, 23, 59, 0);
  set_time(path("dated/before"), 1996, 12, 30, 12, 0, 0);
  RunResult dated = run({"-F", "12-31-96", "dated", "d"});
  EXPECT_EQ(summary_of(dated.out), "\t1 file copied. 1 directory created.");
  EXPECT_TRUE(exists("d/last"));
  EXPECT_FALSE(exists("d/before"));
}

TEST_F(DuproCopy, TargetFilters) {
  make_folder(path("src"));
  make_folder(path("dst"));
  for (const char* name : {"same", "newer", "older", "missing"}) write(std::string("src/") + name, name);
  for (const char* name : {"same", "newer", "older"}) write(std::string("dst/") + name, "old");
  set_time(path("src/same"), 2000, 1, 1, 10, 0, 0);
  set_time(path("dst/same"), 2000, 1, 1, 10, 0, 0);
  set_time(path("src/newer"), 2000, 1, 1, 10, 0, 2);
  set_time(path("dst/newer"), 2000, 1, 1, 10, 0, 0);
  set_time(path("src/older"), 2000, 1, 1, 9, 0, 0);
  set_time(path("dst/older"), 2000, 1, 1, 10, 0, 0);
  const std::string source = folder_.path() + "/src/";
  struct Case {
    const char* option;
    std::vector<std::string> copied;
  };
  for (const Case& c : {Case{"-D", {"newer", "older", "same"}}, Case{"-N", {"missing"}},
                        Case{"-M", {"missing", "newer"}}, Case{"-O", {"older"}}}) {
    RunResult result = run({c.option, "src", "dst"});
    std::vector<std::string> expected{BANNER_LINE};
    for (const std::string& name : c.copied) expected.push_back(source + name);
    EXPECT_EQ(sorted_lines(result.out), sorted(printed_lines(expected))) << c.option;
    // Put the target back as it was for the next option.
    for (const char* name : {"same", "newer", "older"}) write(std::string("dst/") + name, "old");
    unlink(path("dst/missing").c_str());
    set_time(path("dst/same"), 2000, 1, 1, 10, 0, 0);
    set_time(path("dst/newer"), 2000, 1, 1, 10, 0, 0);
    set_time(path("dst/older"), 2000, 1, 1, 10, 0, 0);
  }
}

TEST_F(DuproCopy, VoidDirsSubdirsAndFlatten) {
  make_folder(path("src"));
  make_folder(path("src/empty"));
  make_folder(path("src/one"));
  make_folder(path("src/two"));
  write("src/top", "t");
  write("src/one/f", "from one");
  write("src/two/f", "from two");
  RunResult plain = run({"src", "plain"});
  EXPECT_FALSE(exists("plain/empty"));
  EXPECT_EQ(summary_of(plain.out), "\t3 files copied. 3 directories created.");
  RunResult voids = run({"-V", "src", "voids"});
  EXPECT_TRUE(exists("voids/empty"));
  EXPECT_EQ(read("voids/one/f"), "from one");
  RunResult shallow = run({"-S", "src", "shallow"});
  EXPECT_EQ(summary_of(shallow.out), "\t1 file copied. 1 directory created.");
  EXPECT_FALSE(exists("shallow/one"));
  RunResult flat = run({"-Y", "src", "flat"});
  EXPECT_EQ(summary_of(flat.out), "\t3 files copied. 1 directory created.");
  std::string f = read("flat/f");
  EXPECT_TRUE(f == "from one" || f == "from two");
  EXPECT_FALSE(exists("flat/one"));
}

TEST_F(DuproCopy, PatternSelectsInEverySubfolder) {
  make_folder(path("src"));
  make_folder(path("src/with"));
  make_folder(path("src/without"));
  make_folder(path("src/.hidden"));
  write("src/a.txt", "a");
  write("src/b.dat", "b");
  write("src/with/A.TXT", "c");
  write("src/without/c.dat", "d");
  write("src/.hidden/d.txt", "e");
  write("src/.e.txt", "f");
  make_hidden(path("src/.hidden"));
  make_hidden(path("src/.e.txt"));
  RunResult result = run({"src\\*.txt", "dst"});
  EXPECT_EQ(summary_of(result.out), "\t4 files copied. 3 directories created.");
  EXPECT_TRUE(exists("dst/a.txt") && exists("dst/with/A.TXT") && exists("dst/.hidden/d.txt") && exists("dst/.e.txt"));
  EXPECT_FALSE(exists("dst/b.dat"));
  EXPECT_FALSE(exists("dst/without"));
  // H leaves out hidden files but still enters hidden folders.
  RunResult visible = run({"-H", "src/*.txt", "vis"});
  EXPECT_EQ(summary_of(visible.out), "\t3 files copied. 3 directories created.");
  EXPECT_FALSE(exists("vis/.e.txt"));
  EXPECT_TRUE(exists("vis/.hidden/d.txt"));
}

TEST_F(DuproCopy, MissingTargetFoldersAreMadeAndAnnounced) {
  make_folder(path("src"));
  write("src/a", "a");
  RunResult result = run({"src", "-T", "new\\deeper\\"});
  EXPECT_EQ(result.out, printed(BANNER + "\"new\" directory has been created\r\n\"new/deeper\" directory has been created\r\n" +
                            folder_.path() + "/src/a\r\n\t1 file copied. 2 directories created."));
}

TEST_F(DuproCopy, NoTargetMeansTheCurrentFolder) {
  make_folder(path("src"));
  make_folder(path("work"));
  write("src/a", "a");
  suite_test::RunOptions options;
  options.folder = path("work");
  RunResult result = suite_test::run_program("dupro", {"../src"}, options);
  EXPECT_EQ(result.out, printed(BANNER + folder_.path() + "/src/a\r\n\t1 file copied. "));
  EXPECT_EQ(read("work/a"), "a");
}

TEST_F(DuproCopy, DeleteSourceAndUpdateArchive) {
  make_folder(path("src"));
  write("src/a", "a");
  write("src/b", "b");
  RunResult moved = run({"-X", "src", "dst"});
  EXPECT_EQ(summary_of(moved.out), "\t2 files copied. 1 directory created.");
  EXPECT_FALSE(exists("src/a") || exists("src/b"));
  EXPECT_EQ(read("dst/a") + read("dst/b"), "ab");
}

TEST_F(DuproCopy, UpdateArchive) {
  if (!archive_bit_can_be_cleared()) GTEST_SKIP() << "Wine keeps the archive bit of every file set";
  make_folder(path("src"));
  write("src/a", "a");
  write("src/b", "b");
  RunResult marked = run({"-B", "src", "dst"});
  EXPECT_EQ(attributes_of(path("src/a")), 0u);
  EXPECT_EQ(attributes_of(path("dst/a")), ARCHIVE);
  RunResult again = run({"-A", "src", "dst"});
  EXPECT_EQ(again.out, BANNER + "\t");
  write("src/b", "changed");
  RunResult changed = run({"-A", "src", "dst"});
  EXPECT_EQ(changed.out, printed(BANNER + folder_.path() + "/src/b\r\n\t1 file copied. "));
}

TEST_F(DuproCopy, ReadOnlySourceToDeleteIsOfferedAndKeptWithoutATerminal) {
  make_folder(path("src"));
  write("src/r", "r");
  set_attributes(path("src/r"), READ_ONLY | ARCHIVE);
  RunResult result = run({"-X", "src", "dst"});
  EXPECT_EQ(result.err, printed("Delete the read-only file: " + folder_.path() + "/src/r? (Y/N): " + WIPE));
  EXPECT_TRUE(exists("src/r"));
  EXPECT_EQ(attributes_of(path("dst/r")), READ_ONLY | ARCHIVE);
}

TEST_F(DuproCopy, ReadOnlyTargetIsKeptUnlessReplaced) {
  make_folder(path("src"));
  make_folder(path("dst"));
  write("src/f", "new");
  write("dst/f", "old");
  set_attributes(path("dst/f"), READ_ONLY);
  RunResult asked = run({"-X", "src", "dst"});
  EXPECT_EQ(asked.err, printed("Replace dst/f? (Y/N): " + WIPE));
  EXPECT_EQ(asked.out, BANNER + "\t");
  EXPECT_EQ(read("dst/f"), "old");
  EXPECT_TRUE(exists("src/f"));
  RunResult replaced = run({"-R", "src", "dst"});
  EXPECT_EQ(replaced.err, "");
  EXPECT_EQ(read("dst/f"), "new");
  EXPECT_EQ(attributes_of(path("dst/f")), ARCHIVE);
}

// Declining to replace at the first flush of a large file stops its reading
// there: the question comes once, nothing is written, the source stays.
TEST_F(DuproCopy, DeclinedReplaceOfALargeFileStopsAtTheFirstFlush) {
  make_folder(path("src"));
  make_folder(path("dst"));
  write("src/big", binary_bytes(6 * MIB, 6));
  write("dst/big", "old");
  set_attributes(path("dst/big"), READ_ONLY);
  RunResult result = run({"-X", "src", "dst"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, printed("Replace dst/big? (Y/N): " + WIPE));
  EXPECT_EQ(result.out, BANNER + "\t");
  EXPECT_EQ(read("dst/big"), "old");
  EXPECT_TRUE(exists("src/big"));
}

TEST_F(DuproCopy, FileErrorsEndWithStatus128AndTheSummary) {
  make_folder(path("src"));
  write("src/a", "a");
  write("plain", "not a folder");
  RunResult create = run({"src", "plain/x/"});
  EXPECT_EQ(create.status, 128);
  EXPECT_EQ(create.out, BANNER + "\t");
  EXPECT_EQ(create.err, printed("\r\nDUPRO:\tCould not create directory plain/x.\r\n\t" + system_text("Not a directory", "Path not found") + "\r\n"));
  const std::string short_file = "/sys/kernel/mm/transparent_hugepage/enabled";
  if (posix_file_kinds_are_seen() && access(short_file.c_str(), R_OK) == 0) {
    // Listed at 4096 bytes, but reading gives far fewer.
    RunResult reading = run({short_file, "dst"});
    EXPECT_EQ(reading.status, 128);
    EXPECT_EQ(reading.out, BANNER + "\t");
    EXPECT_EQ(reading.err, "\r\nDUPRO:\tError reading file " + short_file + ".\r\n\tUnknown error\r\n");
  }
  if (geteuid() != 0) {
    chmod(path("src/a").c_str(), 0);
    RunResult opening = run({"src", "dst2"});
    EXPECT_EQ(opening.status, 128);
    EXPECT_EQ(opening.err, printed("\r\nDUPRO:\tCould not open the file " + folder_.path() +
                               "/src/a.\r\n\tPermission denied\r\n"));
  }
}

// A named pipe in the target's place has no reader: opening it does not
// wait for one but fails, and the run ends with that file error.
TEST_F(DuproCopy, NamedPipeTargetIsAFileErrorNotAHang) {
  if (!posix_file_kinds_are_seen()) GTEST_SKIP() << NO_POSIX_FILE_KINDS;
  make_folder(path("src"));
  make_folder(path("dst"));
  write("src/p", "data");
  ASSERT_EQ(mkfifo(path("dst/p").c_str(), 0644), 0);
  RunResult result = run({"src", "dst"});
  EXPECT_EQ(result.status, 128);
  EXPECT_EQ(result.err, printed("\r\nDUPRO:\tCould not create file dst/p.\r\n\tNo such device or address\r\n"));
  EXPECT_EQ(read("src/p"), "data");
}

TEST_F(DuproCopy, SameUnitPromptsAndError64) {
  make_folder(path("src"));
  write("src/a", "a");
  RunResult conflict = run({"-1", "src", "src"});
  EXPECT_EQ(conflict.status, 64);
  EXPECT_EQ(conflict.out, BANNER + "\t");
  EXPECT_EQ(conflict.err, "Options not valid when source and target are equal.\r\n");
  make_folder(path("dst"));
  RunResult swapped = run({"-UX", "src", "dst"});
  EXPECT_EQ(swapped.status, 0);
  EXPECT_EQ(swapped.err, "Insert TARGET disk and press T" + WIPE + "Insert SOURCE disk and press S" + WIPE);
  EXPECT_EQ(read("dst/a"), "a");
}

// With no terminal the disk prompts end at once, so source and target are
// one folder: its files must come through whole, also when larger than
// what one flush holds, and option X must not delete them.
TEST_F(DuproCopy, SameFolderNeverLosesData) {
  make_folder(path("src"));
  const std::string big = binary_bytes(12 * MIB + 17, 9);
  write("src/big", big);
  write("src/small", "small");
  RunResult result = run({"-X", "src", "src"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(read("src/big"), big);
  EXPECT_EQ(read("src/small"), "small");
  EXPECT_EQ(count_of(result.out, printed("Could not delete " + folder_.path() + "/src/big\r\n")), 1u);
  EXPECT_EQ(summary_of(result.out), "\t2 files copied. ");
}

TEST_F(DuproCopy, TargetInsideTheSourceIsNotCopiedIntoItself) {
  make_folder(path("src"));
  make_folder(path("src/sub"));
  write("src/a", "a");
  write("src/sub/b", "b");
  // Option 1 writes each file at once, so the target exists while the walk
  // is still listing the source's subdirectories.
  RunResult made = run({"-1", "src", "src/copy"});
  EXPECT_EQ(made.status, 0);
  EXPECT_EQ(summary_of(made.out), "\t2 files copied. 2 directories created.");
  EXPECT_EQ(read("src/copy/a"), "a");
  EXPECT_EQ(read("src/copy/sub/b"), "b");
  EXPECT_FALSE(exists("src/copy/copy"));
  RunResult again = run({"src", "src/copy"});
  EXPECT_EQ(summary_of(again.out), "\t2 files copied. ");
  EXPECT_FALSE(exists("src/copy/copy"));
  // No target: the current directory, here a subdirectory of the source.
  suite_test::RunOptions options;
  options.folder = path("src/sub");
  RunResult here = suite_test::run_program("dupro", {"-1", ".."}, options);
  EXPECT_EQ(here.status, 0);
  EXPECT_EQ(read("src/sub/a"), "a");
  EXPECT_FALSE(exists("src/sub/sub"));
  // The earlier target is now a folder of the source like any other.
  EXPECT_TRUE(exists("src/sub/copy/a"));
}

TEST_F(DuproCopy, TargetThatCannotBeMadeIsAFileErrorNotAReplaceQuestion) {
  if (geteuid() == 0) GTEST_SKIP() << "folder permissions do not hold for the superuser";
  make_folder(path("src"));
  write("src/a", "a");
  make_folder(path("locked"));
  chmod(path("locked").c_str(), 0555);
  RunResult result = run({"-X", "src", "locked"});
  EXPECT_EQ(result.status, 128);
  EXPECT_EQ(result.err, printed("\r\nDUPRO:\tCould not create file locked/a.\r\n\tPermission denied\r\n"));
  EXPECT_EQ(result.out, BANNER + "\t");
  EXPECT_TRUE(exists("src/a"));
}

// A folder where a file is to be written cannot be replaced by it: a file
// error, asked about as little as a target that cannot be made.
TEST_F(DuproCopy, FolderInTheTargetFilesPlaceIsAFileError) {
  make_folder(path("src"));
  make_folder(path("dst"));
  make_folder(path("dst/a"));
  write("src/a", "a");
  RunResult result = run({"-X", "src", "dst"});
  EXPECT_EQ(result.status, 128);
  EXPECT_EQ(result.err, printed("\r\nDUPRO:\tCould not create file dst/a.\r\n\t" + system_text("Is a directory", "Access denied") + "\r\n"));
  EXPECT_EQ(result.out, BANNER + "\t");
  EXPECT_TRUE(exists("src/a"));
  // Read-only or not, and with R too.
  chmod(path("dst/a").c_str(), 0555);
  RunResult replacing = run({"-R", "src", "dst"});
  EXPECT_EQ(replacing.status, 128);
  EXPECT_EQ(replacing.err, result.err);
}

// Flattened, a later file replaces an earlier one of the same name; the
// earlier source, whose copy is gone, is not deleted by option X.
TEST_F(DuproCopy, FlattenedFileReplacedByALaterOneKeepsItsSource) {
  make_folder(path("src"));
  make_folder(path("src/sub"));
  write("src/a", "a");
  write("src/sub/a", "the later a");
  RunResult result = run({"-YX", "src", "dst"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(read("dst/a"), "the later a");
  EXPECT_EQ(read("src/a"), "a");
  EXPECT_FALSE(exists("src/sub/a"));
  EXPECT_EQ(count_of(result.out, printed("Could not delete " + path("src/a") + "\r\n")), 1u);
}

// Whatever the sizes: of two flattened files of one name only the later
// one's source goes; the earlier one's copy was replaced. Also when a
// flush inside a large file released the earlier one long before.
TEST_F(DuproCopy, FlattenedFilesOfOneSizeKeepTheReplacedSource) {
  make_folder(path("src"));
  make_folder(path("src/sub"));
  write("src/n.txt", "one");
  write("src/sub/n.txt", "two");
  write("src/sub/big", binary_bytes(6 * MIB, 3));
  RunResult result = run({"-XY", "src", "dst"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(read("dst/n.txt"), "two");
  EXPECT_EQ(read("src/n.txt"), "one");
  EXPECT_FALSE(exists("src/sub/n.txt"));
  EXPECT_FALSE(exists("src/sub/big"));
  EXPECT_EQ(read("dst/big"), binary_bytes(6 * MIB, 3));
  EXPECT_EQ(count_of(result.out, printed("Could not delete " + path("src/n.txt") + "\r\n")), 1u);
  EXPECT_EQ(summary_of(result.out), "\t3 files copied. 1 directory created.");
  // Two subfolders, listed in either order: the source whose data the
  // copy holds goes, the other stays.
  make_folder(path("two"));
  make_folder(path("two/s1"));
  make_folder(path("two/s2"));
  write("two/s1/n.txt", "one");
  write("two/s2/n.txt", "two");
  RunResult both = run({"-XY", "two", "flat"});
  EXPECT_EQ(both.status, 0);
  const std::string kept = read("flat/n.txt") == "one" ? "two/s2/n.txt" : "two/s1/n.txt";
  const std::string gone = kept == "two/s2/n.txt" ? "two/s1/n.txt" : "two/s2/n.txt";
  EXPECT_TRUE(exists(kept));
  EXPECT_FALSE(exists(gone));
  EXPECT_EQ(count_of(both.out, printed("Could not delete " + path(kept) + "\r\n")), 1u);
}

// Two target names of one file: the later copy writes over the earlier, so
// only the later source goes.
TEST_F(DuproCopy, TargetNamesOfOneFileKeepTheSourceWrittenOver) {
  make_folder(path("src"));
  make_folder(path("dst"));
  write("src/a", "aaa");
  write("src/b", "bbb");
  write("dst/a", "old");
  ASSERT_EQ(link(path("dst/a").c_str(), path("dst/b").c_str()), 0);
  RunResult result = run({"-X", "src", "dst"});
  EXPECT_EQ(result.status, 0);
  std::string left = read("dst/a");
  ASSERT_TRUE(left == "aaa" || left == "bbb") << left;
  const std::string written_over = left == "aaa" ? "b" : "a";
  const std::string last = left == "aaa" ? "a" : "b";
  EXPECT_EQ(read("src/" + written_over), written_over + written_over + written_over);
  EXPECT_FALSE(exists("src/" + last));
  EXPECT_EQ(count_of(result.out, printed("Could not delete " + path("src/" + written_over) + "\r\n")), 1u);
}

TEST_F(DuproCopy, FailedWritesKeepTheSourceAndDropThePartialTarget) {
  make_folder(path("src"));
  write("src/two", binary_bytes(2 * MIB, 4));
  write("src/twelve", binary_bytes(12 * MIB, 5));
  suite_test::RunOptions options;
  options.folder = folder_.path();
  options.file_size_limit = MIB;
  RunResult small = suite_test::run_program("dupro", {"-X", "src/two", "dst"}, options);
  EXPECT_EQ(small.err, printed("Retry writing " + folder_.path() + "/src/two? (Y/N): " + WIPE));
  EXPECT_EQ(small.out, BANNER + "\"dst\" directory has been created\r\n\t1 directory created.");
  EXPECT_FALSE(exists("dst/two"));
  EXPECT_TRUE(exists("src/two"));
  // The first 5 MiB are written by the first flush; the failure comes in
  // the next one, when they are no longer held.
  options.file_size_limit = 7 * MIB;
  RunResult large = suite_test::run_program("dupro", {"-X", "src/twelve", "dst"}, options);
  EXPECT_EQ(large.status, 0);
  EXPECT_EQ(large.err, printed("Retry writing " + folder_.path() + "/src/twelve? (Y/N): " + WIPE));
  EXPECT_EQ(large.out, BANNER + "\t");
  EXPECT_FALSE(exists("dst/twelve"));
  EXPECT_EQ(read("src/twelve"), binary_bytes(12 * MIB, 5));
}

TEST_F(DuproCopy, MemoryLimitForcesFlushesAndTheCopyStaysComplete) {
#ifdef SUITE_SANITIZED
  GTEST_SKIP() << "an address-space limit cannot be used under AddressSanitizer";
#endif
  if (suite_test::programs_run_under_wine()) GTEST_SKIP() << "Wine cannot run a program under an address-space limit";
  make_folder(path("src"));
  for (int i = 0; i < 12; ++i) write("src/f" + std::to_string(i), binary_bytes(4 * MIB + 1000 * i, i));
  suite_test::RunOptions options;
  options.folder = folder_.path();
  options.address_space_limit = 32 * MIB;
  RunResult result = suite_test::run_program("dupro", {"-U", "src", "dst"}, options);
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(summary_of(result.out), "\t12 files copied. 1 directory created.");
  // Each flush asks for the target disk once.
  EXPECT_GE(count_of(result.err, "Insert TARGET disk"), 2u);
  for (int i = 0; i < 12; ++i) {
    std::string name("f");
    name += std::to_string(i);
    EXPECT_EQ(read("dst/" + name), read("src/" + name)) << name;
    std::string line = folder_.file("src/");
    line.append(name).append("\r\n");
    EXPECT_EQ(count_of(result.out, line), 1u);
  }
}

// The program itself needs about 2 MiB: a run whose data fit in what a
// small address-space limit leaves goes through, copying or comparing, and
// also when a file takes two flushes.
TEST_F(DuproCopy, SmallAddressSpaceLimitStillCopiesWhatFits) {
#ifdef SUITE_SANITIZED
  GTEST_SKIP() << "an address-space limit cannot be used under AddressSanitizer";
#endif
  if (suite_test::programs_run_under_wine()) GTEST_SKIP() << "Wine cannot run a program under an address-space limit";
  make_folder(path("src"));
  write("src/small", "1234");
  suite_test::RunOptions options;
  options.folder = folder_.path();
  options.address_space_limit = 12 * MIB;
  RunResult copy = suite_test::run_program("dupro", {"src", "dst"}, options);
  EXPECT_EQ(copy.status, 0) << copy.err;
  EXPECT_EQ(copy.err, "");
  EXPECT_EQ(read("dst/small"), "1234");
  RunResult compare = suite_test::run_program("dupro", {"-E", "src", "dst"}, options);
  EXPECT_EQ(compare.status, 0) << compare.err;
  EXPECT_EQ(compare.out, printed(BANNER + "dst/small is equal.\r\n\t1 entry checked. No error."));
  write("src/large", binary_bytes(6 * MIB, 8));
  RunResult large = suite_test::run_program("dupro", {"src/large", "dst"}, options);
  EXPECT_EQ(large.status, 0) << large.err;
  EXPECT_EQ(read("dst/large"), binary_bytes(6 * MIB, 8));
  RunResult checked = suite_test::run_program("dupro", {"-E", "src", "dst"}, options);
  EXPECT_EQ(checked.status, 0) << checked.err;
  EXPECT_EQ(summary_of(checked.out), "\t2 entries checked. No error.");
}

TEST_F(DuproCopy, WaitAtEndFollowsTheSummary) {
  make_folder(path("src"));
  write("src/a", "a");
  RunResult result = run({"-W", "src", "dst"});
  EXPECT_EQ(summary_of(result.out), "\t1 file copied. 1 directory created.");
  EXPECT_EQ(result.err, "\r\nPress any key to end." + WIPE);
}

}  // namespace
