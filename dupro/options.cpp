#include "dupro/options.h"

#include "common/arguments.h"
#include "common/numbers.h"
#include "common/streams.h"
#include "common/text.h"
#include "dupro/paths.h"

namespace dupro {

CopyOptions options;

namespace {

// Reads one number of a date; false when there is none.
bool read_date_number(const char*& text, int& value) {
  suite::ParsedInteger number = suite::parse_integer(text, 10);
  if (!number.has_digits) return false;
  value = number.value;
  text = number.end;
  return true;
}

// Applies one option letter (already upper-cased) other than F, T and '?'.
// False for a letter that is not an option.
bool apply_letter(char letter, CopyOptions& settings) {
  switch (letter) {
    case 'A': settings.archive_only = true; break;
    case 'B': settings.update_archive = true; break;
    case 'C': settings.confirm_each = true; break;
    case 'D': settings.only_existing = true; settings.only_missing = false; break;
    case 'E': settings.compare_only = true; break;
    case 'H': settings.include_hidden = false; break;
    case 'K': settings.multiple_copies = true; break;
    case 'M': settings.only_newer = true; settings.only_older = false; break;
    case 'N': settings.only_missing = true; settings.only_existing = false; break;
    case 'O': settings.only_older = true; settings.only_newer = false; break;
    case 'P': settings.pause_first = true; break;
    case 'R': settings.overwrite_readonly = true; break;
    case 'S': settings.no_subdirs = true; break;
    case 'U': settings.same_unit = SameUnit::YES; break;
    case 'V': settings.void_dirs = true; break;
    case 'W': settings.wait_at_end = true; break;
    case 'X': settings.delete_source = true; break;
    case 'Y': settings.flatten = true; break;
    case '1': settings.one_at_a_time = true; break;
    default: return false;
  }
  return true;
}

// Takes a path argument as the source, or as the target when the source is
// there; false when both are given already.
bool take_path(const std::string& argument, CommandLine& line) {
  if (!line.has_source) {
    line.source = with_platform_separators(argument);
    line.has_source = true;
  } else if (!line.has_target) {
    line.target = with_platform_separators(argument);
    line.has_target = true;
  } else {
    return false;
  }
  return true;
}

}  // namespace

bool parse_filter_date(const char* text, std::uint16_t& date) {
  int month = 0, day = 0, year = 0;
  if (!read_date_number(text, month) || *text++ != '-') return false;
  if (!read_date_number(text, day) || *text++ != '-') return false;
  if (!read_date_number(text, year)) return false;
  if (day < 1 || day > 31 || month < 1 || month > 12 || year < 80 || year > 99) return false;
  date = static_cast<std::uint16_t>((year - 80) * 512 + month * 32 + day);
  return true;
}

ExitCode parse_command_line(const std::vector<std::string>& arguments, CommandLine& line) {
  std::vector<bool> taken(arguments.size(), false);
  // The next argument not yet taken as a value, after position `after`.
  auto next_value = [&](std::size_t after) -> std::size_t {
    std::size_t index = after + 1;
    while (index < arguments.size() && taken[index]) ++index;
    return index;
  };
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (taken[i]) continue;
    const std::string& argument = arguments[i];
    if (!suite::is_option_argument(argument)) {
      if (!take_path(argument, line)) return MISSING_SOURCE;
      continue;
    }
    for (std::size_t k = 1; k < argument.size(); ++k) {
      char letter = suite::upper_ascii(argument[k]);
      if (letter == '?') return USAGE_ONLY;
      if (letter == 'F' || letter == 'T') {
        std::size_t value = next_value(i);
        if (value >= arguments.size()) return MISSING_SOURCE;
        taken[value] = true;
        if (letter == 'T') {
          line.target = with_platform_separators(arguments[value]);
          line.has_target = true;
        } else {
          if (!parse_filter_date(arguments[value].c_str(), line.options.filter_date)) return INVALID_DATE;
          line.options.date_filter = true;
        }
        continue;
      }
      if (!apply_letter(letter, line.options)) return UNKNOWN_OPTION;
    }
  }
  if (!line.has_source) return MISSING_SOURCE;
  return ARGUMENTS_VALID;
}

void print_banner() { suite::standard_output().write("DUPRO 3.01 - copies and compares directory trees\n"); }

}  // namespace dupro
