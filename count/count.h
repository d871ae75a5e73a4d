// Count: text statistics over a set of files, printed as one report.
#pragma once

#include <string>
#include <vector>

#include "count/counter.h"

namespace count {

// The totals of the run, shared by all its files.
extern Counter counter;

// Error codes, which are also the exit statuses.
enum ErrorCode {
  USAGE_ONLY = 0,
  NO_SOURCE_FILE = 1,
  FILE_NOT_FOUND = 2,
};

// Writes the banner to standard error.
void print_banner();
// Writes the error line of the code, and the usage text where it follows,
// to standard error, and ends the program with the code as status.
[[noreturn]] void usage_exit(ErrorCode code);
// Writes the name, then counts the file read in binary mode, straight from
// the stream's buffer; a file that cannot be opened ends the run with code 2.
void count_file(const std::string& name);
// Help or usage, or every file in order and then the report. (The banner
// comes first, from main.)
void run(const std::vector<std::string>& arguments);

}  // namespace count
