// Difra: compares two text files line by line and prints the lines that
// differ side by side. Status 0 when nothing differs, 1 when something does
// (or after the usage text), -1 when a file cannot be opened.
#include <cstdlib>

#include "common/arguments.h"
#include "common/errors.h"
#include "common/streams.h"
#include "difra/linking.h"
#include "difra/naming.h"
#include "difra/report.h"
#include "difra/settings.h"

namespace {

using namespace difra;

LineSource source1;
LineSource source2;
LineTable table1;
LineTable table2;
OccurrenceTable occurrences1;
OccurrenceTable occurrences2;
std::int32_t last_line_of_bucket2[BUCKET_COUNT];

void read_first_file() {
  if (!source1.open(settings.filespec1)) {
    suite::standard_output().print("Unable to open file '%s'\n", settings.filespec1.c_str());
    suite::end_program(-1);
  }
  suite::standard_output().print("Reading file '%s'.\n", settings.filespec1.c_str());
  source1.read_keys(table1, occurrences1, nullptr);
}

void read_second_file() {
  std::string name = first_name_for_second_file(settings.filespec1, settings.filespec2);
  bool opened = source2.open(name);
  if (!opened) {
    std::string fallback = fallback_name_for_second_file(settings.filespec1, settings.filespec2);
    if (!fallback.empty()) {
      name = fallback;
      opened = source2.open(name);
    }
  }
  if (!opened) {
    suite::standard_output().print("Unable to open file '%s'.\n", name.c_str());
    suite::end_program(-1);
  }
  suite::standard_output().print("Reading file '%s'.\n", name.c_str());
  source2.read_keys(table2, occurrences2, last_line_of_bucket2);
}

// A file longer than the line limit is compared only up to the limit. The
// lines past it still decide whether the files differ: the run may only end
// with "no difference" when both files go on past the limit with the same
// lines.
bool lines_past_the_limit_differ() {
  if (!source1.truncated() && !source2.truncated()) return false;
  if (source1.truncated() != source2.truncated()) return true;
  return !source1.rest_matches(source2);
}

}  // namespace

int main(int argc, char** argv) {
  suite::set_output_gone_handler(suite::go_on_without_output);
  switch (parse_command_line(suite::program_arguments(argc, argv))) {
    case CommandLineOutcome::run:
      break;
    case CommandLineOutcome::invalid_option:
      suite::standard_output().write("Invalid command line option\n");
      [[fallthrough]];
    case CommandLineOutcome::usage:
      show_usage();
  }
  read_first_file();
  read_second_file();
  link_files(table1.lines(), table2.lines(), occurrences1, occurrences2, last_line_of_bucket2);
  ReportPrinter printer(source1, source2);
  walk_report(table1.lines(), table2.lines(), printer);
  int status = printer.differences_found();
  if (status == 0 && lines_past_the_limit_differ()) status = 1;
  std::exit(status);
}
