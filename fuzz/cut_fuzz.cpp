// Cut's position lists: a list is taken exactly when it is ranges of
// positions 1 to MAX_POSITION, each "n" or "n-m" with n <= m, separated by
// commas (one comma may end it), and the positions selected are exactly
// those of its ranges. Its options end the run only through the error
// routine, with one of its codes.
#include <string>
#include <vector>

#include "common/numbers.h"
#include "cut/cut.h"
#include "fuzz/support.h"

namespace {

using cut::MAX_POSITION;

struct Range {
  std::int32_t first;
  std::int32_t last;
};

// Digits with an optional sign and leading white space, as the numbers of
// the list are read, and nothing after them.
bool position_number(const std::string& text, std::int32_t& value) {
  suite::ParsedInteger number = suite::parse_integer(text.c_str(), 10);
  if (!number.has_digits || number.end != text.c_str() + text.size()) return false;
  if (number.value < 1 || number.value > MAX_POSITION) return false;
  value = number.value;
  return true;
}

// The ranges of the list, cut at its commas and each at its first '-'
// after a number; false when the list is not valid.
bool reference_ranges(std::string list, std::vector<Range>& ranges) {
  if (list.empty()) return false;
  if (list.back() == ',') list.pop_back();
  std::size_t start = 0;
  for (;;) {
    std::size_t comma = list.find(',', start);
    std::string entry = list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    // The '-' of a range is the first one after the first digit (a sign
    // may come before it).
    std::size_t digit = entry.find_first_of("0123456789");
    std::size_t dash = digit == std::string::npos ? std::string::npos : entry.find('-', digit);
    Range range{};
    if (!position_number(entry.substr(0, dash), range.first)) return false;
    range.last = range.first;
    if (dash != std::string::npos) {
      if (!position_number(entry.substr(dash + 1), range.last) || range.last < range.first) return false;
    }
    ranges.push_back(range);
    if (comma == std::string::npos) return true;
    start = comma + 1;
  }
}

// Sets and flags kept from run to run: allocating them anew costs more
// than a run.
const cut::PositionSet empty_set{};
cut::PositionSet parsed_set{};
std::vector<bool> expected(MAX_POSITION + 2, false);

void check_ranges(const std::string& list) {
  cut::PositionSet* positions = &parsed_set;
  *positions = empty_set;
  fuzz::ExactText text(list);
  bool taken = cut::parse_ranges(text.c_str(), *positions);
  std::vector<Range> ranges;
  bool valid = reference_ranges(list, ranges);
  fuzz::check(taken == valid, "parse_ranges takes exactly the valid lists");
  if (!taken) return;
  std::int32_t highest = 0;
  for (const Range& range : ranges) {
    for (std::int32_t p = range.first; p <= range.last; ++p) expected[p] = true;
    highest = std::max(highest, range.last);
  }
  fuzz::check(positions->highest() == highest, "the highest selected position");
  for (std::int32_t p = 0; p <= highest + 1 && p <= MAX_POSITION + 1; ++p) {
    fuzz::check(positions->contains(static_cast<std::uint64_t>(p)) == expected[p], "the selected positions");
  }
  for (const Range& range : ranges) {
    for (std::int32_t p = range.first; p <= range.last; ++p) expected[p] = false;
  }
}

// Options, and names without a '/' (in the empty scratch folder such a
// name opens nothing, and a folder is refused).
void check_options(const std::vector<std::string>& arguments) {
  for (const std::string& argument : arguments) {
    if (argument.find('/') != std::string::npos) return;
  }
  cut::settings = cut::Settings{};
  cut::positions = empty_set;
  try {
    cut::take_arguments(arguments);
  } catch (const fuzz::ProgramEnded& ended) {
    fuzz::check(fuzz::is_one_of(ended.status, {cut::USAGE_ONLY, cut::UNKNOWN_OPTION, cut::BAD_SYNTAX,
                                               cut::CANNOT_OPEN, cut::BAD_NUMBER}),
                "the options end with one of the program's codes");
    return;
  }
  fuzz::check(cut::settings.mode.has_value(), "a run goes on only with a mode");
  fuzz::check(cut::positions.highest() >= 1 && cut::positions.highest() <= MAX_POSITION,
              "a run goes on only with positions in range");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static bool prepared = (fuzz::prepare_program_runs(), true);
  (void)prepared;
  if (size > 1024) return 0;
  std::string text(reinterpret_cast<const char*>(data), size);
  check_ranges(text.substr(0, text.find('\0')));
  check_options(fuzz::split_into_arguments(data, size));
  return 0;
}
