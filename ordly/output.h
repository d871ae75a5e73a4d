// Where the sorted or merged lines go: standard output, or the file named
// with '/O'. An output file that is also an input is never written over:
// its new content goes to a new file beside it, which takes its place only
// once it is complete, so a run that cannot finish leaves the file as it was.
#pragma once

#include <cstddef>

#include "common/platform.h"
#include "common/streams.h"

namespace ordly {

// Opens standard output on the file named with '/O', creating it when it
// is missing; its old content stays until output starts. False when it
// cannot be opened.
bool open_output_file(const char* name);
// Called for every input once it is open and before it is read; name is
// null for standard input. When writing the output would land on that
// input's content, an output file named with '/O' is written beside it
// instead. A merge refuses, with error 4, an input that the caller's
// standard output writes to that way (appending to it, say): it reads as
// it writes, so it would read its own output for ever.
void protect_input_from_output(suite::platform::Handle input, const char* name);
// Standard output, ready for the lines; called where the output starts.
suite::OutputStream& start_output();
// Writes a stored line, whose only line feed, if any, is its last byte,
// with no search for others.
inline void write_stored_line(suite::OutputStream& output, const char* line, std::size_t length) {
  if (length > 0 && line[length - 1] == '\n') {
    output.write_line(line, length - 1);
  } else {
    output.write_within_line(line, length);
  }
}
// Ends the output of a run that went well: an output file is closed, and
// its new content put in its place. Error 4 with the file's name when not
// all of it could be written or put in place.
void finish_output();
// For the error routine: deletes the new content of an output file that
// has not been put in its place.
void discard_unfinished_output();

}  // namespace ordly
