// Onely: writes one line for each run of successive identical lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/streams.h"

namespace onely {

enum class LineFilter { ALL_RUNS, REPEATED_ONLY, SINGLE_ONLY };

// Filled from the command line before any input is read.
// Error codes, which are also the exit statuses.
enum ErrorCode {
  USAGE_ONLY = 0,
  BAD_SYNTAX = 2,
  UNKNOWN_OPTION = 4,
  CANNOT_OPEN = 8,
  BAD_NUMBER = 16,
};

struct Settings {
  bool show_counts = false;
  LineFilter line_filter = LineFilter::ALL_RUNS;
  bool ignore_case = false;
  std::int32_t skip_count = 0;
  std::int32_t compare_limit = 0;  // 0 or less: no limit
};

extern Settings settings;

// Lines are read in pieces of at most LINE_BUFFER_SIZE - 2 bytes.
constexpr std::size_t LINE_BUFFER_SIZE = 1048576;

// The part of a line that takes part in comparisons.
struct CompareWindow {
  const char* start;
  std::int32_t length;
};

// The window of a line (its text, newline kept) under the skip count and
// the compare limit.
CompareWindow compare_window(std::string_view line);
// True when two windows hold the same bytes (ASCII letters folded when
// letter case is ignored).
bool windows_equal(CompareWindow incoming, CompareWindow held);

// The whole filtering pass from input to output.
void filter_lines(suite::InputStream& input, suite::OutputStream& output);

// Takes the arguments from left to right, opening the source and the
// destination as they are met; ends the program on an error.
void take_arguments(const std::vector<std::string>& arguments);
// Banner, message for the code (with the text in it) and usage to the
// error stream, then exit with the code as status.
[[noreturn]] void usage_exit(ErrorCode code, const std::string& text);

}  // namespace onely
