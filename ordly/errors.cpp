#include "ordly/errors.h"

#include <cstdlib>

#include "common/streams.h"
#include "ordly/output.h"
#include "ordly/runs.h"

namespace ordly {

namespace {

// Stored in the console code page: 0xA4 is the small and 0xA5 the capital
// letter n with tilde.
constexpr char USAGE_TEXT[] =
    "\tUse:\tOrdly [/options] [file...]\n"
    "\tOptions can be grouped, are case-insensitive and start by '/' or '-':\n"
    "\tMethod:                  Order:\n"
    "\t/C Combosort             /A Pure (extended) ASCII/ANSI\n"
    "\t/H Heapsort              /B Ignore starting blanks\n"
    "\t/I Insertion (stable)    /D Dictionary order (spaces ignored)\n"
    "\t/Q Quicksort (default)   /E 'Espa\xA4ol': 'ch' and 'll' are single letters\n"
    "\t/S Shell                 /F First number by floating point value\n"
    "\t/M Merge sorted 'files'  /N First number by integer value\n"
    "\t                         /R Sort in reverse order\n"
    "\t                         /W Use Windows' ANSI character set\n"
    "\tMiscellaneous:           /n Start at the 'n'-th column (n = 1, 2, etc)\n"
    "\t/O file\tOutput result to 'file'\n"
    "\t/T\tInform the user of program's state each other second\n"
    "\t/X n\tMaximum line length\t/G Show debug info\n"
    "\t/Z\tAppend to the destination file an ASCII null character (Ctrl Z)\n"
    "\tOrigin files (or 'stdin') are sorted and then merged in a single\n"
    "destination file (or in 'stdout'). '?' and '*' wildcards can be used.\n"
    "\tIf '/A' is not used, upper-case letters are equivalent to the\n"
    "corresponding lower-case and accented letters, '\xA5' appears after 'N' and\n"
    "all characters that are not letters or digits are equivalent to a space.\n";

void print_message(ErrorCode code, const char* text) {
  suite::OutputStream& error = suite::standard_error();
  if (text == nullptr) text = "";
  switch (code) {
    case ErrorCode::USAGE: break;
    case ErrorCode::OUTPUT_NAME_MISSING: error.write("Output file name missing.\n\n"); break;
    case ErrorCode::CANNOT_OPEN: error.print("Can't open '%s'.\n\n", text); break;
    case ErrorCode::INVALID_OPTION: error.print("Invalid option: '%s'.\n\n", text); break;
    case ErrorCode::TOO_MANY_FILES: error.print("Can't handle more than %d files.\n\n", MAX_FILES); break;
    case ErrorCode::NO_FILE_HANDLES: error.write("Not enough free file handles.\n\n"); break;
    case ErrorCode::MEMORY_EXHAUSTED: error.write("Memory exhausted.\n\n"); break;
    case ErrorCode::STACK_OVERFLOW: error.write("Stack overflow. Try using '/H', '/P' or '/Q'!\n\n"); break;
  }
}

bool shows_usage(ErrorCode code) {
  return code == ErrorCode::USAGE || code == ErrorCode::OUTPUT_NAME_MISSING ||
         code == ErrorCode::INVALID_OPTION;
}

// Closes every file and deletes every file that Ordly made for its own use.
void remove_own_files() {
  close_every_file();
  delete_temporary_files();
  discard_unfinished_output();
}

void print_banner() {
  suite::standard_error().print("\n\t\tOrdly v. %s. %s\n\n", "4.10", "Sorts and merges the lines of text files.");
}

}  // namespace

std::string_view usage_text() { return {USAGE_TEXT, sizeof USAGE_TEXT - 1}; }

void error_exit(ErrorCode code, const char* text) {
  print_banner();
  print_message(code, text);
  if (shows_usage(code)) suite::standard_error().write(usage_text());
  remove_own_files();
  std::exit(static_cast<int>(code));
}

void end_without_reader() {
  remove_own_files();
  std::exit(0);
}

}  // namespace ordly
