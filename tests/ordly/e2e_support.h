// Helpers for the end-to-end tests of Ordly.
#pragma once

#include <fcntl.h>

#include <string>
#include <vector>

#include "tests/support/run_program.h"

namespace ordly_test {

using suite_test::crlf;

inline const std::string BANNER = "\r\n\t\tOrdly v. 4.10. Sorts and merges the lines of text files.\r\n\r\n";

inline suite_test::RunResult run_ordly(const std::vector<std::string>& arguments, const std::string& input = "",
                                       const std::string& folder = "") {
  suite_test::RunOptions options;
  options.input = input;
  options.folder = folder;
  return suite_test::run_program("ordly", arguments, options);
}

// Runs Ordly in the folder with standard output appending to one of its
// files, as `ordly arguments >> name` does. The launcher reads standard
// output from a pipe, so a small shell step around the program opens it.
inline suite_test::RunResult run_ordly_appending_to(const suite_test::TempFolder& folder, const std::string& name,
                                                    const std::vector<std::string>& arguments,
                                                    suite_test::RunOptions options = {}) {
  std::vector<std::string> program_command = suite_test::program_command("ordly", arguments);
  std::string command = "exec \"$0\"";
  for (std::size_t i = 1; i < program_command.size(); ++i) command += " \"$" + std::to_string(i) + "\"";
  command += " >> " + name;
  std::vector<std::string> shell_arguments = {"-c", command};
  shell_arguments.insert(shell_arguments.end(), program_command.begin(), program_command.end());
  options.folder = folder.path();
  return suite_test::run_command("/bin/sh", shell_arguments, options);
}

// An open-file limit that leaves the program the given number of free
// descriptors beyond the standard three, skipping the low descriptors it
// inherits from this process (a test runner may leave some open).
inline unsigned long open_files_limit(unsigned long wanted) {
  unsigned long limit = 3 + wanted;
  for (unsigned long fd = 3; fd < limit; ++fd) {
    int flags = fcntl(static_cast<int>(fd), F_GETFD);
    if (flags >= 0 && (flags & FD_CLOEXEC) == 0) ++limit;
  }
  return limit;
}

// The names in the folder that have the form of a temporary run file.
inline std::vector<std::string> temporary_files(const suite_test::TempFolder& folder) {
  std::vector<std::string> found;
  for (const std::string& name : folder.names()) {
    if (name.rfind("TMP", 0) == 0 && name.size() > 7 && name.compare(name.size() - 4, 4, ".$$$") == 0) {
      found.push_back(name);
    }
  }
  return found;
}

}  // namespace ordly_test
