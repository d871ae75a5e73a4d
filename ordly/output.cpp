#include "ordly/output.h"

#include <string>

#include "ordly/errors.h"
#include "ordly/platform.h"
#include "ordly/runs.h"
#include "ordly/settings.h"

namespace ordly {

namespace {

std::string output_name;         // as named with '/O'; empty for the caller's standard output
bool replaces_an_input = false;  // the output file is an input: it is written beside it
platform::FilePlace target;      // the file itself that the output name leads to
std::string replacement;         // the new file beside it, once made

}  // namespace

bool open_output_file(const char* name) {
  if (!suite::standard_output().open(name, suite::StreamMode::text,
                                     suite::OutputStream::Truncation::when_output_begins)) {
    return false;
  }
  output_name = name;
  return true;
}

void protect_input_from_output(suite::platform::Handle input, const char* name) {
  if (!suite::platform::output_feeds_input(suite::standard_output().handle(), input)) return;
  if (!output_name.empty()) {
    replaces_an_input = true;
  } else if (settings.merge_only) {
    error_exit(ErrorCode::CANNOT_OPEN, name);
  }
}

suite::OutputStream& start_output() {
  suite::OutputStream& output = suite::standard_output();
  if (replaces_an_input && replacement.empty()) {
    target = platform::real_place(output_name);
    replacement = make_temporary_file(target.folder, output_name.c_str());
    // The output file is closed untouched; the lines go to the new file.
    if (!output.open(replacement, suite::StreamMode::text)) error_exit(ErrorCode::CANNOT_OPEN, output_name.c_str());
  }
  output.begin_output();
  return output;
}

void finish_output() {
  if (output_name.empty()) return;
  bool whole = suite::standard_output().close();
  if (!whole || (!replacement.empty() && !platform::replace_file(replacement, target.path))) {
    error_exit(ErrorCode::CANNOT_OPEN, output_name.c_str());
  }
  replacement.clear();
}

void discard_unfinished_output() {
  if (!replacement.empty()) suite::platform::delete_file(replacement);
}

}  // namespace ordly
