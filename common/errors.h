// The shape every program gives its error routine: a named type of error
// codes (each code is also the exit status), and one table that gives each
// code its message format and says whether the usage text follows it; and
// the one way every error routine ends the run.
#pragma once

#include <cstddef>

namespace suite {

template <typename Code>
struct ErrorMessage {
  Code code;
  const char* format;  // written after the banner; nullptr: no message
  bool usage_follows;
};

// The row of the table for the code. Every code a program raises has a row;
// the first row answers for any other.
template <typename Code, std::size_t N>
constexpr const ErrorMessage<Code>& error_message(const ErrorMessage<Code> (&table)[N], Code code) {
  for (const ErrorMessage<Code>& row : table) {
    if (row.code == code) return row;
  }
  return table[0];
}

// How the run ends once an error routine has written its message: by
// exiting with the status, which flushes standard output and runs what the
// program registered to run at its end. A test puts another ending in its
// place (one that throws, say) to check an error path inside its own
// process; that ending must not return.
using ProgramEnd = void (*)(int status);
void set_program_end(ProgramEnd end);
[[noreturn]] void end_program(int status);

}  // namespace suite
