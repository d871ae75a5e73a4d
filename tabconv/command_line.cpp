#include "tabconv/command_line.h"

#include <cstdlib>

#include "common/arguments.h"
#include "common/errors.h"
#include "common/numbers.h"
#include "common/platform.h"
#include "common/streams.h"
#include "common/text.h"

namespace tabconv {

const ProgramTexts COLPACK = {
    "Colpack",
    "Use:\tColpack [/Dn] [/Ts] [[<]source] [[<]destination]\n"
    "to replace spaces with tabulators.\n",
};

const ProgramTexts COLSPREAD = {
    "Colspread",
    "Use:\tColspread [/Dn] [/Ts] [[<]source] [[<]destination]\n"
    "to replace tabulators with spaces.\n",
};

Settings settings;
TabStopTable tab_stop_table;

namespace {

constexpr const char* VERSION = "2.00";
constexpr const char* NOTICE = "Tab stop conversion for text files.";

// The common part of the usage text, in its three pieces.
constexpr const char* USAGE_OPTIONS =
    "\n\tOptions are case insensitive and may start also by '/':\n"
    "\t'-Dn' To have tabulators at columns 1, 1+n, 1+2n, etc.\n"
    "\t'-Ts' To have tabulators as indicated in 's': a sequence of strings\n"
    "separated by ',' and having the form 'n0[:ni[:nm]]': tabulators at\n";
constexpr const char* USAGE_LIMIT =
    "column 'n0' and, if 'ni' is used, n0+ni, n0+2ni, etc. The last\n"
    "tabulator will not exceed column 'nm' or the maximum line length: %d.\n\n"
    "\tIf no option is used, '-D8' is assumed.\n\n";
constexpr const char* USAGE_FILES =
    "\tThe complete file specification of 'source' and 'destination' are\n"
    "optional and default to stdin and stdout, respectively.\n";

// Every error is followed by the usage text.
constexpr suite::ErrorMessage<ErrorCode> ERROR_MESSAGES[] = {
    {USAGE_ONLY, nullptr, true},
    {BAD_SYNTAX, "Bad syntax'%s'.\n\n", true},
    {UNKNOWN_OPTION, "Unknown option '%s'.\n\n", true},
    {CANNOT_OPEN, "Could not open '%s'.\n\n", true},
    {BAD_NUMBER, "Bad number '%s'.\n\n", true},
};

void print_usage() {
  suite::OutputStream& error = suite::standard_error();
  error.write_c_string(settings.program->usage_lines);
  error.write_c_string(USAGE_OPTIONS);
  error.print(USAGE_LIMIT, static_cast<int>(MAX_LINE_LENGTH));
  error.write_c_string(USAGE_FILES);
}

void take_step_option(const std::string& argument) {
  const char* text = argument.c_str() + 2;
  suite::ParsedInteger step = suite::parse_integer(text, 0);
  if (*step.end != '\0' || step.value < 1) usage_exit(BAD_NUMBER, text);
  set_stops(tab_stop_table, 1, static_cast<std::uint32_t>(step.value), MAX_LINE_LENGTH);
}

void take_list_option(const std::string& argument) {
  const char* bad_text = parse_tab_list(tab_stop_table, argument.c_str() + 2);
  if (bad_text != nullptr) usage_exit(BAD_NUMBER, bad_text);
}

void take_option(const std::string& argument) {
  char letter = suite::upper_ascii(argument[1]);
  if (letter == '?') usage_exit(USAGE_ONLY);
  if (letter != 'D' && letter != 'T') usage_exit(UNKNOWN_OPTION, argument.substr(1));
  if (settings.stops_given) usage_exit(BAD_SYNTAX, argument);
  if (letter == 'D') {
    take_step_option(argument);
  } else {
    take_list_option(argument);
  }
  settings.stops_given = true;
}

void open_source(const std::string& name) {
  if (!suite::open_standard_input(name)) usage_exit(CANNOT_OPEN, name);
}

// Standard output appending to the very file being read would feed the
// conversion its own output for ever, so that source cannot be opened.
void refuse_source_that_output_feeds() {
  if (suite::standard_output_feeds_standard_input()) usage_exit(CANNOT_OPEN, suite::standard_input_name());
}

// The destination is refused when it is the very file being read.
void open_destination(const std::string& name) {
  if (!suite::open_standard_output_apart_from_input(name)) usage_exit(CANNOT_OPEN, name);
}

void take_file_name(const std::string& name) {
  ++settings.file_names;
  if (settings.file_names == 1) {
    open_source(name);
  } else if (settings.file_names == 2) {
    open_destination(name);
  } else {
    usage_exit(BAD_SYNTAX, name);
  }
}

}  // namespace

void usage_exit(ErrorCode code, const std::string& text) {
  suite::OutputStream& error = suite::standard_error();
  const suite::ErrorMessage<ErrorCode>& message = suite::error_message(ERROR_MESSAGES, code);
  error.print("\n\t\t%s %s. %s\n\n", settings.program->name, VERSION, NOTICE);
  if (message.format != nullptr) error.print(message.format, text.c_str());
  if (message.usage_follows) print_usage();
  suite::end_program(code);
}

void take_arguments(const ProgramTexts& program, const std::vector<std::string>& arguments) {
  settings.program = &program;
  for (const std::string& argument : arguments) {
    if (suite::is_option_argument(argument)) {
      take_option(argument);
    } else {
      take_file_name(argument);
    }
  }
  refuse_source_that_output_feeds();
  if (!settings.stops_given) set_stops(tab_stop_table, 1, 8, MAX_LINE_LENGTH);
}

}  // namespace tabconv
