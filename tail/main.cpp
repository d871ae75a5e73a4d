// Tail: copies the last lines (or bytes) of each input to standard output.
#include <cstdlib>

#include "common/arguments.h"
#include "tail/tail.h"

int main(int argc, char** argv) {
  tail::install_memory_handler();
  tail::run(suite::expand_wildcards(suite::program_arguments(argc, argv)));
  std::exit(0);
}
