#include "difra/line_source.h"

#include <cstring>

namespace difra {

void LineSource::read_keys(LineTable& table, OccurrenceTable& occurrences, std::int32_t* last_line_of_bucket) {
  int count = 0;
  while (stream_.read_line(line_, LINE_BUFFER_SIZE) > 0) {
    std::int32_t key = line_key(line_hash(compared_text(display_text(line_, expanded_), work_)));
    int bucket = key_bucket(key);
    table.entries[count] = key;
    occurrences.raise(bucket);
    if (last_line_of_bucket != nullptr) last_line_of_bucket[bucket] = count;
    ++count;
    if (count == MAX_LINES) {
      suite::standard_output().print("File truncated at %d lines.\n", MAX_LINES);
      count = MAX_LINES - 1;
      break;
    }
  }
  table.count = count;
  text_available_ = stream_.rewind();
}

// Passes over one line as read_line would read it (at most
// LINE_BUFFER_SIZE - 1 characters); false at the end of the input.
bool LineSource::skip_line() {
  std::size_t passed = 0;
  while (passed < LINE_BUFFER_SIZE - 1) {
    if (stream_.buffered_size() == 0 && !stream_.refill()) break;
    std::size_t take = stream_.buffered_size();
    if (take > LINE_BUFFER_SIZE - 1 - passed) take = LINE_BUFFER_SIZE - 1 - passed;
    const void* newline = std::memchr(stream_.buffered_data(), '\n', take);
    if (newline != nullptr) {
      stream_.consume(static_cast<std::size_t>(static_cast<const char*>(newline) - stream_.buffered_data()) + 1);
      return true;
    }
    stream_.consume(take);
    passed += take;
  }
  return passed > 0;
}

std::string_view LineSource::fetch(int line) {
  line_[0] = '\0';
  if (text_available_) {
    for (; display_position_ < line; ++display_position_) skip_line();
    stream_.read_line(line_, LINE_BUFFER_SIZE);
  }
  display_position_ = line + 1;
  return display_text(line_, expanded_);
}

}  // namespace difra
