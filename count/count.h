// Count: text statistics over a set of files, printed as one report.
#pragma once

#include <string>
#include <vector>

#include "count/counter.h"

namespace count {

// The totals of the run, shared by all its files.
extern Counter counter;

// Writes the banner to standard error.
void print_banner();
// Code 0: the usage text, status 0; 1: "No source file" and the usage text;
// 2: "File not found" alone. Ends the program with the code as status.
[[noreturn]] void usage_exit(int code);
// Writes the name, then counts the file read in binary mode, straight from
// the stream's buffer; a file that cannot be opened ends the run with code 2.
void count_file(const std::string& name);
// Help or usage, or every file in order and then the report. (The banner
// comes first, from main.)
void run(const std::vector<std::string>& arguments);

}  // namespace count
