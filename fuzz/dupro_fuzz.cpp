// Dupro's command line and dates: a date is taken exactly when it is three
// numbers month-day-year with a month of 1 to 12, a day of 1 to 31 and a
// year of 80 to 99, and its word gives them back; the option groups either
// give a complete command line (a source, each F with a valid date) or one
// of the command-line codes.
#include <string>
#include <vector>

#include "common/numbers.h"
#include "dupro/options.h"
#include "fuzz/support.h"

namespace {

// The three numbers of a date, each read as the decimal reading takes it
// and followed by '-' (the last by anything).
bool reference_date(const char* text, int& month, int& day, int& year) {
  int* parts[] = {&month, &day, &year};
  for (int i = 0; i < 3; ++i) {
    suite::ParsedInteger number = suite::parse_integer(text, 10);
    if (!number.has_digits) return false;
    *parts[i] = number.value;
    text = number.end;
    if (i < 2 && *text++ != '-') return false;
  }
  return month >= 1 && month <= 12 && day >= 1 && day <= 31 && year >= 80 && year <= 99;
}

void check_date(const std::string& value) {
  fuzz::ExactText text(value);
  std::uint16_t date = 0xFFFF;
  bool taken = dupro::parse_filter_date(text.c_str(), date);
  int month = 0, day = 0, year = 0;
  bool valid = reference_date(text.c_str(), month, day, year);
  fuzz::check(taken == valid, "parse_filter_date takes exactly the valid dates");
  if (!taken) return;
  fuzz::check((date & 31) == day, "the day of the date word");
  fuzz::check(((date >> 5) & 15) == month, "the month of the date word");
  fuzz::check((date >> 9) + 80 == year, "the year of the date word");
}

void check_command_line(const std::vector<std::string>& arguments) {
  dupro::CommandLine line;
  dupro::ExitCode code = dupro::parse_command_line(arguments, line);
  if (code == dupro::ARGUMENTS_VALID) {
    fuzz::check(line.has_source, "a valid command line names a source");
    if (line.options.date_filter) {
      int day = line.options.filter_date & 31;
      int month = (line.options.filter_date >> 5) & 15;
      int year = (line.options.filter_date >> 9) + 80;
      fuzz::check(day >= 1 && day <= 31 && month >= 1 && month <= 12 && year <= 99, "a filter date in range");
    }
    return;
  }
  fuzz::check(fuzz::is_one_of(code, {dupro::USAGE_ONLY, dupro::UNKNOWN_OPTION, dupro::MISSING_SOURCE,
                                     dupro::INVALID_DATE}),
              "a wrong command line gives one of the command-line codes");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 1024) return 0;
  std::string text(reinterpret_cast<const char*>(data), size);
  check_date(text.substr(0, text.find('\0')));
  check_command_line(fuzz::split_into_arguments(data, size));
  return 0;
}
