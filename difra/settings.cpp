#include "difra/settings.h"

#include <cstdlib>

#include "common/arguments.h"
#include "common/errors.h"
#include "common/platform.h"
#include "common/streams.h"

namespace difra {

Settings settings;

namespace {

// Sets the flag of one option letter; false for a letter that is no option.
bool apply_option_letter(char letter) {
  switch (letter) {
    case 'B': case 'b': settings.trim_trailing_blanks = true; return true;
    case 'C': case 'c': settings.fold_case = true; return true;
    case 'F': case 'f': settings.full_lines = true; return true;
    case 'S': case 's': settings.squeeze_blanks = true; return true;
    case 'T': case 't': settings.expand_tabs = true; return true;
    default: return false;
  }
}

}  // namespace

CommandLineOutcome parse_command_line(const std::vector<std::string>& arguments) {
  int names = 0;
  for (const std::string& argument : arguments) {
    if (suite::is_option_argument(argument)) {
      for (std::size_t i = 1; i < argument.size(); ++i) {
        if (argument[i] == '?') return CommandLineOutcome::usage;
        if (!apply_option_letter(argument[i])) return CommandLineOutcome::invalid_option;
      }
      continue;
    }
    ++names;
    if (names == 1) {
      settings.filespec1 = suite::platform::native_path(argument);
    } else if (names == 2) {
      settings.filespec2 = suite::platform::native_path(argument);
    } else {
      return CommandLineOutcome::usage;
    }
  }
  return names < 2 ? CommandLineOutcome::usage : CommandLineOutcome::run;
}

void show_usage() {
  suite::standard_output().write(
      "Difra 3.00 - compares two text files line by line, side by side\n"
      "Use: Difra [options] filespec1 filespec2\n"
      "Options are case insensitive, may appear anywhere and start with '-' or '/':\n"
      "\t/B\tIgnore trailing blanks.\n"
      "\t/C\tCase insensitive compare.\n"
      "\t/F\tShow full lines.\n"
      "\t/S\tIgnore spaces and tabs.\n"
      "\t/T\tExpand tabs before comparing.\n"
      "\n"
      "\t'filespec2' may be a drive or directory name.\n");
  suite::end_program(1);
}

}  // namespace difra
