// What every fuzz target shares: the ending that turns a program's error
// exit into an exception, the check that aborts on a broken property, and
// inputs copied into buffers of their exact size, so that AddressSanitizer
// sees any read past their end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "common/errors.h"
#include "common/platform.h"
#include "common/streams.h"

namespace fuzz {

// Thrown by the ending installed in place of the exit.
struct ProgramEnded {
  int status;
};

[[noreturn]] inline void throw_program_ended(int status) { throw ProgramEnded{status}; }

// Every run ends through the exception; what the programs write to their
// standard streams goes to the null device.
inline void prepare_program_runs() {
  suite::set_program_end(throw_program_ended);
  suite::standard_output().attach(suite::platform::open_for_writing("/dev/null", false), suite::StreamMode::text);
  suite::standard_error().attach(suite::platform::open_for_writing("/dev/null", false), suite::StreamMode::text);
}

[[noreturn]] inline void property_broken(const char* what, const char* file, int line) {
  std::fprintf(stderr, "\nProperty broken at %s:%d: %s\n", file, line, what);
  std::abort();
}

// Aborts, so that the fuzzer keeps the input, when a property does not hold.
inline void check(bool holds, const char* what, const char* file = __builtin_FILE(), int line = __builtin_LINE()) {
  if (!holds) property_broken(what, file, line);
}

inline bool is_one_of(int status, std::initializer_list<int> codes) {
  for (int code : codes) {
    if (status == code) return true;
  }
  return false;
}

// A NUL-terminated copy of the bytes in a block of exactly their size plus
// the NUL; bytes after an inner NUL stay, unread by a correct parser.
class ExactText {
 public:
  ExactText(const std::uint8_t* data, std::size_t size) : bytes_(new char[size + 1]) {
    if (size > 0) std::memcpy(bytes_.get(), data, size);
    bytes_[size] = '\0';
  }
  explicit ExactText(const std::string& text)
      : ExactText(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()) {}
  const char* c_str() const { return bytes_.get(); }

 private:
  std::unique_ptr<char[]> bytes_;
};

// The input cut into arguments at its NUL and line-feed bytes (so an
// argument can hold any other byte, blanks and quotes included).
inline std::vector<std::string> split_into_arguments(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> arguments;
  std::string current;
  for (std::size_t i = 0; i < size; ++i) {
    char c = static_cast<char>(data[i]);
    if (c == '\0' || c == '\n') {
      arguments.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty() || arguments.empty()) arguments.push_back(current);
  return arguments;
}

}  // namespace fuzz
