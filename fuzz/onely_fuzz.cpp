// Onely's numbers: '-n' sets the skip count and '+n' the compare limit to
// the value the C-style reading gives ("0x" alone is no number), a '+'
// argument that reads as no number is a file name, other options end the
// run through the error routine with one of its codes; and the compare
// window of any line under any counts lies inside the line.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <string_view>
#include <vector>

#include "common/numbers.h"
#include "fuzz/support.h"
#include "onely/onely.h"

namespace {

// The number of an option's text, or false when it reads as none.
bool reference_number(const std::string& text, std::int32_t& value) {
  suite::ParsedInteger number = suite::parse_integer(text.c_str(), 0);
  if (!number.has_digits) return false;
  std::size_t digits = text.find_first_not_of(" \t\n\v\f\r");
  if (digits != std::string::npos && (text[digits] == '+' || text[digits] == '-')) ++digits;
  if (digits != std::string::npos && text.compare(digits, 2, "0x") == 0 && number.end == text.c_str() + digits + 1) {
    return false;
  }
  if (digits != std::string::npos && text.compare(digits, 2, "0X") == 0 && number.end == text.c_str() + digits + 1) {
    return false;
  }
  value = number.value;
  return true;
}

// Options and '+' arguments only: any file name then begins with '+' and
// names nothing in the empty scratch folder, so no file is ever opened.
// The outcome is foretold argument by argument: the settings, or the code
// of the first argument that ends the run.
void check_options(const std::vector<std::string>& arguments) {
  for (const std::string& argument : arguments) {
    if (argument.size() < 2 || (argument[0] != '-' && argument[0] != '+')) return;
  }
  onely::settings = onely::Settings{};
  std::int32_t skip = 0;
  std::int32_t limit = 0;
  int ending = -1;
  for (const std::string& argument : arguments) {
    std::int32_t value = 0;
    char letter = argument[1];
    if (argument[0] == '+') {
      if (!reference_number(argument.substr(1), value)) ending = onely::CANNOT_OPEN;
      limit = value;
    } else if (letter == '?') {
      ending = onely::USAGE_ONLY;
    } else if (letter >= '0' && letter <= '9') {
      if (!reference_number(argument.substr(1), skip)) ending = onely::BAD_NUMBER;
    } else if (std::string("CcDdIiUu").find(letter) == std::string::npos) {
      ending = onely::UNKNOWN_OPTION;
    }
    if (ending >= 0) break;
  }
  try {
    onely::take_arguments(arguments);
  } catch (const fuzz::ProgramEnded& ended) {
    fuzz::check(ended.status == ending, "the options end with the code of the first bad argument");
    return;
  }
  fuzz::check(ending < 0, "a bad argument ends the run");
  fuzz::check(onely::settings.skip_count == skip, "the skip count is the last '-n'");
  fuzz::check(onely::settings.compare_limit == limit, "the compare limit is the last '+n'");
}

void check_window(FuzzedDataProvider& choices) {
  onely::settings.skip_count = choices.ConsumeIntegral<std::int32_t>();
  onely::settings.compare_limit = choices.ConsumeIntegral<std::int32_t>();
  std::string text = choices.ConsumeRandomLengthString(512);
  std::string_view line = text;
  onely::CompareWindow window = onely::compare_window(line);
  fuzz::check(window.length >= 0, "the window has no negative length");
  fuzz::check(window.start >= line.data() && window.start <= line.data() + line.size(), "the window starts in the line");
  fuzz::check(window.start + window.length <= line.data() + line.size(), "the window ends in the line");
  if (onely::settings.compare_limit > 0) {
    fuzz::check(window.length <= onely::settings.compare_limit, "the window holds no more than the limit");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static bool prepared = (fuzz::prepare_program_runs(), true);
  (void)prepared;
  if (size > 2048) return 0;
  check_options(fuzz::split_into_arguments(data, size));
  FuzzedDataProvider choices(data, size);
  check_window(choices);
  return 0;
}
