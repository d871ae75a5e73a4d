// The Win32 platform layer: open failures, drives, listings, pipes and
// outputs that feed inputs.
#include "common/platform.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <filesystem>

#include "tests/support/run_program.h"

namespace platform = suite::platform;

namespace {

platform::Handle handle_of(HANDLE handle) { return reinterpret_cast<platform::Handle>(handle); }

// A handle that writes to the file at its end, as '>>' opens one.
HANDLE open_at_end(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  LARGE_INTEGER none = {};
  SetFilePointerEx(file, none, nullptr, FILE_END);
  return file;
}

}  // namespace

TEST(Win32Platform, OpenFailuresAreToldApart) {
  suite_test::TempFolder folder;
  EXPECT_EQ(platform::open_for_reading(folder.file("missing.txt")), platform::NO_HANDLE);
  EXPECT_EQ(platform::last_open_failure(), platform::OpenFailure::no_such_file);
  EXPECT_EQ(platform::open_for_reading(folder.file("no-folder\\a.txt")), platform::NO_HANDLE);
  EXPECT_EQ(platform::last_open_failure(), platform::OpenFailure::path_not_found);
  EXPECT_EQ(platform::open_for_writing(folder.path(), true), platform::NO_HANDLE);
  EXPECT_EQ(platform::last_open_failure(), platform::OpenFailure::permission_denied);
  platform::Handle made = platform::open_for_writing(folder.file("new.txt"), true);
  ASSERT_NE(made, platform::NO_HANDLE);
  EXPECT_EQ(platform::last_open_failure(), platform::OpenFailure::none);
  EXPECT_TRUE(platform::close_handle(made));
}

TEST(Win32Platform, WritingKeepsOrEmptiesAnExistingFile) {
  suite_test::TempFolder folder;
  folder.write("f.txt", "old text");
  platform::Handle kept = platform::open_for_writing(folder.file("f.txt"), false);
  ASSERT_NE(kept, platform::NO_HANDLE);
  EXPECT_EQ(platform::write_bytes(kept, "new", 3), 3u);
  platform::close_handle(kept);
  EXPECT_EQ(folder.read("f.txt"), "new text");
  // A hidden file is written too, and keeps its attribute.
  ASSERT_NE(SetFileAttributesA(folder.file("f.txt").c_str(), FILE_ATTRIBUTE_HIDDEN), 0);
  platform::Handle emptied = platform::open_for_writing(folder.file("f.txt"), true);
  ASSERT_NE(emptied, platform::NO_HANDLE);
  platform::close_handle(emptied);
  EXPECT_EQ(folder.read("f.txt"), "");
  EXPECT_NE(GetFileAttributesA(folder.file("f.txt").c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
  SetFileAttributesA(folder.file("f.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(Win32Platform, OnlyADriveTheSystemLacksIsMissing) {
  suite_test::TempFolder folder;
  DWORD drives = GetLogicalDrives();
  char missing = 0;
  for (char letter = 'Z'; letter >= 'A' && missing == 0; --letter) {
    if ((drives & (1u << (letter - 'A'))) == 0) missing = letter;
  }
  ASSERT_NE(missing, 0);
  EXPECT_TRUE(platform::names_missing_drive(std::string(1, missing) + ":\\file.txt"));
  EXPECT_TRUE(platform::names_missing_drive(std::string(1, static_cast<char>(missing - 'A' + 'a')) + ":x"));
  EXPECT_FALSE(platform::names_missing_drive(folder.path().substr(0, 2) + "file.txt"));
  EXPECT_FALSE(platform::names_missing_drive("1:file.txt"));
  EXPECT_FALSE(platform::names_missing_drive("file.txt"));
}

TEST(Win32Platform, PathsKeepTheirBackslashesAndDrives) {
  EXPECT_EQ(platform::native_path("C:a\\b/c"), "C:a\\b/c");
  EXPECT_EQ(platform::folder_part("C:a\\b/c*.txt"), "C:a\\b/");
  EXPECT_EQ(platform::folder_part("C:*.txt"), "C:");
  EXPECT_EQ(platform::folder_part("*.txt"), "");
}

TEST(Win32Platform, ListingLeavesOutTheDotEntriesAndMarksAttributes) {
  suite_test::TempFolder folder;
  folder.write("plain.txt", "");
  folder.write("hidden.txt", "");
  folder.write("system.txt", "");
  std::filesystem::create_directory(folder.file("sub"));
  SetFileAttributesA(folder.file("hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
  SetFileAttributesA(folder.file("system.txt").c_str(), FILE_ATTRIBUTE_SYSTEM);
  std::vector<platform::DirectoryEntry> entries;
  ASSERT_TRUE(platform::list_directory(folder.path(), entries));
  std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[0].name, "hidden.txt");
  EXPECT_TRUE(entries[0].is_hidden);
  EXPECT_FALSE(entries[0].is_system);
  EXPECT_EQ(entries[1].name, "plain.txt");
  EXPECT_FALSE(entries[1].is_hidden || entries[1].is_system || entries[1].is_directory);
  EXPECT_EQ(entries[2].name, "sub");
  EXPECT_TRUE(entries[2].is_directory);
  EXPECT_EQ(entries[3].name, "system.txt");
  EXPECT_TRUE(entries[3].is_system);
  SetFileAttributesA(folder.file("hidden.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
  SetFileAttributesA(folder.file("system.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
  // An empty folder lists nothing; a missing one cannot be read.
  entries.clear();
  EXPECT_TRUE(platform::list_directory(folder.file("sub"), entries));
  EXPECT_TRUE(entries.empty());
  EXPECT_FALSE(platform::list_directory(folder.file("none"), entries));
}

TEST(Win32Platform, AWriteToAPipeNobodyReadsMeansTheReaderHasGone) {
  HANDLE reader, writer;
  ASSERT_NE(CreatePipe(&reader, &writer, nullptr, 0), 0);
  CloseHandle(reader);
  EXPECT_EQ(platform::write_bytes(handle_of(writer), "lost", 4), 0u);
  EXPECT_EQ(platform::last_write_failure(), platform::WriteFailure::reader_gone);
  CloseHandle(writer);
}

TEST(Win32Platform, OnlyADiskFileGoesBackToItsStart) {
  // The system may take a pipe's position without moving anything, so a
  // caller would read what it already read as gone.
  HANDLE reader, writer;
  ASSERT_NE(CreatePipe(&reader, &writer, nullptr, 0), 0);
  ASSERT_EQ(platform::write_bytes(handle_of(writer), "line\n", 5), 5u);
  char buffer[8];
  ASSERT_EQ(platform::read_bytes(handle_of(reader), buffer, sizeof buffer), 5u);
  EXPECT_FALSE(platform::seek_to_start(handle_of(reader)));
  EXPECT_FALSE(platform::truncate_to_empty(handle_of(writer)));
  CloseHandle(reader);
  CloseHandle(writer);

  suite_test::TempFolder folder;
  folder.write("a.txt", "line\n");
  platform::Handle file = platform::open_for_reading(folder.file("a.txt"));
  ASSERT_NE(file, platform::NO_HANDLE);
  ASSERT_EQ(platform::read_bytes(file, buffer, sizeof buffer), 5u);
  EXPECT_TRUE(platform::seek_to_start(file));
  EXPECT_EQ(platform::read_bytes(file, buffer, sizeof buffer), 5u);
  platform::close_handle(file);
}

TEST(Win32Platform, AnOutputFeedsAnInputOnlyWhereItWritesIntoWhatIsStillToBeRead) {
  suite_test::TempFolder folder;
  folder.write("f.txt", "text\n");
  folder.write("g.txt", "other\n");
  folder.write("empty.txt", "");
  platform::Handle input = platform::open_for_reading(folder.file("f.txt"));
  ASSERT_NE(input, platform::NO_HANDLE);
  platform::Handle at_start = platform::open_for_writing(folder.file("f.txt"), false);
  EXPECT_TRUE(platform::output_feeds_input(at_start, input));
  HANDLE at_end = open_at_end(folder.file("f.txt"));
  EXPECT_TRUE(platform::output_feeds_input(handle_of(at_end), input));
  HANDLE elsewhere = open_at_end(folder.file("g.txt"));
  EXPECT_FALSE(platform::output_feeds_input(handle_of(elsewhere), input));
  platform::Handle empty_input = platform::open_for_reading(folder.file("empty.txt"));
  HANDLE empty_output = open_at_end(folder.file("empty.txt"));
  EXPECT_FALSE(platform::output_feeds_input(handle_of(empty_output), empty_input));
  for (HANDLE handle : {at_end, elsewhere, empty_output}) CloseHandle(handle);
  for (platform::Handle handle : {input, at_start, empty_input}) platform::close_handle(handle);
}
