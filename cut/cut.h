// Cut: copies selected bytes, columns, fields or rows of its input.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/streams.h"

namespace cut {

// The largest position number, and the size of the line buffer.
constexpr std::int32_t MAX_POSITION = 2097152;

enum class CutMode { CUT_BYTES, CUT_COLUMNS, CUT_FIELDS, CUT_ROWS };

// One flag for each position 1 to MAX_POSITION.
class PositionSet {
 public:
  // Selects positions first to last (1-based, both within 1..MAX_POSITION).
  void select(std::int32_t first, std::int32_t last);
  bool contains(std::uint64_t position) const {
    return position >= 1 && position <= static_cast<std::uint64_t>(highest_) && flags_[position - 1];
  }
  // The highest selected position, 0 when none is.
  std::int32_t highest() const { return highest_; }
  // Flag of position p at index p - 1.
  const bool* flags() const { return flags_.data(); }

 private:
  std::array<bool, MAX_POSITION> flags_{};
  std::int32_t highest_ = 0;
};

// Reads a list "n1[-n2][,n3[-n4]...]" into the set; false when the list is
// empty, a number is missing, out of 1..MAX_POSITION or a range runs
// backwards, or anything but a ',' follows a range.
bool parse_ranges(const char* text, PositionSet& positions);

// Error codes, which are also the exit statuses.
enum ErrorCode {
  USAGE_ONLY = 0,
  UNKNOWN_OPTION = 2,
  BAD_SYNTAX = 4,
  CANNOT_OPEN = 8,
  BAD_NUMBER = 16,
};

// Filled from the command line before the input is read.
struct Settings {
  std::optional<CutMode> mode;
  char field_delimiter = '\t';
};

extern Settings settings;
extern PositionSet positions;

// Takes the arguments from left to right; ends the program on an error.
void take_arguments(const std::vector<std::string>& arguments);
[[noreturn]] void usage_exit(ErrorCode code);

// The four modes, each one pass from input to output.
void cut_bytes(suite::InputStream& input, suite::OutputStream& output, const PositionSet& selected);
void cut_columns(suite::InputStream& input, suite::OutputStream& output, const PositionSet& selected);
void cut_fields(suite::InputStream& input, suite::OutputStream& output, const PositionSet& selected,
                char delimiter);
void cut_rows(suite::InputStream& input, suite::OutputStream& output, const PositionSet& selected);

}  // namespace cut
