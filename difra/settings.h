// Difra's process-wide settings, filled from the command line.
#pragma once

#include <string>
#include <vector>

namespace difra {

struct Settings {
  bool trim_trailing_blanks = false;  // /B
  bool fold_case = false;             // /C
  bool full_lines = false;            // /F
  bool squeeze_blanks = false;        // /S
  bool expand_tabs = false;           // /T
  std::string filespec1;
  std::string filespec2;
};

extern Settings settings;

enum class CommandLineOutcome { run, usage, invalid_option };

// Takes the arguments from left to right into `settings`. Stops at the
// first argument that ends the program: '?', a wrong option letter or a
// third file name. Backslashes in file names are read as '/'.
CommandLineOutcome parse_command_line(const std::vector<std::string>& arguments);

// Prints the usage text on standard output and ends with status 1.
[[noreturn]] void show_usage();

}  // namespace difra
