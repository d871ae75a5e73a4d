// The command line shared by Colpack and Colspread: the stop options, the
// source and destination arguments, and the error routine with its texts.
#pragma once

#include <string>
#include <vector>

#include "tabconv/tab_stops.h"

namespace tabconv {

// What tells the two programs apart on the error stream.
struct ProgramTexts {
  const char* name;         // as the banner and usage text spell it
  const char* usage_lines;  // the two opening lines of the usage text
};

extern const ProgramTexts COLPACK;
extern const ProgramTexts COLSPREAD;

// Error codes, which are also the exit statuses.
enum ErrorCode {
  USAGE_ONLY = 0,
  BAD_SYNTAX = 2,
  UNKNOWN_OPTION = 4,
  CANNOT_OPEN = 8,
  BAD_NUMBER = 16,
};

// Process-wide settings, filled from the command line and read-only after.
struct Settings {
  const ProgramTexts* program = &COLPACK;
  bool stops_given = false;   // a '-D' or '-T' option has been taken
  int file_names = 0;         // source and destination met so far
};

extern Settings settings;
extern TabStopTable tab_stop_table;

// Writes the banner, the message for the code with the text in place of %s
// (none for USAGE_ONLY) and the usage text to the error stream, and ends the
// program with the code as exit status.
[[noreturn]] void usage_exit(ErrorCode code, const std::string& text = "");

// Takes the arguments from left to right: sets the stops, reopens standard
// input on the source and standard output on the destination, and applies
// the default stops every 8 columns when no stop option was given. Errors
// end the program through usage_exit.
void take_arguments(const ProgramTexts& program, const std::vector<std::string>& arguments);

}  // namespace tabconv
