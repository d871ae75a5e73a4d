// Dupro's command line: the option settings, how the arguments are read,
// and the banner.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dupro/errors.h"

namespace dupro {

enum class SameUnit { UNDECIDED, NO, YES };

struct CopyOptions {
  bool archive_only = false;        // A
  bool update_archive = false;      // B
  bool confirm_each = false;        // C
  bool only_existing = false;       // D
  bool compare_only = false;        // E
  bool date_filter = false;         // F, with filter_date
  std::uint16_t filter_date = 0;
  bool include_hidden = true;       // H turns it off
  bool multiple_copies = false;     // K
  bool only_newer = false;          // M
  bool only_missing = false;        // N
  bool only_older = false;          // O
  bool pause_first = false;         // P
  bool overwrite_readonly = false;  // R
  bool no_subdirs = false;          // S
  SameUnit same_unit = SameUnit::UNDECIDED;  // U
  bool void_dirs = false;           // V
  bool wait_at_end = false;         // W
  bool delete_source = false;       // X
  bool flatten = false;             // Y
  bool one_at_a_time = false;       // 1
};

// What the command line gives: the settings and the paths as typed, with
// every '/' and '\' written as the platform's separator.
struct CommandLine {
  CopyOptions options;
  std::string source;
  std::string target;
  bool has_source = false;
  bool has_target = false;
};

// parse_command_line's answer when the arguments are complete and valid:
// no code, since the run goes on.
constexpr ExitCode ARGUMENTS_VALID = static_cast<ExitCode>(-1);

// Reads the arguments from left to right. Returns ARGUMENTS_VALID, or the
// error code that ends the run at the first argument found wrong
// (USAGE_ONLY for '?').
ExitCode parse_command_line(const std::vector<std::string>& arguments, CommandLine& line);

// Reads an F value "mm-dd-yy" into the date word (years since 1980 << 9,
// month << 5, day). False when the value is not a valid date.
bool parse_filter_date(const char* text, std::uint16_t& date);

// The process-wide settings, filled from the command line.
extern CopyOptions options;

void print_banner();

}  // namespace dupro
