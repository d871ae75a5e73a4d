// The tab-stop model shared by Colpack and Colspread: a table of one flag
// per column position, filled from the '-D' and '-T' options and read by the
// conversion loops, which look for the next stop several flags at a time.
#pragma once

#include <cstdint>

#include "common/byte_search.h"

namespace tabconv {

// The number of column positions the table describes: the maximum line
// length named in the usage text. Every position from here on is a stop.
constexpr std::uint32_t MAX_LINE_LENGTH = 1048576;

struct TabStopTable {
  unsigned char flags[MAX_LINE_LENGTH] = {};

  // Position p (column p + 1) is a stop when its flag is set or it lies at
  // or beyond the maximum line length.
  bool is_stop(std::uint64_t position) const { return position >= MAX_LINE_LENGTH || flags[position] != 0; }

  // The first position after the given one that is a stop.
  std::uint64_t next_stop(std::uint64_t position) const {
    if (position + 1 >= MAX_LINE_LENGTH) return position + 1;
    const unsigned char* stop = suite::find_non_zero(flags + position + 1, flags + MAX_LINE_LENGTH);
    return static_cast<std::uint64_t>(stop - flags);
  }
};

// Sets the stops at columns first, first + step, first + 2 * step, ... up
// to and including last. Nothing is set when last < first.
void set_stops(TabStopTable& table, std::uint32_t first, std::uint32_t step, std::uint32_t last);

// A number of a stop list, read with the C library's base rules (leading
// blanks, a sign, 0x for hexadecimal, a leading 0 for octal).
struct StopNumber {
  std::uint32_t value = 0;
  const char* next = nullptr;  // the first character after the number
  bool valid = false;          // 1 to MAX_LINE_LENGTH; no number at all is not
};
StopNumber read_stop_number(const char* text);

// Reads a '-T' list, "n0[:ni[:nm]]" entries separated by ',', and sets its
// stops. Returns nullptr when the whole list was taken, otherwise the text
// that the "Bad number" message shows: from the start of a number out of
// range, or from the first character that cannot follow an entry.
const char* parse_tab_list(TabStopTable& table, const char* list);

}  // namespace tabconv
