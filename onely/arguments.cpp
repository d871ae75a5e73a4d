#include <cstdlib>

#include "common/arguments.h"
#include "common/errors.h"
#include "common/numbers.h"
#include "common/platform.h"
#include "common/text.h"
#include "onely/onely.h"

namespace onely {

Settings settings;

namespace {

const char* const VERSION = "1.00";

void print_banner() {
  suite::OutputStream& error = suite::standard_error();
  error.print("\n\t\tonely %s. ", VERSION);
  error.write("Filter of repeated successive lines.\n\n");
}

void print_usage() {
  suite::OutputStream& error = suite::standard_error();
  error.write(
      "Use:\tonely [options] [source [dest]]\n\n"
      "\tDiscard all but one of successive identical lines from 'source'\n"
      "(or standard input) and write to 'dest' (or standard output).\n\n");
  error.write(
      "\tOptions are case insensitive and may start also by '/':\n"
      "\t-?\tDisplay this help and exit\n"
      "\t-C\tPrefix lines by the number of occurrences\n"
      "\t-D\tDuplicate lines only\n");
  error.write(
      "\t-I\tIgnore case\n"
      "\t-U\tUnique lines only\n"
      "\t-n\tSkip the first 'n' characters when comparing\n"
      "\t+n\tCompare no more than 'n' characters in lines\n");
}

// Every error is followed by the usage text.
constexpr suite::ErrorMessage<ErrorCode> ERROR_MESSAGES[] = {
    {USAGE_ONLY, nullptr, true},
    {BAD_SYNTAX, "Bad syntax '%s'.\n\n", true},
    {UNKNOWN_OPTION, "Unknown option '%s'.\n\n", true},
    {CANNOT_OPEN, "Could not open '%s'.\n\n", true},
    {BAD_NUMBER, "Bad number '%s'.\n\n", true},
};

// Reads an integer: decimal, octal after a leading 0, hexadecimal after 0x,
// as far as the characters fit. A "0x" that no hexadecimal digit follows
// is not a number.
bool read_integer(const char* text, std::int32_t& value) {
  suite::ParsedInteger number = suite::parse_integer(text, 0);
  if (!number.has_digits) return false;
  const char* digits = text;
  while (suite::is_c_space(*digits)) ++digits;
  if (*digits == '+' || *digits == '-') ++digits;
  bool bare_hex_prefix = digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X') && number.end == digits + 1;
  if (bare_hex_prefix) return false;
  value = number.value;
  return true;
}

// '-n': the text after the leading character is the skip count.
void take_skip_count(const std::string& argument) {
  if (!read_integer(argument.c_str() + 1, settings.skip_count)) usage_exit(BAD_NUMBER, argument.substr(1));
}

void take_option(const std::string& argument) {
  char letter = suite::upper_ascii(argument[1]);
  switch (letter) {
    case '?': usage_exit(USAGE_ONLY, "");
    case 'C': settings.show_counts = true; return;
    case 'D': settings.line_filter = LineFilter::REPEATED_ONLY; return;
    case 'I': settings.ignore_case = true; return;
    case 'U': settings.line_filter = LineFilter::SINGLE_ONLY; return;
    default: break;
  }
  if (letter >= '0' && letter <= '9') {
    take_skip_count(argument);
    return;
  }
  usage_exit(UNKNOWN_OPTION, argument.substr(1));
}

// '+n' sets the compare limit when the rest reads as a number; false when
// it does not, and the argument is then a file name.
bool take_compare_limit(const std::string& argument) {
  return argument.size() >= 2 && argument[0] == '+' && read_integer(argument.c_str() + 1, settings.compare_limit);
}

void open_source(const std::string& name) {
  if (!suite::open_standard_input(name)) usage_exit(CANNOT_OPEN, name);
}

// Standard output appending to the very file being read would feed the
// filter its own output for ever, so that source cannot be opened.
void refuse_source_that_output_feeds() {
  if (suite::standard_output_feeds_standard_input()) usage_exit(CANNOT_OPEN, suite::standard_input_name());
}

// A destination that is the source itself (also a source that came in on
// redirected standard input) is refused before anything is opened for
// writing.
void open_destination(const std::string& name) {
  if (!suite::open_standard_output_apart_from_input(name)) usage_exit(CANNOT_OPEN, name);
}

}  // namespace

void usage_exit(ErrorCode code, const std::string& text) {
  const suite::ErrorMessage<ErrorCode>& message = suite::error_message(ERROR_MESSAGES, code);
  print_banner();
  if (message.format != nullptr) suite::standard_error().print(message.format, text.c_str());
  if (message.usage_follows) print_usage();
  suite::end_program(code);
}

void take_arguments(const std::vector<std::string>& arguments) {
  int file_names = 0;
  for (const std::string& argument : arguments) {
    if (suite::is_option_argument(argument)) {
      take_option(argument);
    } else if (!take_compare_limit(argument)) {
      if (file_names == 0) {
        open_source(argument);
      } else if (file_names == 1) {
        open_destination(argument);
      } else {
        usage_exit(BAD_SYNTAX, argument);
      }
      ++file_names;
    }
  }
  refuse_source_that_output_feeds();
}

}  // namespace onely
