#include "common/numbers.h"
#include "cut/cut.h"

namespace cut {

void PositionSet::select(std::int32_t first, std::int32_t last) {
  for (std::int32_t p = first; p <= last; ++p) flags_[static_cast<std::size_t>(p - 1)] = true;
  if (last > highest_) highest_ = last;
}

namespace {

bool is_position(const suite::ParsedInteger& number) {
  return number.has_digits && number.value >= 1 && number.value <= MAX_POSITION;
}

}  // namespace

bool parse_ranges(const char* text, PositionSet& positions) {
  if (*text == '\0') return false;
  const char* p = text;
  while (true) {
    suite::ParsedInteger first = suite::parse_integer(p, 10);
    if (!is_position(first)) return false;
    p = first.end;
    std::int32_t last = first.value;
    if (*p == '-') {
      suite::ParsedInteger second = suite::parse_integer(p + 1, 10);
      if (!is_position(second) || second.value < first.value) return false;
      last = second.value;
      p = second.end;
    }
    positions.select(first.value, last);
    if (*p == '\0') return true;
    if (*p != ',') return false;
    ++p;
    if (*p == '\0') return true;
  }
}

}  // namespace cut
