#include <cstdlib>

#include "common/arguments.h"
#include "common/errors.h"
#include "common/platform.h"
#include "common/text.h"
#include "paste/paste.h"

namespace paste {

Settings settings;

namespace {

const char* const VERSION = "2.20";

// The streams of the named inputs, opened as their arguments are met.
suite::InputStream files[MAX_INPUTS];
std::size_t files_opened = 0;

void print_banner() {
  suite::OutputStream& error = suite::standard_error();
  error.print("\n\t\tPASTE %s. ", VERSION);
  error.write("Joins corresponding lines of files.\n");
}

void print_usage() {
  suite::OutputStream& error = suite::standard_error();
  error.write(
      "\n"
      "Use:\tPaste [/dc] {file | -} ...\n"
      "\n"
      "\tPut in the standard output the lines from the specified files (or from\n"
      "the standard input if '-' has been used) separated by a tabulator (or a space\n"
      "if '-d\" \"' is used, any character string 's' with '-ds' or '-d s' and\n"
      "even no character if '-d \"\"' is specified).\n"
      "'s' may be any string and usual C escape characters are allowed:\n"
      "\t's' = \"\\n\", \"\\012\\t\", etc.\n"
      "This option is case insensitive and may start by '-' or '/'.\n"
      "\n");
  error.print("\tNot more than %d files can be specified and the end of any of them\n",
              static_cast<int>(MAX_INPUTS));
  error.write("stops the process.\n\n");
  error.print("\tThe resulting line may not be longer than %d characters.\n", static_cast<int>(LINE_BUFFER_SIZE));
}

// Every error is followed by the usage text.
constexpr suite::ErrorMessage<ErrorCode> ERROR_MESSAGES[] = {
    {USAGE_ONLY, nullptr, true},
    {UNKNOWN_OPTION, "\nUnknown option.\n", true},
    {BAD_SYNTAX, "\nBad syntax.\n", true},
    {TOO_MANY_FILES, "\nToo many files.\n", true},
    {CANNOT_OPEN, "\nCould not open %s\n", true},
};

// '/ds' gives s; '/d' alone takes the next argument (none: empty). Accepted
// only while the delimiter is still the single tab. Returns how many of the
// following arguments it consumed (next is null at the end).
std::size_t take_delimiter(const std::string& argument, const std::string* next) {
  if (settings.delimiter_text != "\t") usage_exit(BAD_SYNTAX);
  if (argument.size() > 2) {
    settings.delimiter_text = argument.substr(2);
    return 0;
  }
  settings.delimiter_text = next != nullptr ? *next : std::string();
  return next != nullptr ? 1 : 0;
}

std::size_t take_option(const std::string& argument, const std::string* next) {
  switch (suite::upper_ascii(argument[1])) {
    case '?': usage_exit(USAGE_ONLY);
    case 'D': return take_delimiter(argument, next);
    default: usage_exit(UNKNOWN_OPTION);
  }
}

// An input that standard output appends to would feed the paste its own
// output for ever, so it counts as a file that cannot be opened.
void take_input(const std::string& argument) {
  if (settings.input_count == MAX_INPUTS) usage_exit(TOO_MANY_FILES);
  if (argument == "-") {
    if (suite::standard_output_feeds_standard_input()) usage_exit(CANNOT_OPEN, argument);
    settings.inputs[settings.input_count++] = &suite::standard_input();
    return;
  }
  suite::InputStream& file = files[files_opened];
  if (!file.open(argument, suite::StreamMode::text)) usage_exit(CANNOT_OPEN, argument);
  bool fed = suite::platform::output_feeds_input(suite::standard_output().handle(), file.handle());
  if (fed) usage_exit(CANNOT_OPEN, argument);
  ++files_opened;
  settings.inputs[settings.input_count++] = &file;
}

}  // namespace

void usage_exit(ErrorCode code, const std::string& name) {
  const suite::ErrorMessage<ErrorCode>& message = suite::error_message(ERROR_MESSAGES, code);
  print_banner();
  if (message.format != nullptr) suite::standard_error().print(message.format, name.c_str());
  if (message.usage_follows) print_usage();
  suite::end_program(code);
}

void take_arguments(const std::vector<std::string>& arguments) {
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (suite::is_option_argument(argument)) {
      i += take_option(argument, i + 1 < arguments.size() ? &arguments[i + 1] : nullptr);
    } else {
      take_input(argument);
    }
  }
  if (settings.input_count == 0) usage_exit(BAD_SYNTAX);
}

}  // namespace paste
