// Number reading in the manner of the C library's conversions, with the
// results held to 32 bits as on the platform the suite was made for.
#pragma once

#include <cstdint>

namespace suite {

struct ParsedInteger {
  std::int32_t value = 0;    // 0 when no digit was read
  const char* end = nullptr; // first character not taken; the text itself when no digit was read
  bool has_digits = false;
};

// Reads like the string-to-long conversion: leading white space (space, tab,
// line feed, vertical tab, form feed, carriage return), one optional sign,
// then digits of the base. Base 0 chooses hexadecimal after "0x" or "0X",
// octal after a leading "0", decimal otherwise. A value beyond the signed
// 32-bit range becomes the nearest limit.
ParsedInteger parse_integer(const char* text, int base);

enum class ScanResult { number, no_number, nothing };

// Reads like the scanning format "%u": leading white space skipped, an
// optional sign (a minus negates modulo 2^32), decimal digits; anything
// after the number is ignored. Returns nothing for a text that is empty or
// holds only white space, no_number when it does not begin with a number.
// A value beyond 32 bits becomes 4294967295.
ScanResult scan_unsigned(const char* text, std::uint32_t& value);

bool is_c_space(char c);

}  // namespace suite
