// Dupro's entry point: the run from the banner to the exit status.
#include <cstdlib>
#include <string>

#include "common/arguments.h"
#include "common/streams.h"
#include "dupro/options.h"
#include "dupro/paths.h"
#include "dupro/platform.h"
#include "dupro/prompt.h"

namespace {

using namespace dupro;

void wait_at_exit() {
  if (options.wait_at_end) ask_key("\nPress any key to end.", 0, 0);
}

}  // namespace

int main(int argc, char** argv) {
  std::atexit(wait_at_exit);
  print_banner();
  platform::prepare_process();
  CommandLine line;
  int code = parse_command_line(suite::program_arguments(argc, argv), line);
  options = line.options;
  if (code != ARGUMENTS_VALID) usage_exit(code);
  std::string source = normalise_source(line.source);
  std::string target = line.has_target ? normalise_target(line.target) : "";
  if (options.pause_first) ask_key("Press ENTER to continue.", ENTER_KEY, ENTER_KEY);
  std::string resolved = resolve_path(source);
  if (resolved.empty()) usage_exit(INVALID_SOURCE);
  (void)target;
  std::exit(0);
}
