#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

#include "cut/cut.h"

namespace cut {

namespace {

// The line buffer of the three line-based modes, which reads lines of up
// to MAX_POSITION - 1 bytes; its padding lets its lines be written by
// padded copies, as those in the input's buffer are.
char line_buffer[MAX_POSITION + suite::COPY_PADDING];

// A run of selected positions: offsets first to end (not included).
struct Run {
  std::size_t first;
  std::size_t end;
};

std::vector<Run> selected_runs(const PositionSet& selected) {
  std::vector<Run> runs;
  const bool* flags = selected.flags();
  const std::size_t highest = static_cast<std::size_t>(selected.highest());
  for (std::size_t i = 0; i < highest; ++i) {
    if (!flags[i]) continue;
    std::size_t first = i;
    while (i < highest && flags[i]) ++i;
    runs.push_back({first, i});
  }
  return runs;
}

// Reads the next line (at most MAX_POSITION - 1 bytes) where it lies in the
// input's buffer, or into the line buffer when it is not all there, and
// gives its text up to the first NUL; false at the end of the input.
bool read_line(suite::InputStream& input, std::string_view& line) {
  std::string_view read = input.read_line_in_place(line_buffer, MAX_POSITION);
  if (read.empty()) return false;
  line = input.text_of(read);
  return true;
}

// A line that begins with a NUL byte holds no text.
bool has_no_text(std::string_view line) { return line.empty(); }

std::string_view without_newline(std::string_view line) {
  if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
  return line;
}

// Writes the selected fields of one line, one delimiter between each two
// of them, and the line end; neighbouring selected fields go out as one
// run of the line. next_delimiter(from) gives the first delimiter from
// `from` on, or the line's end.
template <typename NextDelimiter>
void write_selected_fields(const char* line, const char* end, char delimiter, const PositionSet& selected,
                           NextDelimiter next_delimiter, suite::OutputStream& output) {
  const char* field = line;
  const char* run_start = nullptr;
  const char* run_end = nullptr;
  const bool* flags = selected.flags();
  for (std::int32_t number = 1; number <= selected.highest(); ++number) {
    const char* field_end = next_delimiter(field);
    if (flags[number - 1]) {
      if (run_start != nullptr && run_end + 1 == field) {
        run_end = field_end;
      } else {
        if (run_start != nullptr) {
          output.write_padded_within_line(run_start, static_cast<std::size_t>(run_end - run_start));
          output.put(delimiter);
        }
        run_start = field;
        run_end = field_end;
      }
    }
    if (field_end == end) break;
    field = field_end + 1;
  }
  if (run_start != nullptr) {
    output.write_padded_line(run_start, static_cast<std::size_t>(run_end - run_start));
  } else {
    output.put('\n');
  }
}

// The whole lines in a piece of the input's buffer, with one bit for each of
// their bytes that is a line feed and one for each that is the delimiter,
// gathered 64 bytes at a step before the lines are cut: a line's fields are
// then found in the bits, with no search of their own.
class MappedLines {
 public:
  // A piece small enough for its map to stay in the nearest cache.
  static constexpr std::size_t MAX_SIZE = 16384;

  // Maps data[0..size), size at most MAX_SIZE.
  void map(const char* data, std::size_t size, char delimiter) {
    std::size_t word = 0;
    for (; (word + 1) * 64 <= size; ++word) {
      line_feeds_[word] = suite::byte_bits(data + word * 64, '\n');
      delimiters_[word] = suite::byte_bits(data + word * 64, delimiter);
    }
    if (word * 64 < size) {
      line_feeds_[word] = delimiters_[word] = 0;
      for (std::size_t i = word * 64; i < size; ++i) {
        line_feeds_[word] |= std::uint64_t{data[i] == '\n'} << (i % 64);
        delimiters_[word] |= std::uint64_t{data[i] == delimiter} << (i % 64);
      }
      ++word;
    }
    words_ = word;
  }
  // Hands the offsets of each line's first byte and of its line feed to
  // `take`, in order; gives the offset after the last line feed.
  template <typename Take>
  std::size_t for_each_line(Take take) const {
    std::size_t start = 0;
    for (std::size_t word = 0; word < words_; ++word) {
      for (std::uint64_t bits = line_feeds_[word]; bits != 0; bits &= bits - 1) {
        std::size_t line_feed = word * 64 + static_cast<std::size_t>(std::countr_zero(bits));
        take(start, line_feed);
        start = line_feed + 1;
      }
    }
    return start;
  }
  // The offset of the first delimiter from `from` on before `end`, else
  // end; a field shorter than 64 bytes is found with no step from word to
  // word.
  std::size_t next_delimiter(std::size_t from, std::size_t end) const {
    std::uint64_t window = delimiters_from(from);
    if (window != 0) return std::min(from + static_cast<std::size_t>(std::countr_zero(window)), end);
    from += 64;
    if (from >= end) return end;
    std::size_t word = from / 64;
    std::uint64_t bits = delimiters_[word] & (~std::uint64_t{0} << (from % 64));
    while (bits == 0) {
      if (++word * 64 >= end) return end;
      bits = delimiters_[word];
    }
    return std::min(word * 64 + static_cast<std::size_t>(std::countr_zero(bits)), end);
  }
  // The delimiter bits of the 64 bytes from `from` on, from two words
  // whatever their split.
  std::uint64_t delimiters_from(std::size_t from) const {
    std::size_t word = from / 64;
    unsigned shift = static_cast<unsigned>(from % 64);
    return (delimiters_[word] >> shift) | ((delimiters_[word + 1] << 1) << (63 - shift));
  }

 private:
  // A word more than a piece needs: the bits past the piece (left from an
  // earlier map, or zero), which a window may read, lie past the end of
  // every line in it.
  static constexpr std::size_t WORDS = (MAX_SIZE + 63) / 64 + 1;
  std::uint64_t line_feeds_[WORDS];
  std::uint64_t delimiters_[WORDS];
  std::size_t words_ = 0;
};

// Every whole line in a map is a line that read_line takes whole.
static_assert(MappedLines::MAX_SIZE < MAX_POSITION);
MappedLines mapped_lines;

// Cuts the whole lines waiting in the input's buffer through maps of a
// piece of it at a time, while no NUL has come into it (a line is then all
// text); stops at a line that no piece holds whole.
void cut_mapped_fields(suite::InputStream& input, suite::OutputStream& output, const PositionSet& selected,
                       char delimiter) {
  if (input.nul_seen()) return;
  for (std::size_t taken = 1; taken > 0; input.consume(taken)) {
    const char* data = input.buffered_data();
    mapped_lines.map(data, std::min(input.buffered_size(), MappedLines::MAX_SIZE), delimiter);
    taken = mapped_lines.for_each_line([&](std::size_t start, std::size_t line_feed) {
      // The delimiters of the line's first 64 bytes are taken from one
      // window, each cleared once found, so that finding one does not wait
      // on the one before; past them the map is searched.
      std::uint64_t window = mapped_lines.delimiters_from(start);
      if (window == 0 && line_feed <= start + 64) {
        // No delimiter: the line is its only field.
        if (selected.flags()[0]) {
          output.write_padded_line(data + start, line_feed - start);
        } else {
          output.put('\n');
        }
        return;
      }
      auto next_delimiter = [&](const char* from) {
        if (window == 0) {
          std::size_t past_window = std::max(static_cast<std::size_t>(from - data), start + 64);
          if (past_window >= line_feed) return data + line_feed;
          return data + mapped_lines.next_delimiter(past_window, line_feed);
        }
        std::size_t found = start + static_cast<std::size_t>(std::countr_zero(window));
        window &= window - 1;
        return data + std::min(found, line_feed);
      };
      write_selected_fields(data + start, data + line_feed, delimiter, selected, next_delimiter, output);
    });
  }
}

}  // namespace

// Positions count across the whole input, newlines included. The input is
// read to its end even after the last selected position.
void cut_bytes(suite::InputStream& input, suite::OutputStream& output, const PositionSet& selected) {
  const std::vector<Run> runs = selected_runs(selected);
  std::size_t next_run = 0;
  std::uint64_t before = 0;  // bytes taken before the buffered ones
  while (input.buffered_size() > 0 || input.refill()) {
    std::size_t size = input.buffered_size();
    const std::uint64_t after = before + size;
    for (; next_run < runs.size() && runs[next_run].first < after; ++next_run) {
      const Run& run = runs[next_run];
      std::uint64_t first = std::max<std::uint64_t>(run.first, before);
      std::uint64_t end = std::min<std::uint64_t>(run.end, after);
      output.write(input.buffered_data() + (first - before), static_cast<std::size_t>(end - first));
      if (run.end > after) break;  // the run goes on in the next block
    }
    before = after;
    input.consume(size);
  }
}

// Lines that begin with a NUL byte are passed over in the line modes.
void cut_columns(suite::InputStream& input, suite::OutputStream& output, const PositionSet& selected) {
  const std::vector<Run> runs = selected_runs(selected);
  auto write_columns = [&](std::string_view line) {
    for (const Run& run : runs) {
      if (run.first >= line.size()) break;
      output.write_padded_within_line(line.data() + run.first, std::min(run.end, line.size()) - run.first);
    }
    output.put('\n');
  };
  std::string_view line;
  while (true) {
    input.take_buffered_lines(MAX_POSITION, [&](std::string_view whole) { write_columns(without_newline(whole)); });
    if (!read_line(input, line)) break;
    if (has_no_text(line)) continue;
    write_columns(without_newline(line));
  }
}

void cut_fields(suite::InputStream& input, suite::OutputStream& output, const PositionSet& selected,
                char delimiter) {
  std::string_view line;
  while (true) {
    cut_mapped_fields(input, output, selected, delimiter);
    if (!read_line(input, line)) break;
    if (has_no_text(line)) continue;
    line = without_newline(line);
    const char* end = line.data() + line.size();
    auto next_delimiter = [&](const char* from) { return suite::find_byte(from, end, delimiter, line.data()); };
    write_selected_fields(line.data(), end, delimiter, selected, next_delimiter, output);
  }
}

// Rows are numbered as read, those beginning with NUL included.
void cut_rows(suite::InputStream& input, suite::OutputStream& output, const PositionSet& selected) {
  std::uint64_t row = 0;
  std::string_view line;
  while (true) {
    input.take_buffered_lines(MAX_POSITION, [&](std::string_view whole) {
      if (selected.contains(++row)) output.write_padded_line(whole.data(), whole.size() - 1);
    });
    if (!read_line(input, line)) break;
    ++row;
    if (!selected.contains(row) || has_no_text(line)) continue;
    line = without_newline(line);
    output.write_padded_line(line.data(), line.size());
  }
}

}  // namespace cut
