// Dupro's entry point: the run from the banner to the exit status, the copy
// cycles, and the exit handlers that write the summary and wait for a key.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "common/arguments.h"
#include "common/errors.h"
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

[[noreturn]] void out_of_memory() {
  message_stream().write("Not enough memory\n");
  suite::end_program(FILE_ERROR);
}

// True when the source directory and the target directory are one.
bool source_and_target_alike(const std::string& target) {
  std::string resolved = resolve_path(target.empty() ? std::string(".") + platform::SEPARATOR : target);
  if (resolved.empty()) return false;
  std::size_t length = std::max(source_path.rfind(platform::SEPARATOR) + 1, resolved.size());
  return source_path.substr(0, length) == resolved.substr(0, length);
}

void copy_cycle(const std::string& saved_source, const std::string& saved_target) {
  if (!whole_set_loaded) {
    drop_entries();
    whole_set_loaded = true;
    source_path = saved_source;
    target_path = saved_target;
    walk_directory(source_path.rfind(platform::SEPARATOR) + 1);
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
  int code = parse_command_line(suite::program_arguments(argc, argv), line);
  options = line.options;
  // The letter E takes the compare buffer where it is read: when an error
  // comes later on the command line, a failure to get it comes first.
  if (options.compare_only && !allocate_compare_buffer()) out_of_memory();
  if (code != ARGUMENTS_VALID) usage_exit(code);
  std::string source = normalise_source(line.source);
  target_path = line.has_target ? normalise_target(line.target) : "";
  if (options.pause_first) ask_key("Press ENTER to continue.", ENTER_KEY, ENTER_KEY);
  source_path = resolve_path(source);
  if (source_path.empty()) usage_exit(INVALID_SOURCE);
  if (source_path.back() == platform::SEPARATOR) source_path += "*.*";
  source_pattern = source_path.substr(source_path.rfind(platform::SEPARATOR));
  std::atexit(print_summary);
  std::atexit(release_at_exit);
  if (options.same_unit == SameUnit::UNDECIDED) {
    options.same_unit = source_and_target_alike(target_path) ? SameUnit::YES : SameUnit::NO;
  }
  if (options.same_unit == SameUnit::YES && options.one_at_a_time) usage_exit(SAME_UNIT_CONFLICT);
  compare_while_reading = options.compare_only && options.same_unit == SameUnit::NO && !options.multiple_copies;
  if (options.same_unit == SameUnit::YES || options.multiple_copies) {
    reserve_block = platform::allocate_block(RESERVE_SIZE);
    if (reserve_block == nullptr) out_of_memory();
  }
  const std::string saved_source = source_path;
  const std::string saved_target = target_path;
  target_folder = saved_target;
  do {
    copy_cycle(saved_source, saved_target);
  } while (options.multiple_copies && ask_key("Another copy? (Y/N): ", 'Y', 'N') == 'Y');
  std::exit(0);
}
