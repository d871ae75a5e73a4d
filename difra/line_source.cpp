#include "difra/line_source.h"

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

std::string_view LineSource::fetch(int line) {
  line_[0] = '\0';
  if (text_available_) {
    for (; display_position_ <= line; ++display_position_) stream_.read_line(line_, LINE_BUFFER_SIZE);
  }
  return display_text(line_, expanded_);
}

}  // namespace difra
