#include "ordly/run_reader.h"

#include <cstdlib>
#include <cstring>

#include "ordly/line_order.h"

namespace ordly {

namespace {

// Room behind the bytes of the run: a line feed and a NUL for a line that
// lacks its line feed, and the padding after the NUL.
constexpr std::size_t ENDING_ROOM = 2 + LINE_PADDING;

}  // namespace

bool RunReader::start(std::size_t max_line) {
  release();
  longest_ = max_line - 1;
  capacity_ = max_line;
  buffer_ = static_cast<char*>(std::malloc(suite::LineFeedSearch::whole_stretches(capacity_ + ENDING_ROOM)));
  line_feeds_.forget();
  return buffer_ != nullptr;
}

void RunReader::release() {
  std::free(buffer_);
  buffer_ = nullptr;
  start_ = end_ = 0;
  run_done_ = covering_ = false;
}

void RunReader::restore_covered_bytes() {
  if (!covering_) return;
  buffer_[start_] = covered_[0];
  buffer_[start_ + 1] = covered_[1];
  covering_ = false;
}

void RunReader::read_more(suite::InputStream& input) {
  std::size_t waiting = end_ - start_;
  std::memmove(buffer_, buffer_ + start_, waiting);
  line_feeds_.forget();
  start_ = 0;
  end_ = waiting;
  std::size_t wanted = capacity_ - end_;
  std::size_t got = input.read(buffer_ + end_, wanted);
  end_ += got;
  // A read gives fewer bytes than asked only at the end of the input.
  if (got < wanted) run_done_ = true;
}

char* RunReader::next_line(suite::InputStream& input, std::size_t& length) {
  restore_covered_bytes();
  for (;;) {
    std::size_t waiting = end_ - start_;
    // A line of the longest size may still have its CR before its line feed.
    std::size_t scanned = waiting <= longest_ ? waiting : longest_ + 1;
    char* line = buffer_ + start_;
    std::size_t taken;
    std::size_t text;  // the bytes before the line's line feed, or all of them when it has none
    std::size_t line_feed = line_feeds_.find(buffer_, start_, start_ + scanned);
    if (line_feed != suite::LineFeedSearch::NOT_FOUND && line_feed > start_ && line[line_feed - start_ - 1] == '\r') {
      taken = line_feed - start_ + 1;
      text = taken - 2;
    } else if (line_feed != suite::LineFeedSearch::NOT_FOUND && line_feed - start_ < longest_) {
      taken = line_feed - start_ + 1;
      text = taken - 1;
    } else if (waiting > longest_ || (run_done_ && waiting > 0)) {
      taken = text = waiting < longest_ ? waiting : longest_;
    } else if (!run_done_) {
      read_more(input);
      continue;
    } else {
      return nullptr;
    }
    covered_[0] = line[taken];
    covered_[1] = line[taken + 1];
    covering_ = true;
    line[text] = '\n';
    line[text + 1] = '\0';
    length = text + 1;
    start_ += taken;
    return line;
  }
}

}  // namespace ordly
