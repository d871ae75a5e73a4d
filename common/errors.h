// The shape every program gives its error routine: a named type of error
// codes (each code is also the exit status), and one table that gives each
// code its message format and says whether the usage text follows it.
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

}  // namespace suite
