// Dupro's command line: the option settings, the error routine with its
// messages and usage text, and the banner.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/streams.h"

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

// Error codes, each the exit status that goes with it.
constexpr int USAGE_ONLY = 0;
constexpr int CANCELLED = 1;
constexpr int UNKNOWN_OPTION = 2;
constexpr int MISSING_SOURCE = 4;
constexpr int NOT_ENOUGH_MEMORY = 8;
constexpr int INVALID_DATE = 16;
constexpr int INVALID_SOURCE = 32;
constexpr int SAME_UNIT_CONFLICT = 64;
constexpr int FILE_ERROR = 128;

// parse_command_line's answer when the arguments are complete and valid.
constexpr int ARGUMENTS_VALID = -1;

// Reads the arguments from left to right. Returns ARGUMENTS_VALID, or the
// error code that ends the run at the first argument found wrong
// (USAGE_ONLY for '?').
int parse_command_line(const std::vector<std::string>& arguments, CommandLine& line);

// Reads an F value "mm-dd-yy" into the date word (years since 1980 << 9,
// month << 5, day). False when the value is not a valid date.
bool parse_filter_date(const char* text, std::uint16_t& date);

// The process-wide settings, filled from the command line.
extern CopyOptions options;

void print_banner();
// The error stream, for messages and prompts. What standard output holds
// is written out first, so that on a terminal (or in one log of both
// streams) everything appears in the order the run wrote it.
suite::OutputStream& message_stream();
// The message (when the code has one), the usage text (for 0, 2, 4 and 16),
// and the end of the program with the code as its status.
[[noreturn]] void usage_exit(int code);

}  // namespace dupro
