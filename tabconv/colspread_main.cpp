// Colspread: copies text from its source to its destination, replacing
// every tab by the spaces that lead to the next tab stop.
#include <cstdlib>

#include "common/arguments.h"
#include "common/streams.h"
#include "tabconv/command_line.h"
#include "tabconv/conversions.h"

int main(int argc, char** argv) {
  tabconv::take_arguments(tabconv::COLSPREAD, suite::program_arguments(argc, argv));
  tabconv::spread_tabs(suite::standard_input(), suite::standard_output(), tabconv::tab_stop_table);
  std::exit(0);
}
