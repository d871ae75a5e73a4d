#include "count/count.h"

#include <cstdlib>

#include "common/arguments.h"
#include "common/streams.h"

namespace count {

Counter counter;

void print_banner() { suite::standard_error().write("\n\t\tCount 2.10 Text statistics for files\n"); }

void usage_exit(int code) {
  suite::OutputStream& err = suite::standard_error();
  if (code == 1) err.write("\tError: No source file.\n\n");
  if (code == 2) err.write("\tError: File not found.\n\n");
  if (code != 2) {
    err.write(
        "\tUse:\tCount file(s)\n"
        "\n"
        "\tCount bytes, characters, letters, vowels, consonants, words, lines\n"
        "sentences, words per sentence and letters per word. '*' and '?' are OK.");
  }
  std::exit(code);
}

void count_file(const std::string& name) {
  suite::InputStream in;
  if (!in.open(name, suite::StreamMode::binary)) usage_exit(2);
  suite::standard_output().write(name + ":\n");
  counter.begin_file();
  while (in.buffered_size() > 0 || in.refill()) {
    counter.add_block(reinterpret_cast<const unsigned char*>(in.buffered_data()), in.buffered_size());
    in.consume(in.buffered_size());
  }
  counter.end_file();
}

void run(const std::vector<std::string>& arguments) {
  if (!arguments.empty() && suite::is_help_request(arguments[0])) usage_exit(0);
  if (arguments.empty()) usage_exit(1);
  for (const std::string& name : arguments) count_file(name);
  suite::standard_output().write(format_report(counter.totals()));
}

}  // namespace count
