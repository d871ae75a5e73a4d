// Count: bytes, characters, letters, vowels, consonants, words, lines and
// sentences of a set of files, with two averages.
#include <cstdlib>

#include "common/arguments.h"
#include "count/count.h"

int main(int argc, char** argv) {
  count::print_banner();
  count::run(suite::expand_wildcards(suite::program_arguments(argc, argv)));
  std::exit(0);
}
