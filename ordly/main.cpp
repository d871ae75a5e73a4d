// Ordly: sorts the lines of text files or standard input into one output,
// or merges files that are already sorted.
#include <cstdlib>
#include <new>

#include "common/arguments.h"
#include "common/streams.h"
#include "ordly/command_line.h"
#include "ordly/errors.h"
#include "ordly/line_store.h"
#include "ordly/output.h"
#include "ordly/runs.h"
#include "ordly/settings.h"

int main(int argc, char** argv) {
  using namespace ordly;
  // Stream buffers and names come from the free store; when it is out of
  // memory the run ends like any other failed allocation, with the
  // temporary runs deleted.
  std::set_new_handler([] { error_exit(ErrorCode::MEMORY_EXHAUSTED); });
  suite::set_output_gone_handler(end_without_reader);
  allocate_store();
  take_arguments(suite::expand_wildcards(suite::program_arguments(argc, argv)));
  if (settings.merge_only) {
    merge_files();
  } else {
    if (!store.input_seen) read_input(nullptr);
    release_input_file();
    if (file_count != 0) {
      // Earlier runs went to temporary files: the rest becomes one more run.
      spill_lines();
      merge_files();
    } else {
      write_sorted(nullptr);
    }
  }
  if (settings.append_ctrl_z) suite::standard_output().put(suite::CTRL_Z);
  finish_output();
  std::exit(0);
}
