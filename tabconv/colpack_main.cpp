// Colpack: copies text from its source to its destination, replacing runs
// of spaces that reach a tab stop by tabs.
#include <cstdlib>

#include "common/arguments.h"
#include "common/streams.h"
#include "tabconv/command_line.h"
#include "tabconv/conversions.h"

int main(int argc, char** argv) {
  tabconv::take_arguments(tabconv::COLPACK, suite::program_arguments(argc, argv));
  tabconv::pack_spaces(suite::standard_input(), suite::standard_output(), tabconv::tab_stop_table);
  std::exit(0);
}
