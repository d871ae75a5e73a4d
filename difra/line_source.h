// One input file of the compare: the reading pass that turns its lines into
// keys, and the forward-only reading of the lines that the report shows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/byte_search.h"
#include "common/streams.h"
#include "difra/line_text.h"
#include "difra/tables.h"

namespace difra {

class LineSource {
 public:
  // A name on a drive that the system does not have opens nothing.
  bool open(const std::string& path) {
    return !suite::platform::names_missing_drive(path) && stream_.open(path, suite::StreamMode::text);
  }

  // Reads every line, stores its key in `table` and counts it in
  // `occurrences`; `last_line_of_bucket` (may be null) receives, per bucket,
  // the last line that fell into it. Prints the truncation notice when the
  // file has too many lines. Then goes back to the start of the file.
  void read_keys(LineTable& table, OccurrenceTable& occurrences, std::int32_t* last_line_of_bucket);

  // False when the file could not be read a second time (it is not
  // seekable); its lines then show empty.
  bool text_available() const { return text_available_; }

  // The display text of line `line`, read forward from the display
  // position (lines before it are read and dropped); never goes back. The
  // report walk asks for every line in order, so normally none is dropped.
  std::string_view fetch(int line);

  // The compared text of a display text, made in this file's work buffer
  // (valid until this file reads another line or makes another one).
  std::string_view compared(std::string_view display) { return compared_text(display, work_); }

  // Whether the file had more lines than take part in the compare.
  bool truncated() const { return truncated_; }

  // Reads both files to their ends from the first line that takes no part
  // in the compare, and tells whether those lines are equal pair by pair,
  // compared as the reading pass compares them, and equal in number. False
  // when a file cannot be read a second time.
  bool rest_matches(LineSource& other);

 private:
  // Reads and drops lines until the display position reaches `line`.
  void skip_to(int line);
  // Reads the next line, in place in the stream's buffer when the whole of
  // it is there (taken with others in a batch), else into the line
  // buffer; false (and the line empty) at the end of the file.
  bool read_next_line();
  // The compared text of the line last read.
  std::string_view compared_line();

  suite::InputStream stream_;
  bool text_available_ = true;
  bool truncated_ = false;
  int display_position_ = 0;
  std::string_view line_;  // the line last read, up to its first NUL
  suite::LineBatch batch_;
  // Each with room past its longest text for the bytes the hash reads
  // there.
  char line_buffer_[LINE_BUFFER_SIZE + suite::COPY_PADDING];
  char expanded_[EXPANDED_BUFFER_SIZE + suite::COPY_PADDING];
  char work_[EXPANDED_BUFFER_SIZE + suite::COPY_PADDING];
};

}  // namespace difra
