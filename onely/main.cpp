#include <cstdlib>

#include "common/arguments.h"
#include "common/streams.h"
#include "onely/onely.h"

int main(int argc, char** argv) {
  onely::take_arguments(suite::program_arguments(argc, argv));
  onely::filter_lines(suite::standard_input(), suite::standard_output());
  std::exit(0);
}
