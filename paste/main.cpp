#include <cstdlib>

#include "common/arguments.h"
#include "common/streams.h"
#include "paste/paste.h"

int main(int argc, char** argv) {
  paste::take_arguments(suite::expand_wildcards(suite::program_arguments(argc, argv)));
  paste::decode_escapes(paste::settings.delimiter_text);
  paste::paste_rows(paste::settings.inputs, paste::settings.input_count, paste::settings.delimiter_text,
                    suite::standard_output());
  std::exit(0);
}
