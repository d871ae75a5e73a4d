// The POSIX platform layer: the rules that stand in for drives and for
// hidden entries.
#include "common/platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <string>
#include <unistd.h>

#include "tests/support/run_program.h"

namespace platform = suite::platform;

TEST(PosixPlatform, EveryDriveIsMissing) {
  EXPECT_TRUE(platform::names_missing_drive("C:\\file.txt"));
  EXPECT_TRUE(platform::names_missing_drive("a:x"));
  EXPECT_FALSE(platform::names_missing_drive("1:x"));
  EXPECT_FALSE(platform::names_missing_drive("file.txt"));
}

TEST(PosixPlatform, NamesBeginningWithADotAreListedAsHidden) {
  suite_test::TempFolder folder;
  folder.write(".dot", "");
  folder.write("plain", "");
  std::vector<platform::DirectoryEntry> entries;
  ASSERT_TRUE(platform::list_directory(folder.path(), entries));
  for (const platform::DirectoryEntry& entry : entries) {
    EXPECT_EQ(entry.is_hidden, entry.name[0] == '.') << entry.name;
    EXPECT_FALSE(entry.is_system) << entry.name;
  }
}

TEST(PosixPlatform, TheFolderPartEndsAtTheLastSlashOrBackslashAndReadsBackslashesAsSlashes) {
  EXPECT_EQ(platform::folder_part("a\\b/c*.txt"), "a/b/");
  EXPECT_EQ(platform::folder_part("/x\\"), "/x/");
  EXPECT_EQ(platform::folder_part("C:x*"), "");
}

TEST(PosixPlatform, PathsWrittenWithBackslashesUseTheSlash) {
  EXPECT_EQ(platform::native_path("a\\b\\\\c/d"), "a/b//c/d");
  EXPECT_EQ(platform::native_path(""), "");
}

TEST(PosixPlatform, SeekToLastBytesOnlyOnARegularFile) {
  suite_test::TempFolder folder;
  folder.write("f", "abcdefgh");
  for (std::uint64_t count : {0u, 3u, 8u, 20u}) {
    platform::Handle file = platform::open_for_reading(folder.file("f"));
    ASSERT_TRUE(platform::seek_to_last_bytes(file, count));
    char bytes[16] = {};
    std::size_t got = platform::read_bytes(file, bytes, sizeof bytes);
    EXPECT_EQ(std::string(bytes, got), std::string("abcdefgh").substr(8 - std::min<std::uint64_t>(count, 8)));
    platform::close_handle(file);
  }
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  EXPECT_FALSE(platform::seek_to_last_bytes(ends[0], 1));
  close(ends[0]);
  close(ends[1]);
}

TEST(PosixPlatform, APipeIsWidenedAndAFileIsLeftAlone) {
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  int before = fcntl(ends[0], F_GETPIPE_SZ);
  platform::widen_pipe(ends[0]);
  int after = fcntl(ends[0], F_GETPIPE_SZ);
  EXPECT_GT(after, before);
  EXPECT_GE(after, 256 * 1024);
  // Bytes written before still come out.
  ASSERT_EQ(write(ends[1], "abc", 3), 3);
  char bytes[4] = {};
  EXPECT_EQ(platform::read_bytes(ends[0], bytes, sizeof bytes), 3u);
  EXPECT_STREQ(bytes, "abc");
  close(ends[0]);
  close(ends[1]);

  suite_test::TempFolder folder;
  folder.write("f", "abc");
  platform::Handle file = platform::open_for_reading(folder.file("f"));
  platform::widen_pipe(file);
  EXPECT_EQ(platform::read_bytes(file, bytes, sizeof bytes), 3u);
  platform::close_handle(file);
}

// The standard streams are set up before main in every program, this one
// included: standard input and output that are pipes (as under the test
// runner) have been widened by then.
TEST(PosixPlatform, StandardPipesAreWidenedAtTheStart) {
  bool any_pipe = false;
  for (int descriptor : {STDIN_FILENO, STDOUT_FILENO}) {
    struct stat status;
    if (fstat(descriptor, &status) != 0 || !S_ISFIFO(status.st_mode)) continue;
    any_pipe = true;
    EXPECT_GE(fcntl(descriptor, F_GETPIPE_SZ), 256 * 1024) << descriptor;
  }
  if (!any_pipe) GTEST_SKIP() << "neither standard input nor output is a pipe";
}
