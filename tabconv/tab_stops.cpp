#include "tabconv/tab_stops.h"

#include "common/numbers.h"

namespace tabconv {

void set_stops(TabStopTable& table, std::uint32_t first, std::uint32_t step, std::uint32_t last) {
  if (first == 0 || step == 0) return;
  // 64-bit arithmetic: a step near the 32-bit limit must not wrap around.
  std::uint64_t end = last < MAX_LINE_LENGTH ? last : MAX_LINE_LENGTH;
  for (std::uint64_t column = first; column <= end; column += step) table.flags[column - 1] = 1;
}

StopNumber read_stop_number(const char* text) {
  suite::ParsedInteger parsed = suite::parse_integer(text, 0);
  StopNumber number;
  number.next = parsed.end;
  number.valid = parsed.value >= 1 && static_cast<std::uint32_t>(parsed.value) <= MAX_LINE_LENGTH;
  if (number.valid) number.value = static_cast<std::uint32_t>(parsed.value);
  return number;
}

const char* parse_tab_list(TabStopTable& table, const char* list) {
  const char* entry = list;
  for (;;) {
    StopNumber start = read_stop_number(entry);
    if (!start.valid) return entry;
    const char* rest = start.next;
    if (*rest == ':') {
      StopNumber step = read_stop_number(rest + 1);
      if (!step.valid) return rest + 1;
      rest = step.next;
      std::uint32_t last = MAX_LINE_LENGTH;
      if (*rest == ':') {
        StopNumber end = read_stop_number(rest + 1);
        if (!end.valid) return rest + 1;
        last = end.value;
        rest = end.next;
      }
      set_stops(table, start.value, step.value, last);
    } else {
      set_stops(table, start.value, 1, start.value);
    }
    if (*rest == '\0') return nullptr;
    if (*rest != ',') return rest;
    entry = rest + 1;
  }
}

}  // namespace tabconv
