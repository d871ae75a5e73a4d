#include "ordly/command_line.h"

#include <cstring>

#include "common/arguments.h"
#include "common/numbers.h"
#include "common/streams.h"
#include "ordly/collation.h"
#include "ordly/errors.h"
#include "ordly/line_store.h"
#include "ordly/output.h"
#include "ordly/runs.h"
#include "ordly/settings.h"

namespace ordly {

namespace {

char upper_case(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

struct OptionValue {
  const char* text = nullptr;  // null when no value follows
  std::size_t next_index = 0;
};

// The value of '/O' or '/X': the rest of the group after the letter, or
// else the whole next argument.
OptionValue option_value(const std::vector<std::string>& arguments, std::size_t index, const char* rest) {
  if (*rest != '\0') return {rest, index + 1};
  if (index + 1 < arguments.size()) return {arguments[index + 1].c_str(), index + 2};
  return {nullptr, index + 1};
}

// The output is created or opened at once, so that a bad name is reported
// before any input is read; its old content stays until the output starts.
std::size_t take_output_file(const std::vector<std::string>& arguments, std::size_t index, const char* rest) {
  OptionValue value = option_value(arguments, index, rest);
  if (value.text == nullptr || !open_output_file(value.text)) error_exit(ErrorCode::OUTPUT_NAME_MISSING);
  return value.next_index;
}

// A buffer below 3 bytes could not hold even one byte and a line feed.
std::size_t take_line_length(const std::vector<std::string>& arguments, std::size_t index, const char* letter) {
  OptionValue value = option_value(arguments, index, letter + 1);
  if (value.text == nullptr) error_exit(ErrorCode::INVALID_OPTION, letter);
  std::uint32_t number = 0;
  switch (suite::scan_unsigned(value.text, number)) {
    case suite::ScanResult::number:
      if (number < 3) error_exit(ErrorCode::INVALID_OPTION, value.text);
      settings.max_line = number;
      break;
    case suite::ScanResult::nothing: break;
    case suite::ScanResult::no_number: error_exit(ErrorCode::INVALID_OPTION, value.text);
  }
  if (!resize_read_buffer(settings.max_line)) error_exit(ErrorCode::MEMORY_EXHAUSTED);
  return value.next_index;
}

// A number of at least 1 sets the starting column; returns where the
// group goes on.
const char* take_starting_column(const char* text) {
  suite::ParsedInteger column = suite::parse_integer(text, 0);
  if (column.value < 1) error_exit(ErrorCode::INVALID_OPTION, text);
  settings.column_offset = column.value - 1;
  return column.end;
}

void use_table(const CollationTable& table) { std::memcpy(settings.active_table, table.data(), table.size()); }

// Applies a letter that takes no value; false when it is not one.
bool take_simple_option(char letter) {
  switch (letter) {
    case '?': error_exit(ErrorCode::USAGE);
    case 'A':
      settings.pure_order = true;
      settings.active_compare = compare_plain;
      use_table(identity_table);
      return true;
    case 'B': settings.skip_blanks = true; return true;
    case 'C': settings.sort_method = SortMethod::COMBSORT; return true;
    case 'D':
      settings.dictionary_order = true;
      settings.skip_blanks = true;
      return true;
    case 'E':
      if (!settings.pure_order) settings.active_compare = compare_spanish;
      return true;
    case 'F': settings.float_key = true; return true;
    case 'G': settings.debug_info = true; return true;
    case 'H': settings.sort_method = SortMethod::HEAPSORT; return true;
    case 'I': settings.sort_method = SortMethod::INSERTION_SORT; return true;
    case 'M': settings.merge_only = true; return true;
    case 'N': settings.integer_key = true; return true;
    case 'Q': settings.sort_method = SortMethod::QUICKSORT; return true;
    case 'R': settings.reverse_order = true; return true;
    case 'S': settings.sort_method = SortMethod::SHELLSORT; return true;
    case 'T': return true;
    case 'W':
      if (!settings.pure_order) use_table(ansi_table);
      return true;
    case 'Z': settings.append_ctrl_z = true; return true;
    default: return false;
  }
}

void take_file_name(const std::string& name) {
  if (settings.merge_only) {
    add_file(name.c_str());
  } else {
    read_input(name.c_str());
  }
}

// Applies the option group at index; returns the index of the next
// argument to take (an option value may use up the following argument).
std::size_t take_option_group(const std::vector<std::string>& arguments, std::size_t index) {
  const char* position = arguments[index].c_str() + 1;
  while (*position != '\0') {
    char letter = upper_case(*position);
    if (letter == 'O') return take_output_file(arguments, index, position + 1);
    if (letter == 'X') return take_line_length(arguments, index, position);
    if (take_simple_option(letter)) {
      ++position;
    } else {
      position = take_starting_column(position);
    }
  }
  return index + 1;
}

}  // namespace

void take_arguments(const std::vector<std::string>& arguments) {
  std::size_t index = 0;
  while (index < arguments.size() && suite::is_option_argument(arguments[index])) {
    index = take_option_group(arguments, index);
  }
  for (; index < arguments.size(); ++index) take_file_name(arguments[index]);
}

}  // namespace ordly
