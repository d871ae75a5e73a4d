// Tail: the last lines or bytes of each input. Settings change from left to
// right as the arguments are taken; each input is tailed with the settings
// in force when its name is met.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/streams.h"

namespace tail {

struct Settings {
  std::int32_t tail_count = 10;
  bool byte_mode = false;
  bool file_named = false;  // an argument was taken as a file name
};

extern Settings settings;

// Applies an option argument ('/' or '-' and more): "b" switches byte mode
// on, a number other than 0 becomes the count. Returns false when the
// argument reads as the number 0, which makes it a file name after all.
bool take_option(const std::string& argument);

// Writes "\nMemory exhausted\n" to standard error and ends with status 1.
[[noreturn]] void memory_exhausted();
// Makes every failed allocation end the program through memory_exhausted.
void install_memory_handler();

// Prints the usage text on standard output and ends with status 0.
[[noreturn]] void show_usage();

// Tails one input with the settings in force to the given output.
void tail_stream(suite::InputStream& in, suite::OutputStream& out);
// Opens a named file (binary in byte mode, text otherwise) and tails it;
// a file that cannot be opened is reported and skipped.
void tail_file(const std::string& name);
// Takes the (already expanded) arguments from left to right, then tails
// standard input when no argument was a file name.
void run(const std::vector<std::string>& arguments);

}  // namespace tail
