// The C-style number readers against a reference reading written out here
// from their stated rules: the same value, the same end, nothing read past
// the text.
#include <cstdint>

#include "common/numbers.h"
#include "fuzz/support.h"

namespace {

int reference_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return 36;
}

struct ReferenceInteger {
  std::int64_t value = 0;
  std::size_t end = 0;
  bool has_digits = false;
};

// The string-to-long reading, gathered in a wide number and clamped to the
// signed 32-bit range at the end.
ReferenceInteger reference_integer(const char* text, int base) {
  ReferenceInteger result;
  std::size_t i = 0;
  while (suite::is_c_space(text[i])) ++i;
  bool negative = false;
  if (text[i] == '+' || text[i] == '-') negative = text[i++] == '-';
  bool hex_prefix = text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X') && reference_digit(text[i + 2]) < 16;
  if ((base == 0 || base == 16) && hex_prefix) {
    i += 2;
    base = 16;
  } else if (base == 0) {
    base = text[i] == '0' ? 8 : 10;
  }
  std::size_t first_digit = i;
  std::int64_t magnitude = 0;
  for (; reference_digit(text[i]) < base; ++i) {
    if (magnitude <= 4294967296LL) magnitude = magnitude * base + reference_digit(text[i]);
  }
  if (i == first_digit) return result;
  std::int64_t value = negative ? -magnitude : magnitude;
  if (value > INT32_MAX) value = INT32_MAX;
  if (value < INT32_MIN) value = INT32_MIN;
  result.value = value;
  result.end = i;
  result.has_digits = true;
  return result;
}

void check_parse_integer(const char* text, int base) {
  suite::ParsedInteger parsed = suite::parse_integer(text, base);
  ReferenceInteger expected = reference_integer(text, base);
  fuzz::check(parsed.has_digits == expected.has_digits, "parse_integer: digits found");
  fuzz::check(parsed.value == expected.value, "parse_integer: value");
  fuzz::check(parsed.end == text + expected.end, "parse_integer: end of the number");
}

// The "%u" scan: white space, a sign, decimal digits; beyond 32 bits the
// largest value; a minus negates modulo 2^32.
void check_scan_unsigned(const char* text) {
  std::size_t i = 0;
  while (suite::is_c_space(text[i])) ++i;
  suite::ScanResult expected_result;
  std::uint32_t expected_value = 0;
  if (text[i] == '\0') {
    expected_result = suite::ScanResult::nothing;
  } else {
    bool negative = false;
    if (text[i] == '+' || text[i] == '-') negative = text[i++] == '-';
    if (text[i] < '0' || text[i] > '9') {
      expected_result = suite::ScanResult::no_number;
    } else {
      expected_result = suite::ScanResult::number;
      std::uint64_t magnitude = 0;
      for (; text[i] >= '0' && text[i] <= '9'; ++i) {
        if (magnitude <= 0xFFFFFFFFULL) magnitude = magnitude * 10 + static_cast<unsigned>(text[i] - '0');
      }
      if (magnitude > 0xFFFFFFFFULL) magnitude = 0xFFFFFFFFULL;
      expected_value = static_cast<std::uint32_t>(magnitude);
      if (negative) expected_value = 0u - expected_value;
    }
  }
  std::uint32_t value = 12345;
  suite::ScanResult result = suite::scan_unsigned(text, value);
  fuzz::check(result == expected_result, "scan_unsigned: kind of result");
  if (result == suite::ScanResult::number) fuzz::check(value == expected_value, "scan_unsigned: value");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::ExactText text(data, size);
  for (int base : {0, 8, 10, 16, 2, 36}) check_parse_integer(text.c_str(), base);
  check_scan_unsigned(text.c_str());
  return 0;
}
