#include "ordly/errors.h"

#include <cstdlib>

#include "common/errors.h"
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

// The usage text follows '?' and the errors of the command line.
static_assert(MAX_FILES == 256, "the message of TOO_MANY_FILES names the limit");
constexpr suite::ErrorMessage<ErrorCode> ERROR_MESSAGES[] = {
    {ErrorCode::USAGE, nullptr, true},
    {ErrorCode::OUTPUT_NAME_MISSING, "Output file name missing.\n\n", true},
    {ErrorCode::CANNOT_OPEN, "Can't open '%s'.\n\n", false},
    {ErrorCode::INVALID_OPTION, "Invalid option: '%s'.\n\n", true},
    {ErrorCode::TOO_MANY_FILES, "Can't handle more than 256 files.\n\n", false},
    {ErrorCode::NO_FILE_HANDLES, "Not enough free file handles.\n\n", false},
    {ErrorCode::MEMORY_EXHAUSTED, "Memory exhausted.\n\n", false},
    {ErrorCode::STACK_OVERFLOW, "Stack overflow. Try using '/H', '/P' or '/Q'!\n\n", false},
};

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
  const suite::ErrorMessage<ErrorCode>& message = suite::error_message(ERROR_MESSAGES, code);
  print_banner();
  if (message.format != nullptr) suite::standard_error().print(message.format, text != nullptr ? text : "");
  if (message.usage_follows) suite::standard_error().write(usage_text());
  remove_own_files();
  suite::end_program(static_cast<int>(code));
}

void end_without_reader() {
  remove_own_files();
  std::exit(0);
}

}  // namespace ordly
