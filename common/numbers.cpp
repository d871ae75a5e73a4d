#include "common/numbers.h"

namespace suite {

namespace {

int digit_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  return 99;
}

bool is_hex_prefix(const char* p) {
  return p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && digit_value(p[2]) < 16;
}

}  // namespace

bool is_c_space(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

ParsedInteger parse_integer(const char* text, int base) {
  ParsedInteger result;
  result.end = text;
  const char* p = text;
  while (is_c_space(*p)) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') {
    negative = *p == '-';
    ++p;
  }
  if ((base == 0 || base == 16) && is_hex_prefix(p)) {
    p += 2;
    base = 16;
  } else if (base == 0) {
    base = *p == '0' ? 8 : 10;
  }
  // Magnitudes are gathered up to one past the largest that fits, so the
  // clamp to the nearest limit is exact for both signs.
  const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
  std::int64_t magnitude = 0;
  bool overflow = false;
  const char* digits = p;
  for (int d; (d = digit_value(*p)) < base; ++p) {
    if (!overflow) {
      magnitude = magnitude * base + d;
      if (magnitude > limit) overflow = true;
    }
  }
  if (p == digits) return result;
  if (overflow) magnitude = limit;
  result.has_digits = true;
  result.end = p;
  result.value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
  return result;
}

ScanResult scan_unsigned(const char* text, std::uint32_t& value) {
  const char* p = text;
  while (is_c_space(*p)) ++p;
  if (*p == '\0') return ScanResult::nothing;
  bool negative = false;
  if (*p == '+' || *p == '-') {
    negative = *p == '-';
    ++p;
  }
  if (*p < '0' || *p > '9') return ScanResult::no_number;
  std::uint64_t magnitude = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    magnitude = magnitude * 10 + static_cast<unsigned>(*p - '0');
    if (magnitude > 0xFFFFFFFFULL) magnitude = 0x100000000ULL;
  }
  if (magnitude > 0xFFFFFFFFULL) magnitude = 0xFFFFFFFFULL;
  std::uint32_t result = static_cast<std::uint32_t>(magnitude);
  value = negative ? 0u - result : result;
  return ScanResult::number;
}

}  // namespace suite
