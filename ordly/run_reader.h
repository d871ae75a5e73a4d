// Reading a temporary run back in place: the run's lines are found in a
// buffer of the reader's own and used where they lie, each ended in turn by
// a NUL, instead of being copied out one by one. A run is read in binary
// mode, as Ordly wrote it: its lines come from text-mode input, so they
// hold no CR and no Ctrl-Z, and each ends in the CR LF that writing in text
// mode made of its line feed, which the reader takes as the line feed. So
// the lines are those a text-mode reading gives, without its passes over
// the bytes. (A line feed without a CR counts as a line feed as well.)
#pragma once

#include <cstddef>

#include "common/byte_search.h"
#include "common/streams.h"

namespace ordly {

class RunReader {
 public:
  RunReader() = default;
  ~RunReader() { release(); }
  RunReader(const RunReader&) = delete;
  RunReader& operator=(const RunReader&) = delete;

  // Makes the reader ready for lines of at most max_line - 1 bytes; false
  // when its buffer cannot be had.
  bool start(std::size_t max_line);
  void release();

  // The next line of the run, as it was stored: at most max_line - 1 bytes
  // that end in a line feed (one is added when the run's line has none),
  // counted without the CR of its CR LF, then a NUL, then LINE_PADDING - 1
  // bytes that may be read. Its length without the NUL goes to length. The
  // line stays until the next call; null at the end of the run.
  char* next_line(suite::InputStream& input, std::size_t& length);

 private:
  void restore_covered_bytes();
  // Moves the bytes not yet taken to the front and reads more behind them.
  void read_more(suite::InputStream& input);

  char* buffer_ = nullptr;
  std::size_t longest_ = 0;   // the longest line, max_line - 1
  std::size_t capacity_ = 0;  // bytes of the run the buffer holds at most
  std::size_t start_ = 0;     // the first byte not yet taken
  std::size_t end_ = 0;       // the end of the bytes read
  bool run_done_ = false;
  // The two bytes after the current line, which its ending covers.
  char covered_[2] = {};
  bool covering_ = false;
  // Searches with the run's bytes as read: a line's covered bytes are put
  // back before the next search.
  suite::LineFeedSearch line_feeds_;
};

}  // namespace ordly
