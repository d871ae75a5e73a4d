#include <cstdlib>

#include "common/arguments.h"
#include "common/streams.h"
#include "cut/cut.h"

int main(int argc, char** argv) {
  cut::take_arguments(suite::program_arguments(argc, argv));
  suite::InputStream& input = suite::standard_input();
  suite::OutputStream& output = suite::standard_output();
  switch (*cut::settings.mode) {
    case cut::CutMode::CUT_BYTES: cut::cut_bytes(input, output, cut::positions); break;
    case cut::CutMode::CUT_COLUMNS: cut::cut_columns(input, output, cut::positions); break;
    case cut::CutMode::CUT_FIELDS: cut::cut_fields(input, output, cut::positions, cut::settings.field_delimiter); break;
    case cut::CutMode::CUT_ROWS: cut::cut_rows(input, output, cut::positions); break;
  }
  std::exit(0);
}
