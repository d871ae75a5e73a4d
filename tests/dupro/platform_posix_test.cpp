#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "dupro/platform.h"
#include "tests/dupro/dupro_test_tree.h"
#include "tests/support/run_program.h"

namespace {

namespace platform = dupro::platform;

using dupro_test::attributes_of;

void rewrite(const std::string& path, const std::string& bytes) {
  platform::CreateFailure failure;
  platform::Handle handle = platform::create_file(path, "", failure);
  ASSERT_NE(handle, platform::NO_HANDLE);
  platform::write_fully(handle, bytes.data(), bytes.size());
  platform::close_file(handle);
}

TEST(DuproPlatform, ArchiveBitIsClearedAndSetAgainByAChange) {
  suite_test::TempFolder folder;
  std::string path = folder.file("a.txt");
  folder.write("a.txt", "abc");
  EXPECT_EQ(attributes_of(path), platform::ARCHIVE);
  ASSERT_TRUE(platform::set_attributes(path, 0));
  EXPECT_EQ(attributes_of(path), 0u);
  // A change of size sets it again.
  folder.write("a.txt", "abcd");
  EXPECT_EQ(attributes_of(path), platform::ARCHIVE);
  // A change of time alone also sets it.
  ASSERT_TRUE(platform::set_attributes(path, 0));
  EXPECT_EQ(attributes_of(path), 0u);
  platform::Handle handle = platform::open_without_waiting(path);
  ASSERT_NE(handle, platform::NO_HANDLE);
  ASSERT_TRUE(platform::set_file_time(handle, (96 - 80) << 9 | 12 << 5 | 31, 10 << 11 | 20 << 5 | 15));
  platform::close_file(handle);
  EXPECT_EQ(attributes_of(path), platform::ARCHIVE);
  // Setting the bit explicitly removes the record.
  ASSERT_TRUE(platform::set_attributes(path, 0));
  ASSERT_TRUE(platform::set_attributes(path, platform::ARCHIVE));
  EXPECT_EQ(attributes_of(path), platform::ARCHIVE);
}

TEST(DuproPlatform, ReadOnlyIsTheOwnerWriteBit) {
  suite_test::TempFolder folder;
  std::string path = folder.file("r.txt");
  folder.write("r.txt", "old");
  ASSERT_TRUE(platform::set_attributes(path, platform::READ_ONLY));
  struct stat info;
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0222, 0u);
  EXPECT_EQ(attributes_of(path), platform::READ_ONLY);
  platform::CreateFailure failure;
  EXPECT_EQ(platform::create_file(path, "", failure), platform::NO_HANDLE);
  EXPECT_EQ(failure, platform::CreateFailure::permission_denied);
  EXPECT_FALSE(platform::delete_unless_read_only(path));
  EXPECT_EQ(folder.read("r.txt"), "old");
  ASSERT_TRUE(platform::set_attributes(path, platform::ARCHIVE));
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_NE(info.st_mode & S_IWUSR, 0u);
  rewrite(path, "new");
  EXPECT_EQ(folder.read("r.txt"), "new");
  EXPECT_TRUE(platform::delete_unless_read_only(path));
}

TEST(DuproPlatform, CreateFailuresAreTold) {
  suite_test::TempFolder folder;
  platform::CreateFailure failure;
  EXPECT_EQ(platform::create_file(folder.file("no/such/x"), "", failure), platform::NO_HANDLE);
  EXPECT_EQ(failure, platform::CreateFailure::no_such_file);
  folder.write("plain", "");
  EXPECT_EQ(platform::create_file(folder.file("plain/x"), "", failure), platform::NO_HANDLE);
  EXPECT_EQ(failure, platform::CreateFailure::path_not_found);
  EXPECT_FALSE(platform::last_error_text().empty());
  // A folder in the file's place is not a read-only file to replace.
  mkdir(folder.file("dir").c_str(), 0777);
  EXPECT_EQ(platform::create_file(folder.file("dir"), "", failure), platform::NO_HANDLE);
  EXPECT_EQ(failure, platform::CreateFailure::other);
  EXPECT_EQ(platform::last_error_text(), "Is a directory");
  // Opened with its information, a folder shows as one.
  platform::FileInfo info;
  platform::Handle opened = platform::open_and_look_up(folder.file("dir"), info);
  ASSERT_NE(opened, platform::NO_HANDLE);
  EXPECT_NE(info.attributes & platform::DIRECTORY, 0u);
  EXPECT_EQ(info.name, "dir");
  platform::close_file(opened);
  EXPECT_EQ(platform::open_and_look_up(folder.file("no-such"), info), platform::NO_HANDLE);
  // Where no file can be made at all (the system's own folder, closed to
  // the superuser too), there is no read-only file to offer for replacing.
  struct stat system_folder;
  if (stat("/sys", &system_folder) == 0) {
    EXPECT_EQ(platform::create_file("/sys/dupro-cannot-be-made", "", failure), platform::NO_HANDLE);
    EXPECT_EQ(failure, platform::CreateFailure::other);
  }
}

TEST(DuproPlatform, TimesBecomeEvenSecondWordsInLocalTime) {
  suite_test::TempFolder folder;
  std::string path = folder.file("t");
  folder.write("t", "x");
  std::uint16_t date = (101 - 80) << 9 | 7 << 5 | 4;  // 2001-07-04
  std::uint16_t time = 13 << 11 | 5 << 5 | 29;         // 13:05:58
  platform::Handle handle = platform::open_without_waiting(path);
  ASSERT_TRUE(platform::set_file_time(handle, date, time));
  platform::close_file(handle);
  platform::FileInfo info;
  ASSERT_TRUE(platform::look_up(path, info));
  EXPECT_EQ(info.date, date);
  EXPECT_EQ(info.time, time);
  EXPECT_EQ(info.size, 1u);
}

TEST(DuproPlatform, ListingHonoursPatternAndMask) {
  suite_test::TempFolder folder;
  folder.write("a.txt", "1");
  folder.write("B.TXT", "22");
  folder.write("c.dat", "");
  folder.write(".hidden.txt", "h");
  mkdir(folder.file("sub.txt").c_str(), 0777);
  auto names = [&](const std::string& pattern, std::uint32_t mask) {
    std::vector<platform::FileInfo> entries;
    EXPECT_TRUE(platform::list_directory(folder.path() + "/" + pattern, mask, entries));
    std::vector<std::string> result;
    for (const auto& entry : entries) result.push_back(entry.name);
    std::sort(result.begin(), result.end());
    return result;
  };
  using Names = std::vector<std::string>;
  EXPECT_EQ(names("*.txt", 0), (Names{"B.TXT", "a.txt"}));
  EXPECT_EQ(names("*.txt", platform::HIDDEN | platform::SYSTEM), (Names{".hidden.txt", "B.TXT", "a.txt"}));
  EXPECT_EQ(names("*.txt", platform::DIRECTORY), (Names{"B.TXT", "a.txt", "sub.txt"}));
  EXPECT_EQ(names("*.*", 0), (Names{"B.TXT", "a.txt", "c.dat"}));
  EXPECT_EQ(names("?.dat", 0), (Names{"c.dat"}));
  std::vector<platform::FileInfo> entries;
  EXPECT_FALSE(platform::list_directory(folder.path() + "/none/*.*", 0, entries));
}

TEST(DuproPlatform, FinishingAWrittenFileToldWhetherItsCloseWorked) {
  suite_test::TempFolder folder;
  platform::CreateFailure failure;
  std::string path = folder.file("w");
  platform::Handle handle = platform::create_file(path, "", failure);
  ASSERT_NE(handle, platform::NO_HANDLE);
  ASSERT_EQ(platform::write_fully(handle, "data", 4), 4u);
  std::uint16_t date = (101 - 80) << 9 | 7 << 5 | 4;
  std::uint16_t time = 13 << 11 | 5 << 5 | 29;
  EXPECT_TRUE(platform::finish_file(handle, path, date, time, platform::READ_ONLY | platform::ARCHIVE));
  EXPECT_EQ(attributes_of(path), platform::READ_ONLY | platform::ARCHIVE);
  // The same handle once more: closing it fails, and that is told.
  EXPECT_FALSE(platform::finish_file(handle, path, date, time, platform::ARCHIVE));
  EXPECT_EQ(attributes_of(path), platform::READ_ONLY | platform::ARCHIVE);
}

// A stamp tells a file's states apart: the path and its open file agree,
// and a rewrite with the same size and time, or another file put in its
// place, gives another stamp.
TEST(DuproPlatform, StampsTellStatesOfAFileApart) {
  suite_test::TempFolder folder;
  folder.write("a", "abc");
  platform::FileStamp by_path, again, opened;
  ASSERT_TRUE(platform::stamp_of(folder.file("a"), by_path));
  ASSERT_TRUE(platform::stamp_of(folder.file("a"), again));
  EXPECT_EQ(by_path, again);
  EXPECT_EQ(by_path.size, 3u);
  platform::Handle handle = platform::open_without_waiting(folder.file("a"));
  ASSERT_NE(handle, platform::NO_HANDLE);
  ASSERT_TRUE(platform::stamp_of(handle, opened));
  EXPECT_EQ(opened, by_path);
  // Positioned reading.
  ASSERT_TRUE(platform::seek_file(handle, 1));
  char bytes[2];
  EXPECT_EQ(platform::read_fully(handle, bytes, 2), 2u);
  EXPECT_EQ(std::string(bytes, 2), "bc");
  platform::close_file(handle);
  struct stat before;
  ASSERT_EQ(stat(folder.file("a").c_str(), &before), 0);
  // File times follow the kernel's clock tick: let one pass.
  usleep(20 * 1000);
  rewrite(folder.file("a"), "xyz");
  struct timespec times[2] = {before.st_atim, before.st_mtim};
  ASSERT_EQ(utimensat(AT_FDCWD, folder.file("a").c_str(), times, 0), 0);
  platform::FileStamp rewritten;
  ASSERT_TRUE(platform::stamp_of(folder.file("a"), rewritten));
  EXPECT_EQ(rewritten.modified, by_path.modified);
  EXPECT_NE(rewritten, by_path);
  folder.write("b", "xyz");
  ASSERT_EQ(rename(folder.file("b").c_str(), folder.file("a").c_str()), 0);
  platform::FileStamp replaced;
  ASSERT_TRUE(platform::stamp_of(folder.file("a"), replaced));
  EXPECT_NE(replaced.inode, by_path.inode);
  EXPECT_FALSE(platform::stamp_of(folder.file("missing"), replaced));
}

TEST(DuproPlatform, SameFile) {
  suite_test::TempFolder folder;
  folder.write("a", "x");
  ASSERT_EQ(link(folder.file("a").c_str(), folder.file("b").c_str()), 0);
  folder.write("c", "x");
  EXPECT_TRUE(platform::name_one_file(folder.file("a"), folder.file("b")));
  EXPECT_TRUE(platform::name_one_file(folder.file("a"), folder.path() + "/./a"));
  EXPECT_FALSE(platform::name_one_file(folder.file("a"), folder.file("c")));
  EXPECT_FALSE(platform::name_one_file(folder.file("a"), folder.file("missing")));
  platform::CreateFailure failure;
  EXPECT_EQ(platform::create_file(folder.file("b"), folder.file("a"), failure), platform::NO_HANDLE);
  EXPECT_EQ(failure, platform::CreateFailure::is_source);
  EXPECT_EQ(folder.read("a"), "x");
}

}  // namespace
