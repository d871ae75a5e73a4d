// Dupro's error routines: the usage and exit codes with their messages and
// the usage text, the file errors, and the error stream they write to.
#pragma once

#include <string>

#include "common/streams.h"

namespace dupro {

// The codes of the error routine, each the exit status that goes with it.
enum ExitCode : int {
  USAGE_ONLY = 0,
  CANCELLED = 1,
  UNKNOWN_OPTION = 2,
  MISSING_SOURCE = 4,
  NOT_ENOUGH_MEMORY = 8,
  INVALID_DATE = 16,
  INVALID_SOURCE = 32,
  SAME_UNIT_CONFLICT = 64,
  FILE_ERROR = 128,
};

// The file errors, named for what their messages say; each ends the run
// with FILE_ERROR.
enum class FileError {
  cannot_open,
  memory_exhausted,
  cannot_read,
  cannot_create_file,
  cannot_create_directory,
};

// The error stream, for messages and prompts. What standard output holds
// is written out first, so that on a terminal (or in one log of both
// streams) everything appears in the order the run wrote it.
suite::OutputStream& message_stream();

// The message (when the code has one), the usage text (for 0, 2, 4 and 16),
// and the end of the program with the code as its status.
[[noreturn]] void usage_exit(ExitCode code);

// The message of the file error with the path, then the platform's text
// for the last error, and the end of the program with FILE_ERROR.
[[noreturn]] void fatal_file_error(FileError error, const std::string& path);
// The same, with the text of an error met earlier.
[[noreturn]] void fatal_file_error(FileError error, const std::string& path, const std::string& reason);

// A buffer the run holds from its start (the compare buffer, the reserve
// block) cannot be had: "Not enough memory" without a period, and the end
// of the program with FILE_ERROR.
[[noreturn]] void buffer_memory_exit();

}  // namespace dupro
