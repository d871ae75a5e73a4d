#include "difra/line_source.h"

namespace difra {

void LineSource::read_keys(LineTable& table, OccurrenceTable& occurrences, std::int32_t* last_line_of_bucket) {
  int count = 0;
  // Stores the key of a line; false once the table is full.
  auto add_key = [&](std::string_view line) {
    std::int32_t key = line_key(line_hash(compared(display_text(line, expanded_))));
    int bucket = key_bucket(key);
    table.entries[count] = key;
    occurrences.raise(bucket);
    if (last_line_of_bucket != nullptr) last_line_of_bucket[bucket] = count;
    ++count;
    if (count < MAX_LINES) return true;
    suite::standard_output().print("File truncated at %d lines.\n", MAX_LINES);
    count = MAX_LINES - 1;
    truncated_ = true;
    return false;
  };
  // The lines that lie whole in the stream's buffer are taken straight
  // from it, each as it comes; the others one at a time.
  bool more = true;
  while (more) {
    stream_.take_buffered_lines(LINE_BUFFER_SIZE, [&](std::string_view line) { return more = add_key(line); });
    more = more && read_next_line() && add_key(line_);
  }
  table.count = count;
  batch_.clear();
  text_available_ = stream_.rewind();
}

std::string_view LineSource::fetch(int line) {
  line_ = {};
  if (text_available_) skip_to(line + 1);
  return display_text(line_, expanded_);
}

void LineSource::skip_to(int line) {
  for (; display_position_ < line; ++display_position_) read_next_line();
}

std::string_view LineSource::compared_line() { return compared(display_text(line_, expanded_)); }

bool LineSource::read_next_line() {
  line_ = batch_.next(stream_, LINE_BUFFER_SIZE);
  if (!line_.empty()) return true;
  std::string_view read = stream_.read_line_in_place(line_buffer_, LINE_BUFFER_SIZE);
  line_ = stream_.text_of(read);
  return !read.empty();
}

bool LineSource::rest_matches(LineSource& other) {
  if (!text_available_ || !other.text_available_) return false;
  skip_to(MAX_LINES - 1);
  other.skip_to(MAX_LINES - 1);
  for (;;) {
    bool more = read_next_line();
    bool other_more = other.read_next_line();
    if (!more || !other_more) return more == other_more;
    if (compared_line() != other.compared_line()) return false;
  }
}

}  // namespace difra
