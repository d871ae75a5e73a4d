// Dupro's file-system operations on Win32: the file system's own attribute
// words, date and time words, failures of creating a file, stamps and
// drives.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "dupro/platform.h"
#include "tests/support/run_program.h"

namespace {

namespace platform = dupro::platform;

std::uint32_t attributes_of(const std::string& path) {
  platform::FileInfo info;
  EXPECT_TRUE(platform::look_up(path, info)) << path;
  return info.attributes;
}

// Wine tells itself by a function of its own in the system's library; it
// keeps the archive bit of every file set.
bool archive_bit_can_be_cleared() {
  HMODULE system = GetModuleHandleA("ntdll.dll");
  return system == nullptr || GetProcAddress(system, "wine_get_version") == nullptr;
}

void rewrite(const std::string& path, const std::string& bytes) {
  platform::CreateFailure failure;
  platform::Handle handle = platform::create_file(path, "", failure);
  ASSERT_NE(handle, platform::NO_HANDLE);
  EXPECT_EQ(platform::write_fully(handle, bytes.data(), bytes.size()), bytes.size());
  platform::close_file(handle);
}

TEST(DuproPlatformWin32, AttributeWordsAreTheFileSystems) {
  suite_test::TempFolder folder;
  std::string path = folder.file("a.txt");
  folder.write("a.txt", "abc");
  EXPECT_EQ(attributes_of(path), platform::ARCHIVE);
  ASSERT_TRUE(platform::set_attributes(path, platform::HIDDEN | platform::SYSTEM | platform::ARCHIVE));
  EXPECT_EQ(GetFileAttributesA(path.c_str()), DWORD{FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE});
  EXPECT_EQ(attributes_of(path), platform::HIDDEN | platform::SYSTEM | platform::ARCHIVE);
  // The directory bit of a word is not set on a file.
  ASSERT_TRUE(platform::set_attributes(path, platform::DIRECTORY | platform::ARCHIVE));
  EXPECT_EQ(attributes_of(path), platform::ARCHIVE);
  std::filesystem::create_directory(folder.file("dir"));
  EXPECT_EQ(attributes_of(folder.file("dir")) & platform::DIRECTORY, platform::DIRECTORY);
}

TEST(DuproPlatformWin32, ArchiveBitIsClearedAndSetByAWrite) {
  if (!archive_bit_can_be_cleared()) GTEST_SKIP() << "Wine keeps the archive bit of a file set";
  suite_test::TempFolder folder;
  std::string path = folder.file("a.txt");
  folder.write("a.txt", "abc");
  ASSERT_TRUE(platform::set_attributes(path, 0));
  EXPECT_EQ(attributes_of(path), 0u);
  rewrite(path, "abcd");
  EXPECT_EQ(attributes_of(path) & platform::ARCHIVE, platform::ARCHIVE);
}

TEST(DuproPlatformWin32, ReadOnlyFilesAreNeitherReplacedNorDeleted) {
  suite_test::TempFolder folder;
  std::string path = folder.file("r.txt");
  folder.write("r.txt", "old");
  ASSERT_TRUE(platform::set_attributes(path, platform::READ_ONLY | platform::ARCHIVE));
  EXPECT_NE(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  platform::CreateFailure failure;
  EXPECT_EQ(platform::create_file(path, "", failure), platform::NO_HANDLE);
  EXPECT_EQ(failure, platform::CreateFailure::permission_denied);
  EXPECT_FALSE(platform::delete_unless_read_only(path));
  EXPECT_EQ(folder.read("r.txt"), "old");
  ASSERT_TRUE(platform::set_attributes(path, platform::ARCHIVE));
  rewrite(path, "new");
  EXPECT_EQ(folder.read("r.txt"), "new");
  EXPECT_TRUE(platform::delete_unless_read_only(path));
  EXPECT_FALSE(folder.exists("r.txt"));
}

// A hidden or system file is replaced like any other, and keeps its name.
TEST(DuproPlatformWin32, HiddenFilesAreReplaced) {
  suite_test::TempFolder folder;
  std::string path = folder.file("h.txt");
  folder.write("h.txt", "old");
  ASSERT_TRUE(platform::set_attributes(path, platform::HIDDEN | platform::SYSTEM));
  rewrite(path, "new!");
  EXPECT_EQ(folder.read("h.txt"), "new!");
}

TEST(DuproPlatformWin32, CreateFailuresAreToldWithTheSystemsText) {
  suite_test::TempFolder folder;
  platform::CreateFailure failure;
  EXPECT_EQ(platform::create_file(folder.file("no\\such\\x"), "", failure), platform::NO_HANDLE);
  EXPECT_EQ(failure, platform::CreateFailure::path_not_found);
  std::string text = platform::last_error_text();
  EXPECT_FALSE(text.empty());
  EXPECT_NE(text.back(), '.');
  EXPECT_NE(text.back(), '\n');
  EXPECT_EQ(text.find('\r'), std::string::npos);
  std::filesystem::create_directory(folder.file("dir"));
  EXPECT_EQ(platform::create_file(folder.file("dir"), "", failure), platform::NO_HANDLE);
  EXPECT_EQ(failure, platform::CreateFailure::other);
  platform::FileInfo info;
  EXPECT_EQ(platform::open_and_look_up(folder.file("no-such"), info), platform::NO_HANDLE);
  EXPECT_FALSE(platform::make_directory(folder.file("dir")));
  EXPECT_TRUE(platform::make_directory(folder.file("dir\\new")));
  EXPECT_NE(attributes_of(folder.file("dir\\new")) & platform::DIRECTORY, 0u);
}

TEST(DuproPlatformWin32, TimesAreEvenSecondWordsInLocalTime) {
  suite_test::TempFolder folder;
  std::string path = folder.file("t");
  folder.write("t", "x");
  std::uint16_t date = (101 - 80) << 9 | 7 << 5 | 4;  // 2001-07-04
  std::uint16_t time = 13 << 11 | 5 << 5 | 29;         // 13:05:58
  platform::CreateFailure failure;
  platform::Handle handle = platform::create_file(path, "", failure);
  ASSERT_NE(handle, platform::NO_HANDLE);
  ASSERT_EQ(platform::write_fully(handle, "xy", 2), 2u);
  ASSERT_TRUE(platform::finish_file(handle, path, date, time, platform::READ_ONLY | platform::ARCHIVE));
  platform::FileInfo info;
  ASSERT_TRUE(platform::look_up(path, info));
  EXPECT_EQ(info.date, date);
  EXPECT_EQ(info.time, time);
  EXPECT_EQ(info.size, 2u);
  EXPECT_EQ(info.name, "t");
  EXPECT_EQ(info.attributes, platform::READ_ONLY | platform::ARCHIVE);
  std::vector<platform::FileInfo> listed;
  ASSERT_TRUE(platform::list_directory(folder.file("t"), 0, listed));
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0].date, date);
  EXPECT_EQ(listed[0].time, time);
}

TEST(DuproPlatformWin32, ListingHonoursPatternAndMask) {
  suite_test::TempFolder folder;
  folder.write("a.txt", "1");
  folder.write("B.TXT", "22");
  folder.write("c.dat", "");
  folder.write("h.txt", "h");
  folder.write("s.txt", "s");
  ASSERT_TRUE(platform::set_attributes(folder.file("h.txt"), platform::HIDDEN));
  ASSERT_TRUE(platform::set_attributes(folder.file("s.txt"), platform::SYSTEM));
  std::filesystem::create_directory(folder.file("sub.txt"));
  auto names = [&](const std::string& pattern, std::uint32_t mask) {
    std::vector<platform::FileInfo> entries;
    EXPECT_TRUE(platform::list_directory(folder.path() + "\\" + pattern, mask, entries));
    std::vector<std::string> result;
    for (const auto& entry : entries) result.push_back(entry.name);
    std::sort(result.begin(), result.end());
    return result;
  };
  using Names = std::vector<std::string>;
  EXPECT_EQ(names("*.txt", 0), (Names{"B.TXT", "a.txt"}));
  EXPECT_EQ(names("*.txt", platform::HIDDEN), (Names{"B.TXT", "a.txt", "h.txt"}));
  EXPECT_EQ(names("*.txt", platform::HIDDEN | platform::SYSTEM), (Names{"B.TXT", "a.txt", "h.txt", "s.txt"}));
  EXPECT_EQ(names("*.txt", platform::DIRECTORY), (Names{"B.TXT", "a.txt", "sub.txt"}));
  // The suite's own matcher decides: "*.*" is every name, "?" one character.
  EXPECT_EQ(names("*.*", 0), (Names{"B.TXT", "a.txt", "c.dat"}));
  EXPECT_EQ(names("?.dat", 0), (Names{"c.dat"}));
  EXPECT_EQ(names("*.t", 0), Names{});
  std::vector<std::string> subdirectories;
  ASSERT_TRUE(platform::list_subdirectories(folder.path(), subdirectories));
  EXPECT_EQ(subdirectories, Names{"sub.txt"});
  std::vector<platform::FileInfo> entries;
  EXPECT_FALSE(platform::list_directory(folder.path() + "\\none\\*.*", 0, entries));
}

// A stamp tells a file's states apart; the source is never truncated, by
// whatever path it is named.
TEST(DuproPlatformWin32, StampsAndTheSameFile) {
  suite_test::TempFolder folder;
  folder.write("a", "abc");
  folder.write("c", "abc");
  platform::FileStamp by_path, opened, other;
  ASSERT_TRUE(platform::stamp_of(folder.file("a"), by_path));
  EXPECT_EQ(by_path.size, 3u);
  platform::Handle handle = platform::open_without_waiting(folder.file("a"));
  ASSERT_NE(handle, platform::NO_HANDLE);
  ASSERT_TRUE(platform::stamp_of(handle, opened));
  EXPECT_EQ(opened, by_path);
  ASSERT_TRUE(platform::seek_file(handle, 1));
  char bytes[4];
  EXPECT_EQ(platform::read_fully(handle, bytes, 4), 2u);
  EXPECT_EQ(std::string(bytes, 2), "bc");
  platform::close_file(handle);
  ASSERT_TRUE(platform::stamp_of(folder.file("c"), other));
  EXPECT_NE(other.inode, by_path.inode);
  EXPECT_FALSE(platform::stamp_of(folder.file("missing"), other));
  ASSERT_TRUE(platform::set_attributes(folder.file("a"), platform::HIDDEN | platform::ARCHIVE));
  ASSERT_TRUE(platform::stamp_of(folder.file("a"), other));
  EXPECT_NE(other, by_path);

  EXPECT_TRUE(platform::name_one_file(folder.file("a"), folder.path() + "\\.\\a"));
  EXPECT_FALSE(platform::name_one_file(folder.file("a"), folder.file("c")));
  platform::CreateFailure failure;
  EXPECT_EQ(platform::create_file(folder.path() + "\\.\\a", folder.file("a"), failure), platform::NO_HANDLE);
  EXPECT_EQ(failure, platform::CreateFailure::is_source);
  EXPECT_EQ(folder.read("a"), "abc");
}

TEST(DuproPlatformWin32, Drives) {
  std::string here;
  ASSERT_TRUE(platform::current_directory(here));
  ASSERT_GE(here.size(), 3u);
  EXPECT_EQ(here[1], ':');
  char missing = 0;
  DWORD drives = GetLogicalDrives();
  for (char letter = 'Z'; letter >= 'A'; --letter) {
    if ((drives & (1u << (letter - 'A'))) == 0) missing = letter;
  }
  ASSERT_NE(missing, 0);
  EXPECT_FALSE(platform::change_drive(missing));
  std::string after;
  ASSERT_TRUE(platform::current_directory(after));
  EXPECT_EQ(after, here);
}

}  // namespace
