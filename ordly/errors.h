// Ordly's error routine: banner, message, usage text where it helps, and
// an exit status that encodes the error.
#pragma once

#include <string_view>

namespace ordly {

enum class ErrorCode {
  USAGE = 0,
  OUTPUT_NAME_MISSING = 2,
  CANNOT_OPEN = 4,
  INVALID_OPTION = 8,
  TOO_MANY_FILES = 16,
  NO_FILE_HANDLES = 32,
  MEMORY_EXHAUSTED = 64,
  STACK_OVERFLOW = 128,
};

// The help text shown for '?' and after errors in the command line.
std::string_view usage_text();

// Prints the banner, the message for the code (quoting the text where the
// message has a place for it) and, for '?' and command-line errors, the
// usage text; closes every file, deletes every temporary run and exits with
// the code as the status.
[[noreturn]] void error_exit(ErrorCode code, const char* text = nullptr);

// The end of a run whose standard output has lost its reader: nothing more
// can reach it, so the run ends with status 0, as after its normal end,
// and leaves none of its temporary files behind.
[[noreturn]] void end_without_reader();

}  // namespace ordly
