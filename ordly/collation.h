// The order of lines: the three collation tables and the two comparison
// routines, with the key stages chosen by the order options (starting
// column, leading blanks, integer and floating keys, dictionary order,
// reverse order).
#pragma once

#include <array>

namespace ordly {

// The code of every byte that is not a letter, a digit or one of the
// bytes 0x00 to 0x04.
constexpr unsigned char SPACE_CODE = 0x20;

// Letter codes that only the Spanish comparison produces, for "ch" and "ll".
constexpr unsigned char CH_CODE = 0x44;
constexpr unsigned char LL_CODE = 0x4E;

using CollationTable = std::array<unsigned char, 256>;

// The console code page table, the Windows character set table, and the
// identity that '/A' uses.
extern const CollationTable oem_table;
extern const CollationTable ansi_table;
extern const CollationTable identity_table;

// Compare two stored lines (NUL-terminated, ending in a line feed) under
// the current settings.
int compare_plain(const char* first, const char* second);
// As compare_plain, but "ch" and "ll" count as single letters.
int compare_spanish(const char* first, const char* second);

// The collation code of the character or digraph at the position; moves
// the position onto the second letter of "ch" or "ll".
unsigned char next_code(const unsigned char*& position);

}  // namespace ordly
