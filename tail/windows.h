// The two windows that Tail keeps while it reads an input: the most recent
// lines (line mode) and the most recent bytes (byte mode). Only what may
// still be printed is held, so memory is bounded by the window, not by the
// input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <string>

#include "common/streams.h"

namespace tail {

// The most recent lines of an input, newest at the head. The limit is
// compared as an unsigned number, so a negative count holds every line.
class LastLines {
 public:
  explicit LastLines(std::int32_t limit) : limit_(static_cast<std::uint32_t>(limit)) {}

  // Takes the next bytes of the input; a line ends after each line feed.
  void add_text(const char* data, std::size_t size);
  // Ends the input: a last line without a line feed is added as it is.
  void finish();
  std::uint32_t held() const { return held_; }
  // Writes the lines from the oldest to the newest, each up to its first
  // NUL byte (a NUL inside a line ends what is written of it).
  void write_to(suite::OutputStream& out) const;

 private:
  // Takes the finished line in `current_` over. A line that is empty or
  // begins with a NUL byte is not added. When the window is full, the
  // oldest line leaves it, and its storage becomes `current_`, in which the
  // next line is built without a new allocation.
  void add_current_line();
  // Of the complete lines in [begin, end), the first that can still be in
  // the window once they have all been added: lines before it would only
  // pass through.
  const char* first_line_to_keep(const char* begin, const char* end) const;
  // Appends bytes to the line being built. Only the part up to the line's
  // first NUL byte is kept: nothing after it is ever written, so a long run
  // of binary data without line feeds does not fill memory.
  void append_to_current(const char* data, std::size_t size);
  void start_new_line();

  std::list<std::string> lines_;
  std::uint32_t held_ = 0;
  std::uint32_t limit_;
  std::string current_;  // the line being built
  bool current_ends_at_nul_ = false;  // current_ already holds its NUL
};

// The most recent bytes of an input in a ring of a fixed size.
class ByteRing {
 public:
  // The size must be above 0; the storage is taken at once.
  explicit ByteRing(std::size_t size);

  void add(const char* data, std::size_t size);
  // Writes the held bytes from the oldest to the newest.
  void write_to(suite::OutputStream& out) const;

 private:
  std::unique_ptr<char[]> bytes_;
  std::size_t size_;
  std::size_t position_ = 0;
  bool wrapped_ = false;
};

}  // namespace tail
