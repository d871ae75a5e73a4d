// The POSIX platform layer: the rules that stand in for drives and for
// hidden entries.
#include "common/platform.h"

#include <gtest/gtest.h>

#include <algorithm>

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
