#include <cstdlib>

#include "common/arguments.h"
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

const char* message_for(int code) {
  switch (code) {
    case 2: return "Bad syntax '%s'.\n\n";
    case 4: return "Unknown option '%s'.\n\n";
    case 8: return "Could not open '%s'.\n\n";
    case 16: return "Bad number '%s'.\n\n";
    default: return nullptr;
  }
}

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
  if (!read_integer(argument.c_str() + 1, settings.skip_count)) usage_exit(16, argument.substr(1));
}

void take_option(const std::string& argument) {
  char letter = suite::upper_ascii(argument[1]);
  switch (letter) {
    case '?': usage_exit(0, "");
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
  usage_exit(4, argument.substr(1));
}

// '+n' sets the compare limit when the rest reads as a number; false when
// it does not, and the argument is then a file name.
bool take_compare_limit(const std::string& argument) {
  return argument.size() >= 2 && argument[0] == '+' && read_integer(argument.c_str() + 1, settings.compare_limit);
}

std::string source_name = "stdin";

void open_source(const std::string& name) {
  if (!suite::standard_input().open(name, suite::StreamMode::text)) usage_exit(8, name);
  source_name = name;
}

// Standard output appending to the very file being read would feed the
// filter its own output for ever, so that source cannot be opened.
void refuse_source_that_output_feeds() {
  if (suite::platform::output_feeds_input(suite::standard_output().handle(), suite::standard_input().handle())) usage_exit(8, source_name);
}

// A destination that is the source itself (also a source that came in on
// redirected standard input) would be truncated before it is read, so it is
// refused before anything is opened for writing.
void open_destination(const std::string& name) {
  if (suite::platform::same_file(suite::standard_input().handle(), name)) usage_exit(8, name);
  if (!suite::standard_output().open(name, suite::StreamMode::text)) usage_exit(8, name);
}

}  // namespace

void usage_exit(int code, const std::string& text) {
  print_banner();
  if (const char* message = message_for(code)) suite::standard_error().print(message, text.c_str());
  print_usage();
  std::exit(code);
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
        usage_exit(2, argument);
      }
      ++file_names;
    }
  }
  refuse_source_that_output_feeds();
}

}  // namespace onely
