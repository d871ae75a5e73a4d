// Paste: writes the corresponding lines of several inputs side by side.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "common/streams.h"

namespace paste {

constexpr std::size_t MAX_INPUTS = 25;
constexpr std::size_t LINE_BUFFER_SIZE = 1048576;

// Error codes, which are also the exit statuses.
enum ErrorCode {
  USAGE_ONLY = 0,
  UNKNOWN_OPTION = 2,
  BAD_SYNTAX = 4,
  TOO_MANY_FILES = 8,
  CANNOT_OPEN = 16,
};

// Filled from the command line; '-' lists standard input itself, so every
// '-' shares the one stream.
struct Settings {
  suite::InputStream* inputs[MAX_INPUTS] = {};
  std::size_t input_count = 0;
  std::string delimiter_text = "\t";
};

extern Settings settings;

// Reads up to `most` digits of the base from text (never at or past end)
// and gives their value modulo 256; `after` points past the last digit.
unsigned char read_escape_number(const char* text, const char* end, int base, int most, const char*& after);
// Replaces backslash escapes by the bytes they stand for; the text ends at
// the first escape that gives a zero byte.
void decode_escapes(std::string& text);

// Writes rows until any input ends.
void paste_rows(suite::InputStream* const* inputs, std::size_t count, const std::string& delimiter,
                suite::OutputStream& output);

// Takes the arguments from left to right, opening each input as it is met;
// ends the program on an error.
void take_arguments(const std::vector<std::string>& arguments);
[[noreturn]] void usage_exit(ErrorCode code, const std::string& name = "");

}  // namespace paste
