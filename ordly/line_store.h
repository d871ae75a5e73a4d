// The line store that inputs are read into: the read buffer, the table of
// line pointers and the lines themselves, each ending in exactly one line
// feed before its NUL.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/streams.h"

namespace ordly {

// The line table starts with this many slots and grows by as many, while
// it stays below LINE_ARRAY_LIMIT slots (a table of 64 KB at four bytes a
// slot), so it holds at most MAX_STORED_LINES lines.
constexpr std::int32_t LINE_ARRAY_STEP = 1024;
constexpr std::int32_t LINE_ARRAY_LIMIT = 16384;
constexpr std::int32_t MAX_STORED_LINES = LINE_ARRAY_LIMIT - LINE_ARRAY_STEP;

struct LineStore {
  char* read_buffer = nullptr;   // settings.max_line + 1 bytes, enough for a line of a run
  char** line_array = nullptr;   // line_capacity slots, line_count in use
  std::int32_t line_capacity = 0;
  std::int32_t line_count = 0;
  // Held while an input is read and given back just before a spill, so
  // that the spill has memory to work with.
  char* reserve_block = nullptr;
  bool input_seen = false;
};

extern LineStore store;

// Allocates the read buffer and the first line table; error 64 on failure.
void allocate_store();
// Gives the read buffer a new size; false when that fails.
bool resize_read_buffer(std::uint32_t size);

// Reads the next line of the input into buffer (settings.max_line bytes)
// in the stored-line form: at most max_line - 2 bytes, cut at a NUL byte,
// always ending in a line feed. Returns its length without the NUL, or 0
// at the end of the input.
std::size_t read_stored_line(suite::InputStream& input, char* buffer);
// Reads one input into the store: the named file, or standard input when
// the name is null.
void read_input(const char* name);
// Sorts the store and writes it to the named file, or to standard output
// when the name is null or empty; the store is empty afterwards.
void write_sorted(const char* name);

// A stored line is its length in four bytes, then its text, the NUL and
// LINE_PADDING - 1 more zero bytes; its pointer is that of the text. Makes
// one of length bytes of text and, when asked, a line feed after them;
// returns null when the memory is not there.
char* new_stored_line(const char* text, std::size_t length, bool add_line_feed = false);
std::size_t stored_length(const char* line);
// Frees every stored line at once.
void free_stored_lines();

// The stream for named input files keeps its buffer from the first file
// on, which comes before any line is stored, until every input has been
// read: then this closes it and gives its buffer back. Also for the error
// routine.
void release_input_file();
// The stream for run files and merge outputs. Its buffer is allocated with
// the store and kept.
suite::OutputStream& run_output();

}  // namespace ordly
