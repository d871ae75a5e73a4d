#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "common/errors.h"
#include "common/platform.h"
#include "common/streams.h"
#include "dupro/errors.h"
#include "tests/dupro/dupro_test_text.h"
#include "tests/support/run_program.h"

namespace {

using suite_test::crlf;

struct RunEnded {
  int status;
};

[[noreturn]] void throw_status(int status) { throw RunEnded{status}; }

struct Ending {
  int status = -1;
  std::string error_text;
};

// Runs an error routine with the run's ending replaced by one that throws,
// and with the error stream on a scratch file.
Ending run_error_routine(const std::function<void()>& routine) {
  namespace platform = suite::platform;
  suite_test::TempFolder folder;
  platform::Handle file = platform::open_for_writing(folder.file("err"), true);
  suite::standard_error().attach(file, suite::StreamMode::text, true);
  suite::set_program_end(throw_status);
  Ending ending;
  try {
    routine();
  } catch (const RunEnded& ended) {
    ending.status = ended.status;
  }
  suite::set_program_end(nullptr);
  suite::standard_error().attach(platform::standard_error_handle(), suite::StreamMode::text, true);
  platform::close_handle(file);
  ending.error_text = folder.read("err");
  return ending;
}

TEST(DuproErrors, EachCodeHasItsMessageUsageTextAndStatus) {
  struct Case {
    dupro::ExitCode code;
    std::string message;
    bool usage_follows;
  };
  for (const Case& c : {Case{dupro::USAGE_ONLY, "", true}, Case{dupro::CANCELLED, "Program cancelled.\n", false},
                        Case{dupro::UNKNOWN_OPTION, "Unknown option.\n", true},
                        Case{dupro::MISSING_SOURCE, "Missing source.\n", true},
                        Case{dupro::NOT_ENOUGH_MEMORY, "Not enough memory.\n", false},
                        Case{dupro::INVALID_DATE, "Invalid date format.\n", true},
                        Case{dupro::INVALID_SOURCE, "Invalid source.\n", false},
                        Case{dupro::SAME_UNIT_CONFLICT, "Options not valid when source and target are equal.\n", false}}) {
    Ending ending = run_error_routine([&] { dupro::usage_exit(c.code); });
    EXPECT_EQ(ending.status, c.code);
    EXPECT_EQ(ending.error_text, crlf(c.message) + (c.usage_follows ? dupro_test::USAGE : "")) << c.code;
  }
}

TEST(DuproErrors, FileErrorsNameThePathAndTheReasonAndEndWith128) {
  struct Case {
    dupro::FileError error;
    const char* message;
  };
  for (const Case& c : {Case{dupro::FileError::cannot_open, "Could not open the file"},
                        Case{dupro::FileError::memory_exhausted, "Memory exhausted in file"},
                        Case{dupro::FileError::cannot_read, "Error reading file"},
                        Case{dupro::FileError::cannot_create_file, "Could not create file"},
                        Case{dupro::FileError::cannot_create_directory, "Could not create directory"}}) {
    Ending ending = run_error_routine([&] { dupro::fatal_file_error(c.error, "/x/A.TXT", "Reason"); });
    EXPECT_EQ(ending.status, 128);
    EXPECT_EQ(ending.error_text, crlf(std::string("\nDUPRO:\t") + c.message + " /x/A.TXT.\n\tReason\n"));
  }
}

TEST(DuproErrors, BufferMemoryMessageHasNoPeriod) {
  Ending ending = run_error_routine([] { dupro::buffer_memory_exit(); });
  EXPECT_EQ(ending.status, 128);
  EXPECT_EQ(ending.error_text, crlf("Not enough memory\n"));
}

}  // namespace
