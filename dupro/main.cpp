// Dupro's entry point: the run from the banner to the exit status, the copy
// cycles, and the exit handlers that write the summary and wait for a key.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "common/arguments.h"
#include "common/streams.h"
#include "dupro/engine.h"
#include "dupro/options.h"
#include "dupro/paths.h"
#include "dupro/platform.h"
#include "dupro/prompt.h"

namespace {

using namespace dupro;

constexpr std::size_t RESERVE_SIZE = 524288;

// Held untouched until the program ends, so that buffering stops earlier.
char* reserve_block = nullptr;

void wait_at_exit() {
  if (options.wait_at_end) ask_key("\nPress any key to end.", 0, 0);
}

// Runs before the summary line at exit: the finishing steps of the entries
// still held, and of those that waited for the end. A cancel here ends the
// program again, and the handlers not yet run (the summary line among
// them) still run.
void release_at_exit() { finish_run(); }

void print_summary() {
  suite::OutputStream& out = suite::standard_output();
  out.put('\t');
  if (options.compare_only) {
    if (entry_count == 0) {
      out.write("No entry found.");
      return;
    }
    if (entry_count > 1) {
      out.print("%u entries checked. ", entry_count);
    } else {
      out.write("1 entry checked. ");
    }
    if (error_count > 1) {
      out.print("%u errors.", error_count);
    } else {
      out.write(error_count == 1 ? "1 error." : "No error.");
    }
    return;
  }
  if (entry_count != 0) out.print(entry_count > 1 ? "%u files copied. " : "%u file copied. ", entry_count);
  if (dir_count != 0) out.print(dir_count > 1 ? "%u directories created." : "%u directory created.", dir_count);
}

// True when the folder of the search pattern and the target directory are
// one.
bool source_and_target_alike(const std::string& search_pattern, const std::string& target) {
  std::string resolved = resolve_path(target.empty() ? std::string(".") + platform::SEPARATOR : target);
  if (resolved.empty()) return false;
  std::size_t length = std::max(search_pattern.rfind(platform::SEPARATOR) + 1, resolved.size());
  return search_pattern.substr(0, length) == resolved.substr(0, length);
}

void copy_cycle(const std::string& search_pattern, const std::string& target_directory) {
  if (!whole_set_loaded) {
    drop_entries();
    whole_set_loaded = true;
    walk_directory(search_pattern, target_directory);
  }
  flush_entries(false);
  reset_entries();
}

}  // namespace

int main(int argc, char** argv) {
  suite::set_output_gone_handler(suite::go_on_without_output);
  std::atexit(wait_at_exit);
  print_banner();
  platform::prepare_process();
  CommandLine line;
  ExitCode code = parse_command_line(suite::program_arguments(argc, argv), line);
  options = line.options;
  // The letter E takes the compare buffer where it is read: when an error
  // comes later on the command line, a failure to get it comes first.
  if (options.compare_only && !allocate_compare_buffer()) buffer_memory_exit();
  if (code != ARGUMENTS_VALID) usage_exit(code);
  std::string source = normalise_source(line.source);
  const std::string target_directory = line.has_target ? normalise_target(line.target) : "";
  if (options.pause_first) ask_key("Press ENTER to continue.", ENTER_KEY, ENTER_KEY);
  std::string search_pattern = resolve_path(source);
  if (search_pattern.empty()) usage_exit(INVALID_SOURCE);
  if (search_pattern.back() == platform::SEPARATOR) search_pattern += "*.*";
  std::atexit(print_summary);
  std::atexit(release_at_exit);
  if (options.same_unit == SameUnit::UNDECIDED) {
    options.same_unit = source_and_target_alike(search_pattern, target_directory) ? SameUnit::YES : SameUnit::NO;
  }
  if (options.same_unit == SameUnit::YES && options.one_at_a_time) usage_exit(SAME_UNIT_CONFLICT);
  compare_while_reading = options.compare_only && options.same_unit == SameUnit::NO && !options.multiple_copies;
  if (options.same_unit == SameUnit::YES || options.multiple_copies) {
    reserve_block = platform::allocate_block(RESERVE_SIZE);
    if (reserve_block == nullptr) buffer_memory_exit();
  }
  target_folder = target_directory;
  do {
    copy_cycle(search_pattern, target_directory);
  } while (options.multiple_copies && ask_key("Another copy? (Y/N): ", 'Y', 'N') == 'Y');
  std::exit(0);
}
