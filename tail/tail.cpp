#include "tail/tail.h"

#include <cstdlib>
#include <new>

#include "common/arguments.h"
#include "common/errors.h"
#include "common/numbers.h"
#include "tail/windows.h"

namespace tail {

Settings settings;

namespace {

void tail_lines(suite::InputStream& in, suite::OutputStream& out) {
  LastLines window(settings.tail_count);
  while (in.buffered_size() > 0 || in.refill()) {
    window.add_text(in.buffered_data(), in.buffered_size());
    in.consume(in.buffered_size());
  }
  window.finish();
  window.write_to(out);
}

void tail_bytes(suite::InputStream& in, suite::OutputStream& out) {
  // A negative count is a size that no allocation can satisfy.
  if (settings.tail_count < 0) memory_exhausted();
  ByteRing ring(static_cast<std::size_t>(settings.tail_count));
  // Only the last bytes can reach the output: a regular file is read from
  // there on, anything else to its end.
  in.keep_only_last(static_cast<std::uint64_t>(settings.tail_count));
  while (in.buffered_size() > 0 || in.refill()) {
    ring.add(in.buffered_data(), in.buffered_size());
    in.consume(in.buffered_size());
  }
  ring.write_to(out);
}

}  // namespace

bool take_option(const std::string& argument) {
  if (argument.size() == 2 && (argument[1] == 'b' || argument[1] == 'B')) {
    settings.byte_mode = true;
    return true;
  }
  std::int32_t count = suite::parse_integer(argument.c_str() + 1, 10).value;
  if (count == 0) return false;
  settings.tail_count = count;
  return true;
}

void memory_exhausted() {
  suite::standard_error().write("\nMemory exhausted\n");
  suite::end_program(1);
}

void install_memory_handler() { std::set_new_handler(memory_exhausted); }

void show_usage() {
  suite::standard_output().write(
      "TAIL 2.10\tPrints the last lines or bytes of text files and pipes.\n"
      "\n"
      "Use: TAIL [/n] [/b] [file(s)]\n"
      "Dump to cout the last 10 (or 'n') lines (or 'b'ytes) of cin (or 'file(s)')\n");
  std::exit(0);
}

void tail_stream(suite::InputStream& in, suite::OutputStream& out) {
  if (settings.byte_mode) {
    tail_bytes(in, out);
  } else {
    tail_lines(in, out);
  }
}

void tail_file(const std::string& name) {
  settings.file_named = true;
  suite::InputStream in;
  if (!in.open(name, settings.byte_mode ? suite::StreamMode::binary : suite::StreamMode::text)) {
    suite::standard_error().write("Cannot open " + name + "\n");
    return;
  }
  tail_stream(in, suite::standard_output());
}

void run(const std::vector<std::string>& arguments) {
  if (!arguments.empty() && suite::is_help_request(arguments[0])) show_usage();
  for (const std::string& argument : arguments) {
    if (suite::is_option_argument(argument) && take_option(argument)) continue;
    tail_file(argument);
  }
  if (!settings.file_named) tail_stream(suite::standard_input(), suite::standard_output());
}

}  // namespace tail
