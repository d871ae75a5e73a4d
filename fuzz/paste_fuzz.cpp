// Paste's delimiter escapes: the decoding agrees with a decoding written
// here from the escape rules, a number escape reads no byte at or past the
// end it is given, and the options end the run only through the error
// routine, with one of its codes.
#include <string>
#include <vector>

#include "fuzz/support.h"
#include "paste/paste.h"

namespace {

int digit_of(char c, int base) {
  int value = 99;
  if (c >= '0' && c <= '9') value = c - '0';
  if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
  if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
  return value < base ? value : -1;
}

// Up to `most` digits of the base from `at`; the value modulo 256.
unsigned char number_at(const std::string& text, std::size_t& at, int base, int most) {
  unsigned value = 0;
  for (int taken = 0; taken < most && at < text.size() && digit_of(text[at], base) >= 0; ++taken, ++at) {
    value = value * static_cast<unsigned>(base) + static_cast<unsigned>(digit_of(text[at], base));
  }
  return static_cast<unsigned char>(value % 256);
}

std::string reference_decoding(const std::string& text) {
  const std::string letters = "abefnrtvz";
  const char bytes[] = {7, 8, 27, 12, 10, 13, 9, 11, 0};
  std::string decoded;
  for (std::size_t at = 0; at < text.size();) {
    char c = text[at++];
    if (c == '\\' && at < text.size()) {
      char next = text[at];
      std::size_t letter = letters.find(next);
      if (letter != std::string::npos) {
        c = bytes[letter];
        ++at;
      } else if (next >= '0' && next <= '9') {
        c = static_cast<char>(number_at(text, at, 10, 3));
      } else if (next == 'o') {
        ++at;
        c = static_cast<char>(number_at(text, at, 8, 3));
      } else if (next == 'x') {
        ++at;
        c = static_cast<char>(number_at(text, at, 16, 2));
      } else {
        c = next;
        ++at;
      }
    }
    if (c == '\0') break;
    decoded += c;
  }
  return decoded;
}

void check_escapes(const std::string& text) {
  std::string decoded = text;
  paste::decode_escapes(decoded);
  fuzz::check(decoded == reference_decoding(text), "decode_escapes agrees with the escape rules");
  fuzz::check(decoded.find('\0') == std::string::npos, "a decoded delimiter holds no NUL");
}

// The digits are copied into a block of their exact size, with no NUL
// after them: the end given is the only limit.
void check_number(const std::string& digits, int base, int most) {
  std::vector<char> exact(digits.begin(), digits.end());
  const char* after = nullptr;
  unsigned char value = paste::read_escape_number(exact.data(), exact.data() + exact.size(), base, most, after);
  std::size_t at = 0;
  unsigned char expected = number_at(digits, at, base, most);
  fuzz::check(value == expected, "read_escape_number: the value");
  fuzz::check(after == exact.data() + at, "read_escape_number: the end of the digits");
}

// Options and standard input ("-") only: a named file would be opened.
void check_options(std::vector<std::string> arguments) {
  for (std::string& argument : arguments) {
    if (argument.size() < 2 || argument[0] != '-') argument = "-";
  }
  paste::settings = paste::Settings{};
  try {
    paste::take_arguments(arguments);
  } catch (const fuzz::ProgramEnded& ended) {
    fuzz::check(fuzz::is_one_of(ended.status, {paste::USAGE_ONLY, paste::UNKNOWN_OPTION, paste::BAD_SYNTAX,
                                               paste::TOO_MANY_FILES}),
                "the options end with one of the program's codes");
    return;
  }
  fuzz::check(paste::settings.input_count >= 1 && paste::settings.input_count <= paste::MAX_INPUTS,
              "a run goes on with 1 to MAX_INPUTS inputs");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static bool prepared = (fuzz::prepare_program_runs(), true);
  (void)prepared;
  if (size > 2048) return 0;
  std::string text(reinterpret_cast<const char*>(data), size);
  check_escapes(text);
  for (int base : {8, 10, 16}) check_number(text.substr(0, 4), base, base == 16 ? 2 : 3);
  check_options(fuzz::split_into_arguments(data, size));
  return 0;
}
