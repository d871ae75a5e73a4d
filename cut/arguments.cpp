#include <cstdlib>

#include "common/arguments.h"
#include "common/errors.h"
#include "common/platform.h"
#include "common/text.h"
#include "cut/cut.h"

namespace cut {

Settings settings;
PositionSet positions;

namespace {

const char* const VERSION = "2.10";

void print_banner() {
  suite::OutputStream& error = suite::standard_error();
  error.print("\n\t\tCut %s.  ", VERSION);
  error.write("Selects bytes, columns, fields or rows of text.\n");
}

void print_usage() {
  suite::OutputStream& error = suite::standard_error();
  error.write(
      "\nUse:\tCut /{b|c|f|r}n1[-n2][,n3[-n4] ...] [/dc] [file]\n\n"
      "\tPut in stdout the selected 'b'ytes, 'c'olumns, 'f'ields or 'r'ows\n"
      "from stdin (or 'file').\n");
  error.write(
      "By default the field delimiter is the Tab character, but may be changed\n"
      "to the character 'c' by using '/dc' or to the space with '/d\" \"'.\n");
  error.print("\tBytes, columns, fields and rows must be between 1 and %d\n", MAX_POSITION);
}

// Every error is followed by the usage text.
constexpr suite::ErrorMessage<ErrorCode> ERROR_MESSAGES[] = {
    {USAGE_ONLY, nullptr, true},
    {UNKNOWN_OPTION, "\nUnknown option.\n", true},
    {BAD_SYNTAX, "\nBad syntax.\n", true},
    {CANNOT_OPEN, "\nCould not open file.\n", true},
    {BAD_NUMBER, "\nBad numeric value.\n", true},
};

void take_mode(CutMode mode, const std::string& argument) {
  if (settings.mode.has_value()) usage_exit(BAD_SYNTAX);
  settings.mode = mode;
  if (!parse_ranges(argument.c_str() + 2, positions)) usage_exit(BAD_NUMBER);
}

// '/dc', or '/d' followed by an argument that is one blank. Returns how
// many of the following arguments it consumed (next is null at the end).
std::size_t take_delimiter(const std::string& argument, const std::string* next) {
  if (settings.field_delimiter != '\t') usage_exit(BAD_SYNTAX);
  if (argument.size() == 3) {
    settings.field_delimiter = argument[2];
    return 0;
  }
  if (argument.size() == 2 && next != nullptr && *next == " ") {
    settings.field_delimiter = ' ';
    return 1;
  }
  usage_exit(BAD_SYNTAX);
}

std::size_t take_option(const std::string& argument, const std::string* next) {
  switch (suite::upper_ascii(argument[1])) {
    case '?': usage_exit(USAGE_ONLY);
    case 'B': take_mode(CutMode::CUT_BYTES, argument); return 0;
    case 'C': take_mode(CutMode::CUT_COLUMNS, argument); return 0;
    case 'F': take_mode(CutMode::CUT_FIELDS, argument); return 0;
    case 'R': take_mode(CutMode::CUT_ROWS, argument); return 0;
    case 'D': return take_delimiter(argument, next);
    default: usage_exit(UNKNOWN_OPTION);
  }
}

}  // namespace

void usage_exit(ErrorCode code) {
  const suite::ErrorMessage<ErrorCode>& message = suite::error_message(ERROR_MESSAGES, code);
  print_banner();
  if (message.format != nullptr) suite::standard_error().write_c_string(message.format);
  if (message.usage_follows) print_usage();
  suite::end_program(code);
}

void take_arguments(const std::vector<std::string>& arguments) {
  bool have_file = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (suite::is_option_argument(argument)) {
      i += take_option(argument, i + 1 < arguments.size() ? &arguments[i + 1] : nullptr);
    } else {
      if (have_file) usage_exit(BAD_SYNTAX);
      if (!suite::open_standard_input(argument)) usage_exit(CANNOT_OPEN);
      have_file = true;
    }
  }
  if (!settings.mode.has_value()) usage_exit(BAD_SYNTAX);
  // Standard output appending to the very file being read would feed the
  // cut its own output for ever, so that file cannot be opened.
  if (suite::standard_output_feeds_standard_input()) usage_exit(CANNOT_OPEN);
}

}  // namespace cut
