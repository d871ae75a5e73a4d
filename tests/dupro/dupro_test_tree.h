// Helpers for the end-to-end tests: building source trees with chosen
// times and attributes, and reading back what Dupro made.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

#include "dupro/platform.h"
#include "tests/support/run_program.h"

namespace dupro_test {

inline void make_folder(const std::string& path) { mkdir(path.c_str(), 0777); }

// Runs Dupro with the folder as its working directory and no terminal.
inline suite_test::RunResult run_dupro_in(const suite_test::TempFolder& folder,
                                          const std::vector<std::string>& arguments) {
  suite_test::RunOptions options;
  options.folder = folder.path();
  return suite_test::run_program("dupro", arguments, options);
}

// Sets a file's modification time from local calendar values.
inline void set_time(const std::string& path, int year, int month, int day, int hour, int minute, int second) {
  struct tm local = {};
  local.tm_year = year - 1900;
  local.tm_mon = month - 1;
  local.tm_mday = day;
  local.tm_hour = hour;
  local.tm_min = minute;
  local.tm_sec = second;
  local.tm_isdst = -1;
  struct timespec times[2];
  times[0].tv_sec = times[1].tv_sec = mktime(&local);
  times[0].tv_nsec = times[1].tv_nsec = 0;
  utimensat(AT_FDCWD, path.c_str(), times, 0);
}

inline std::time_t modification_time(const std::string& path) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return -1;
  return info.st_mtime;
}

// Under Wine a Windows program sees a file's attributes as Wine keeps them:
// read-only is the file's lack of write permission, hidden and system are
// kept in the extended attribute "user.DOSATTRIB" (written "0x" and the bits
// in hexadecimal), every file is archived and no folder is.
constexpr const char* WINE_ATTRIBUTES = "user.DOSATTRIB";
constexpr std::uint32_t WINE_KEPT_BITS = dupro::platform::HIDDEN | dupro::platform::SYSTEM;

inline std::uint32_t wine_attributes_of(const std::string& path) {
  struct stat info;
  EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
  std::uint32_t attributes = S_ISDIR(info.st_mode) ? dupro::platform::DIRECTORY : dupro::platform::ARCHIVE;
  if ((info.st_mode & 0222) == 0) attributes |= dupro::platform::READ_ONLY;
  char kept[16] = {};
  if (getxattr(path.c_str(), WINE_ATTRIBUTES, kept, sizeof kept - 1) > 0) {
    attributes |= static_cast<std::uint32_t>(std::strtoul(kept, nullptr, 16)) & WINE_KEPT_BITS;
  }
  return attributes;
}

inline void set_wine_attributes(const std::string& path, std::uint32_t attributes) {
  struct stat info;
  ASSERT_EQ(stat(path.c_str(), &info), 0) << path;
  mode_t mode = (attributes & dupro::platform::READ_ONLY) ? info.st_mode & ~0222 : info.st_mode | S_IWUSR;
  ASSERT_EQ(chmod(path.c_str(), mode & 07777), 0) << path;
  char kept[16];
  int length = std::snprintf(kept, sizeof kept, "0x%x", attributes & WINE_KEPT_BITS);
  ASSERT_EQ(setxattr(path.c_str(), WINE_ATTRIBUTES, kept, static_cast<std::size_t>(length), 0), 0) << path;
}

// A file's attribute word as the program under test sees it.
inline std::uint32_t attributes_of(const std::string& path) {
  if (suite_test::programs_run_under_wine()) return wine_attributes_of(path);
  dupro::platform::FileInfo info;
  EXPECT_TRUE(dupro::platform::look_up(path, info)) << path;
  return info.attributes;
}

inline void set_attributes(const std::string& path, std::uint32_t attributes) {
  if (suite_test::programs_run_under_wine()) return set_wine_attributes(path, attributes);
  ASSERT_TRUE(dupro::platform::set_attributes(path, attributes)) << path;
}

// Where a file is hidden by its name alone (a name that begins with '.'),
// nothing needs to be set; under Wine the program sees the attribute.
inline void make_hidden(const std::string& path) {
  if (suite_test::programs_run_under_wine()) set_wine_attributes(path, dupro::platform::HIDDEN);
}

// Wine keeps every file's archive bit set.
inline bool archive_bit_can_be_cleared() { return !suite_test::programs_run_under_wine(); }
// Named pipes, sockets and the files of /sys are kinds of file a Windows
// program never meets among its files.
inline bool posix_file_kinds_are_seen() { return !suite_test::programs_run_under_wine(); }
constexpr const char* NO_POSIX_FILE_KINDS = "Windows has no named pipes, sockets or /sys files among its files";

// The system's text for an error, on POSIX and on Windows.
inline std::string system_text(const std::string& posix, const std::string& windows) {
  return suite_test::programs_run_under_wine() ? windows : posix;
}

// The archive bit a file has after it was cleared.
inline std::uint32_t archive_bit_kept() { return archive_bit_can_be_cleared() ? 0 : dupro::platform::ARCHIVE; }

// An expected output, written with the paths as they are printed on POSIX,
// as the program prints it: under Wine every separator is '\\', and an
// absolute path begins with the drive that holds the root (Z:). The one
// '/' that is not a separator, in "(Y/N)", stays.
inline std::string printed(const std::string& text) {
  if (!suite_test::programs_run_under_wine()) return text;
  std::string written;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c != '/' || (i > 0 && text[i - 1] == 'Y' && i + 1 < text.size() && text[i + 1] == 'N')) {
      written += c;
      continue;
    }
    bool starts_a_path = i == 0 || std::strchr(" \"\r\n\t", text[i - 1]) != nullptr;
    written += starts_a_path ? "Z:\\" : "\\";
  }
  return written;
}

inline std::vector<std::string> printed_lines(const std::vector<std::string>& lines) {
  std::vector<std::string> written;
  for (const std::string& line : lines) written.push_back(printed(line));
  return written;
}

// Under Wine a write past the file-size limit ends Wine itself unless the
// signal for it is ignored from the program's start: the test ignores it
// while it starts the program, which keeps it ignored.
inline void ignore_file_size_signal_under_wine(bool ignore) {
  if (suite_test::programs_run_under_wine()) std::signal(SIGXFSZ, ignore ? SIG_IGN : SIG_DFL);
}

// Under Wine the terminal hands keys to the program only while it reads
// them, and a key typed just before that, while the terminal is still in
// line mode, is lost: keys are typed once the program has had the time to
// start its read.
inline void type_keys(suite_test::TerminalSession& session, const std::string& keys) {
  if (suite_test::programs_run_under_wine()) usleep(500 * 1000);
  session.type(keys);
}

// Bytes 0 to 255 over and over, with CR, LF and Ctrl-Z among them.
inline std::string binary_bytes(std::size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + seed + i / 4099) & 0xFF);
  return bytes;
}

// The lines of an output (CR LF separated), sorted; the unfinished last
// piece (the summary) is left out.
inline std::vector<std::string> sorted_lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

inline std::vector<std::string> sorted(std::vector<std::string> lines) {
  std::sort(lines.begin(), lines.end());
  return lines;
}

// What follows the last CR LF: the summary line.
inline std::string summary_of(const std::string& out) {
  std::size_t end = out.rfind("\r\n");
  return end == std::string::npos ? out : out.substr(end + 2);
}

inline std::size_t count_of(const std::string& text, const std::string& piece) {
  std::size_t count = 0;
  for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++count;
  return count;
}

}  // namespace dupro_test
