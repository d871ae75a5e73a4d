#include "count/count.h"

#include <cstdlib>

#include "common/arguments.h"
#include "common/errors.h"
#include "common/streams.h"

namespace count {

Counter counter;

namespace {

// A missing file shows its error line alone.
constexpr suite::ErrorMessage<ErrorCode> ERROR_MESSAGES[] = {
    {USAGE_ONLY, nullptr, true},
    {NO_SOURCE_FILE, "\tError: No source file.\n\n", true},
    {FILE_NOT_FOUND, "\tError: File not found.\n\n", false},
};

constexpr const char* USAGE_TEXT =
    "\tUse:\tCount file(s)\n"
    "\n"
    "\tCount bytes, characters, letters, vowels, consonants, words, lines\n"
    "sentences, words per sentence and letters per word. '*' and '?' are OK.";

}  // namespace

void print_banner() { suite::standard_error().write("\n\t\tCount 2.10 Text statistics for files\n"); }

void usage_exit(ErrorCode code) {
  const suite::ErrorMessage<ErrorCode>& message = suite::error_message(ERROR_MESSAGES, code);
  suite::OutputStream& error = suite::standard_error();
  if (message.format != nullptr) error.write_c_string(message.format);
  if (message.usage_follows) error.write(USAGE_TEXT);
  suite::end_program(code);
}

void count_file(const std::string& name) {
  suite::InputStream in;
  if (!in.open(name, suite::StreamMode::binary)) usage_exit(FILE_NOT_FOUND);
  suite::standard_output().write(name + ":\n");
  counter.begin_file();
  while (in.buffered_size() > 0 || in.refill()) {
    counter.add_block(reinterpret_cast<const unsigned char*>(in.buffered_data()), in.buffered_size());
    in.consume(in.buffered_size());
  }
  counter.end_file();
}

void run(const std::vector<std::string>& arguments) {
  if (!arguments.empty() && suite::is_help_request(arguments[0])) usage_exit(USAGE_ONLY);
  if (arguments.empty()) usage_exit(NO_SOURCE_FILE);
  for (const std::string& name : arguments) count_file(name);
  suite::standard_output().write(format_report(counter.totals()));
}

}  // namespace count
