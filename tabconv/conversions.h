// The two conversions, each one streaming pass from an input to an output
// with no line buffer: Colpack's spaces to tabs and Colspread's tabs to
// spaces, both under a table of tab stops.
#pragma once

#include "common/streams.h"
#include "tabconv/tab_stops.h"

namespace tabconv {

// Replaces every run of two or more spaces that reaches a stop by one tab.
// A single space that reaches a stop stays a space, and spaces that reach
// no stop before the next other character are written as they are. Every
// other character, a tab included, counts as one column.
void pack_spaces(suite::InputStream& input, suite::OutputStream& output, const TabStopTable& stops);

// Replaces every tab by the spaces that lead to the next stop, at least one.
// Every other character counts as one column; a newline starts a new line.
void spread_tabs(suite::InputStream& input, suite::OutputStream& output, const TabStopTable& stops);

}  // namespace tabconv
