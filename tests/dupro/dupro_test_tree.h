// Helpers for the end-to-end tests: building source trees with chosen
// times and attributes, and reading back what Dupro made.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
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

inline std::uint32_t attributes_of(const std::string& path) {
  dupro::platform::FileInfo info;
  EXPECT_TRUE(dupro::platform::look_up(path, info)) << path;
  return info.attributes;
}

inline void set_attributes(const std::string& path, std::uint32_t attributes) {
  ASSERT_TRUE(dupro::platform::set_attributes(path, attributes)) << path;
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
