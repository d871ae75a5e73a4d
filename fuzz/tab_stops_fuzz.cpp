// The tab-stop lists of Colpack and Colspread: a list is taken whole
// exactly when every entry is one to three numbers of 1 to the maximum line
// length, and the stops set are then exactly the entries' columns; a
// rejected list is named by a place inside its text. The stop options end
// the run only through the error routine, with one of its codes.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "common/numbers.h"
#include "fuzz/support.h"
#include "tabconv/command_line.h"
#include "tabconv/tab_stops.h"

namespace {

using tabconv::MAX_LINE_LENGTH;
using tabconv::TabStopTable;

std::vector<std::string> split_at(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    std::size_t at = text.find(separator, start);
    parts.push_back(text.substr(start, at == std::string::npos ? std::string::npos : at - start));
    if (at == std::string::npos) return parts;
    start = at + 1;
  }
}

// A whole part that reads as one number in range.
bool stop_number(const std::string& part, std::uint32_t& value) {
  suite::ParsedInteger number = suite::parse_integer(part.c_str(), 0);
  if (!number.has_digits || number.end != part.c_str() + part.size()) return false;
  if (number.value < 1 || static_cast<std::uint32_t>(number.value) > MAX_LINE_LENGTH) return false;
  value = static_cast<std::uint32_t>(number.value);
  return true;
}

// The stops of a list, entry by entry; false when the list is not valid.
bool reference_stops(const std::string& list, TabStopTable& table) {
  for (const std::string& entry : split_at(list, ',')) {
    std::vector<std::string> parts = split_at(entry, ':');
    if (parts.size() > 3) return false;
    std::uint32_t numbers[3] = {0, 1, MAX_LINE_LENGTH};
    for (std::size_t i = 0; i < parts.size(); ++i) {
      if (!stop_number(parts[i], numbers[i])) return false;
    }
    if (parts.size() == 1) numbers[2] = numbers[0];
    for (std::uint64_t column = numbers[0]; column <= numbers[2]; column += numbers[1]) table.flags[column - 1] = 1;
  }
  return true;
}

std::unique_ptr<TabStopTable> parsed = std::make_unique<TabStopTable>();
std::unique_ptr<TabStopTable> expected = std::make_unique<TabStopTable>();

void check_tab_list(const std::string& list) {
  std::memset(parsed->flags, 0, sizeof parsed->flags);
  std::memset(expected->flags, 0, sizeof expected->flags);
  fuzz::ExactText text(list);
  const char* bad = tabconv::parse_tab_list(*parsed, text.c_str());
  bool valid = reference_stops(list, *expected);
  fuzz::check((bad == nullptr) == valid, "parse_tab_list takes exactly the valid lists");
  if (bad != nullptr) {
    fuzz::check(bad >= text.c_str() && bad <= text.c_str() + list.size(), "the rejected part lies in the list");
  } else {
    fuzz::check(std::memcmp(parsed->flags, expected->flags, sizeof parsed->flags) == 0, "the stops of the list");
  }
}

// Stop options only: a source or destination name would open a file.
void check_options(const std::vector<std::string>& arguments) {
  for (const std::string& argument : arguments) {
    if (argument.size() < 2 || argument[0] != '-') return;
  }
  tabconv::settings = tabconv::Settings{};
  std::memset(tabconv::tab_stop_table.flags, 0, sizeof tabconv::tab_stop_table.flags);
  try {
    tabconv::take_arguments(tabconv::COLSPREAD, arguments);
  } catch (const fuzz::ProgramEnded& ended) {
    fuzz::check(fuzz::is_one_of(ended.status, {tabconv::USAGE_ONLY, tabconv::BAD_SYNTAX, tabconv::UNKNOWN_OPTION,
                                               tabconv::BAD_NUMBER}),
                "the stop options end with one of the program's codes");
    return;
  }
  fuzz::check(arguments.size() <= 1, "no more than one stop option is taken");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static bool prepared = (fuzz::prepare_program_runs(), true);
  (void)prepared;
  if (size > 2048) return 0;
  std::string text(reinterpret_cast<const char*>(data), size);
  check_tab_list(text.substr(0, text.find('\0')));
  check_options(fuzz::split_into_arguments(data, size));
  return 0;
}
