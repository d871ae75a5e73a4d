#include "tabconv/conversions.h"

#include <array>
#include <bit>
#include <cstddef>
#include <string_view>

#include "common/byte_search.h"

namespace tabconv {

namespace {

// Column counters are 64-bit so that no line is long enough to wrap them
// back to the start of the line.
using Column = std::uint64_t;

// Brings the next bytes of the input into view; empty at its end.
std::string_view next_block(suite::InputStream& input) {
  if (input.buffered_size() == 0 && !input.refill()) return {};
  return {input.buffered_data(), input.buffered_size()};
}

// The output of a conversion, made straight in the stream's buffer. Every
// step leaves at least MARGIN free bytes ahead, so a step may store a whole
// word of eight bytes, sixteen or sixty-four bytes of the input or a row of
// spaces, of which it keeps fewer.
class DirectOutput {
 public:
  static constexpr std::size_t MARGIN = 64;

  explicit DirectOutput(suite::OutputStream& stream)
      : stream_(stream), line_end_bytes_(line_end_bytes(stream)), line_end_size_(stream.line_end().size()) {
    take_room();
  }
  ~DirectOutput() { stream_.commit(next_); }
  DirectOutput(const DirectOutput&) = delete;
  DirectOutput& operator=(const DirectOutput&) = delete;

  void keep_margin() {
    if (static_cast<std::size_t>(end_ - next_) < MARGIN) renew();
  }
  // The first `count` (at most SIZE) of the SIZE bytes from `from` on,
  // stored in one copy of SIZE bytes.
  template <std::size_t SIZE>
  void put_first_of(const char* from, std::size_t count) {
    store_first_of<SIZE>(from, count);
    keep_margin();
  }
  // The first `count` (at most eight) bytes of the word.
  void put_word(std::uint64_t word, std::size_t count) {
    std::memcpy(next_, &word, sizeof word);
    next_ += count;
    keep_margin();
  }
  void put(char c) {
    *next_++ = c;
    keep_margin();
  }
  // For a step that makes up to `size` bytes: room for them and the margin
  // past them, so that its stores (the store_ forms of the puts) take no
  // test of their own. keep_margin() after the last of them.
  void reserve(std::size_t size) {
    if (static_cast<std::size_t>(end_ - next_) < size + MARGIN) renew(size + MARGIN);
  }
  template <std::size_t SIZE>
  void store_first_of(const char* from, std::size_t count) {
    static_assert(SIZE <= MARGIN);
    std::memcpy(next_, from, SIZE);
    next_ += count;
  }
  // Both bytes of a line end are stored, of which a line feed alone keeps
  // one.
  void store_line_end() {
    std::memcpy(next_, line_end_bytes_.data(), line_end_bytes_.size());
    next_ += line_end_size_;
  }
  // Up to sixteen spaces.
  void store_spaces(std::size_t count) {
    std::memcpy(next_, suite::SPACES.data(), 16);
    next_ += count;
  }
  void end_line() {
    store_line_end();
    keep_margin();
  }
  void put_spaces(Column count) {
    static_assert(MARGIN <= suite::SPACES.size());
    if (count <= MARGIN) {
      if (count <= 16) {
        std::memcpy(next_, suite::SPACES.data(), 16);
      } else {
        std::memcpy(next_, suite::SPACES.data(), MARGIN);
      }
      next_ += count;
      keep_margin();
      return;
    }
    while (count > 0) {
      std::size_t now = static_cast<std::size_t>(end_ - next_);
      if (count < now) now = static_cast<std::size_t>(count);
      std::memset(next_, ' ', now);
      next_ += now;
      count -= now;
      keep_margin();
    }
  }

 private:
  void renew(std::size_t size = MARGIN) {
    stream_.commit(next_);
    take_room(size);
  }
  void take_room(std::size_t size = MARGIN) {
    suite::OutputStream::Room room = stream_.room(size);
    next_ = room.begin;
    end_ = room.end;
  }

  suite::OutputStream& stream_;
  // The line end's bytes, and how many of them it has.
  static std::array<char, 2> line_end_bytes(const suite::OutputStream& stream) {
    std::array<char, 2> bytes{};
    stream.line_end().copy(bytes.data(), bytes.size());
    return bytes;
  }
  const std::array<char, 2> line_end_bytes_;
  const std::size_t line_end_size_;
  char* next_ = nullptr;
  char* end_ = nullptr;
};

// Copies the bytes from `from` up to the first one that is a or b, or up to
// `end`, sixteen at a time, then eight, then one; returns where it stopped.
// Each copied byte counts one column.
const char* copy_up_to_either(const char* from, const char* end, char a, char b, DirectOutput& output,
                              Column& column) {
  while (end - from >= static_cast<std::ptrdiff_t>(suite::LANE_COUNT)) {
    unsigned marked = suite::sixteen_byte_bits(from, a) | suite::sixteen_byte_bits(from, b);
    std::size_t plain = marked == 0 ? suite::LANE_COUNT : static_cast<std::size_t>(std::countr_zero(marked));
    output.put_first_of<suite::LANE_COUNT>(from, plain);
    column += plain;
    from += plain;
    if (plain < suite::LANE_COUNT) return from;
  }
  while (end - from >= 8) {
    std::uint64_t word = suite::load_word(from);
    std::uint64_t marked = suite::bytes_equal(word, a) | suite::bytes_equal(word, b);
    std::size_t plain = marked == 0 ? 8 : static_cast<std::size_t>(suite::first_marked_byte(marked));
    output.put_word(word, plain);
    column += plain;
    from += plain;
    if (plain < 8) return from;
  }
  for (; from < end && *from != a && *from != b; ++from, ++column) output.put(*from);
  return from;
}

// Copies the bytes from `from` that Colpack writes as they are, up to the
// first line feed, space followed by another, or space that ends the block
// (whose run may go on in the next one); returns where it stopped. A lone
// space is written as a space whether or not a stop follows it, so it is
// copied with the rest. Sixteen bytes a step, then eight, then one; each
// copied byte counts one column.
const char* copy_up_to_space_run(const char* from, const char* end, DirectOutput& output, Column& column) {
  while (end - from > static_cast<std::ptrdiff_t>(suite::LANE_COUNT)) {
    unsigned space_runs = suite::sixteen_byte_bits(from, ' ') & suite::sixteen_byte_bits(from + 1, ' ');
    unsigned marked = space_runs | suite::sixteen_byte_bits(from, '\n');
    std::size_t plain = marked == 0 ? suite::LANE_COUNT : static_cast<std::size_t>(std::countr_zero(marked));
    output.put_first_of<suite::LANE_COUNT>(from, plain);
    column += plain;
    from += plain;
    if (plain < suite::LANE_COUNT) return from;
  }
  while (end - from > 8) {
    std::uint64_t word = suite::load_word(from);
    std::uint64_t space_runs = suite::bytes_equal(word, ' ') & suite::bytes_equal(suite::load_word(from + 1), ' ');
    std::uint64_t marked = space_runs | suite::bytes_equal(word, '\n');
    std::size_t plain = marked == 0 ? 8 : static_cast<std::size_t>(suite::first_marked_byte(marked));
    output.put_word(word, plain);
    column += plain;
    from += plain;
    if (plain < 8) return from;
  }
  for (; from < end && *from != '\n' && !(*from == ' ' && (from + 1 == end || from[1] == ' ')); ++from, ++column) {
    output.put(*from);
  }
  return from;
}

// Colpack's pass over its input, one block at a time. Bytes other than
// spaces and newlines, and lone spaces, are copied as they are; runs of
// spaces are only counted, as the pending run from `written_` to `column_`,
// until a stop settles them as a tab (or a single space) or another
// character has them written as spaces.
class PackPass {
 public:
  PackPass(suite::OutputStream& output, const TabStopTable& stops) : output_(output), stops_(stops) {}

  void take_block(std::string_view block) {
    const char* p = block.data();
    const char* const end = p + block.size();
    while (p < end) {
      if (column_ == written_ && end - p >= 128) {
        p = take_in_steps_of_64(p, end);
        continue;
      }
      if (*p == ' ' && (column_ != written_ || p + 1 == end || p[1] == ' ')) {
        const char* run_end = suite::find_other_than(p + 1, end, ' ');
        take_spaces(static_cast<Column>(run_end - p));
        p = run_end;
        continue;
      }
      write_pending_spaces();
      if (*p == '\n') {
        output_.end_line();
        column_ = written_ = 0;
        ++p;
        continue;
      }
      p = copy_up_to_space_run(p, end, output_, column_);
      written_ = column_;
    }
  }

  // At the end of the input the pending spaces are written as spaces.
  void finish() { write_pending_spaces(); }

 private:
  // The pass over 64 bytes at a step, while no run is pending and at least
  // 128 bytes are left (so that a copy of 64 bytes from anywhere in a step,
  // and a look at the byte after it, read only the block): the runs of two
  // or more spaces and the line feeds of a step are found at once, and the
  // bytes between them, lone spaces included, copied in one store each. A
  // run is taken whole, also where it goes on past its step; the next step
  // then starts where it ends. Returns where it stopped.
  const char* take_in_steps_of_64(const char* p, const char* end) {
    // Each byte of a step makes at most two.
    constexpr std::size_t MOST_STEP_OUTPUT = 2 * 64;
    while (column_ == written_ && end - p >= 128) {
      output_.reserve(MOST_STEP_OUTPUT);
      const std::uint64_t spaces = suite::byte_bits(p, ' ');
      // A run starts at a space that follows none and is followed by one:
      // a space before the step ended a run already taken or was a lone
      // space with no space after it.
      const std::uint64_t run_starts = spaces & suite::byte_bits(p + 1, ' ') & ~(spaces << 1);
      std::uint64_t marks = run_starts | suite::byte_bits(p, '\n');
      const char* plain = p;
      const char* const step_end = p + 64;
      while (marks != 0) {
        const auto place = static_cast<std::size_t>(std::countr_zero(marks));
        const char* mark = p + place;
        copy_plain(plain, mark);
        if (*mark == '\n') {
          output_.store_line_end();
          column_ = written_ = 0;
          plain = mark + 1;
          marks &= marks - 1;
          continue;
        }
        const char* run_end = take_run(mark, spaces >> place, step_end, end);
        if (run_end >= step_end) {
          output_.keep_margin();
          return run_end;
        }
        output_.reserve(MOST_STEP_OUTPUT);
        plain = run_end;
        marks &= ~std::uint64_t{0} << (run_end - p);
      }
      copy_plain(plain, step_end);
      p = step_end;
    }
    output_.keep_margin();
    return p;
  }

  // Copies the bytes from `from` up to `to`, at most 64, in one store, as
  // they are.
  void copy_plain(const char* from, const char* to) {
    output_.store_first_of<64>(from, static_cast<std::size_t>(to - from));
    column_ += static_cast<Column>(to - from);
    written_ = column_;
  }

  // Takes the run of spaces at `run` of a step that ends at `step_end`
  // (`spaces` holds the step's space bits from the run on): up to the first
  // other byte of the step, or on past its end. Where the run ends before
  // the block does, the spaces it leaves pending are written. Returns where
  // it ends.
  const char* take_run(const char* run, std::uint64_t spaces, const char* step_end, const char* end) {
    const char* run_end = run + std::countr_one(spaces);
    if (run_end == step_end) run_end = suite::find_other_than(step_end, end, ' ');
    take_spaces(static_cast<Column>(run_end - run));
    if (run_end != end) write_pending_spaces();
    return run_end;
  }

  // Each stop that the spaces reach ends the pending run there: a run of
  // one space stays as it is, a longer one becomes one tab. A run that
  // ends at a stop, as spaces put in by a tab expander do, needs no search
  // past it.
  void take_spaces(Column count) {
    const Column last = column_ + count;
    for (Column stop = stops_.next_stop(column_); stop <= last; stop = stops_.next_stop(stop)) {
      output_.put(stop - written_ == 1 ? ' ' : '\t');
      written_ = stop;
      if (stop == last) break;
    }
    column_ = last;
  }

  void write_pending_spaces() {
    if (column_ == written_) return;
    output_.put_spaces(column_ - written_);
    written_ = column_;
  }

  DirectOutput output_;
  const TabStopTable& stops_;
  Column column_ = 0;   // position of the next input character
  Column written_ = 0;  // position up to which output is settled
};

}  // namespace

void pack_spaces(suite::InputStream& input, suite::OutputStream& output, const TabStopTable& stops) {
  PackPass pass(output, stops);
  for (std::string_view block; !(block = next_block(input)).empty(); input.consume(block.size())) {
    pass.take_block(block);
  }
  pass.finish();
}

// Colspread's handling of a tab or line feed at `special`.
void spread_special(const char* special, DirectOutput& out, Column& column, const TabStopTable& stops) {
  if (*special == '\n') {
    out.end_line();
    column = 0;
  } else {
    Column stop = stops.next_stop(column);
    out.put_spaces(stop - column);
    column = stop;
  }
}

// Colspread's pass over 64 bytes at a step, while at least 128 are left
// (so that a copy of 64 bytes from anywhere in the step reads only the
// block): the tabs and line feeds of a step are found at once, and the
// runs between them copied in one store each, into room taken once for the
// whole step. Returns where it stopped.
const char* spread_in_steps_of_64(const char* p, const char* end, DirectOutput& out, Column& column,
                                  const TabStopTable& stops) {
  // What a step can make with no wider tab: each of its bytes a tab of up
  // to sixteen spaces. A wider one is written with its own checks.
  constexpr Column MOST_SPACES_STORED = 16;
  constexpr std::size_t MOST_STEP_OUTPUT = 64 * MOST_SPACES_STORED;
  for (; end - p >= 128; p += 64) {
    out.reserve(MOST_STEP_OUTPUT);
    std::uint64_t specials = suite::either_byte_bits(p, '\t', '\n');
    const char* plain = p;
    for (; specials != 0; specials &= specials - 1) {
      const char* special = p + std::countr_zero(specials);
      out.store_first_of<64>(plain, static_cast<std::size_t>(special - plain));
      column += static_cast<Column>(special - plain);
      if (*special == '\n') {
        out.store_line_end();
        column = 0;
      } else {
        Column stop = stops.next_stop(column);
        if (stop - column <= MOST_SPACES_STORED) {
          out.store_spaces(static_cast<std::size_t>(stop - column));
        } else {
          out.put_spaces(stop - column);
          out.reserve(MOST_STEP_OUTPUT);
        }
        column = stop;
      }
      plain = special + 1;
    }
    out.store_first_of<64>(plain, static_cast<std::size_t>(p + 64 - plain));
    column += static_cast<Column>(p + 64 - plain);
  }
  out.keep_margin();
  return p;
}

// Bytes other than tabs and newlines are copied as they are; each tab
// becomes the spaces up to the next stop.
void spread_tabs(suite::InputStream& input, suite::OutputStream& output, const TabStopTable& stops) {
  DirectOutput out(output);
  Column column = 0;
  for (std::string_view block; !(block = next_block(input)).empty(); input.consume(block.size())) {
    const char* const end = block.data() + block.size();
    const char* p = spread_in_steps_of_64(block.data(), end, out, column, stops);
    while (p < end) {
      p = copy_up_to_either(p, end, '\t', '\n', out, column);
      if (p == end) break;
      spread_special(p, out, column, stops);
      ++p;
    }
  }
}

}  // namespace tabconv
