// Ordly's option groups: a run goes on only with settings inside their
// ranges (a line buffer of at least 3 bytes, a starting column of at least
// 1, one of the five sort methods), or ends through the error routine with
// one of the command-line codes. No group that names an output ('O') is
// given: it would create a file.
#include <string>
#include <vector>

#include "fuzz/support.h"
#include "ordly/collation.h"
#include "ordly/command_line.h"
#include "ordly/errors.h"
#include "ordly/line_store.h"
#include "ordly/settings.h"

namespace {

bool only_option_groups(const std::vector<std::string>& arguments) {
  for (const std::string& argument : arguments) {
    if (argument.size() < 2 || argument[0] != '-') return false;
    if (argument.find_first_of("Oo") != std::string::npos) return false;
  }
  return true;
}

int status_of(ordly::ErrorCode code) { return static_cast<int>(code); }

}  // namespace

// A '/X' value can ask for up to 4 GB. Such a block is granted but never
// touched by a real run; under the sanitizer its release marks all of it,
// which takes seconds. Here an allocation above 64 MB fails instead, which
// checks the path of a buffer that cannot be had.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1:max_allocation_size_mb=64"; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static bool prepared = (fuzz::prepare_program_runs(), ordly::allocate_store(), true);
  (void)prepared;
  if (size > 1024) return 0;
  std::vector<std::string> arguments = fuzz::split_into_arguments(data, size);
  if (!only_option_groups(arguments)) return 0;
  ordly::settings = ordly::Settings{};
  try {
    ordly::take_arguments(arguments);
  } catch (const fuzz::ProgramEnded& ended) {
    using ordly::ErrorCode;
    fuzz::check(fuzz::is_one_of(ended.status, {status_of(ErrorCode::USAGE), status_of(ErrorCode::INVALID_OPTION),
                                               status_of(ErrorCode::MEMORY_EXHAUSTED)}),
                "the option groups end with one of the command-line codes");
    fuzz::check(ordly::store.read_buffer != nullptr || ended.status == status_of(ErrorCode::MEMORY_EXHAUSTED),
                "the line buffer is there unless memory ran out");
    if (ordly::store.read_buffer == nullptr) ordly::resize_read_buffer(ordly::DEFAULT_MAX_LINE);
    return 0;
  }
  const ordly::Settings& settings = ordly::settings;
  fuzz::check(settings.max_line >= 3, "a line buffer of at least 3 bytes");
  fuzz::check(settings.column_offset >= 0, "a starting column of at least 1");
  int method = static_cast<int>(settings.sort_method);
  fuzz::check(method >= 0 && method <= 4, "one of the five sort methods");
  fuzz::check(settings.active_compare == ordly::compare_plain || settings.active_compare == ordly::compare_spanish,
              "one of the two comparisons");
  fuzz::check(ordly::store.read_buffer != nullptr, "a line buffer after the options");
  fuzz::check(!settings.dictionary_order || settings.skip_blanks, "dictionary order skips blanks");
  return 0;
}
