#include "tabconv/conversions.h"

#include <cstring>
#include <string>
#include <string_view>

namespace tabconv {

namespace {

// Column counters are 64-bit so that no line is long enough to wrap them
// back to the start of the line.
using Column = std::uint64_t;

void write_spaces(suite::OutputStream& output, Column count) {
  static constexpr std::size_t BLOCK = 4096;
  static const std::string spaces(BLOCK, ' ');
  while (count > 0) {
    std::size_t now = count < BLOCK ? static_cast<std::size_t>(count) : BLOCK;
    output.write(spaces.data(), now);
    count -= now;
  }
}

// The column after a span of characters copied as they are, each counting
// one column; a newline in it starts the count again after itself.
Column column_after(std::string_view span, Column column) {
  std::size_t newline = span.rfind('\n');
  if (newline == std::string_view::npos) return column + span.size();
  return span.size() - newline - 1;
}

// Brings the next bytes of the input into view; empty at its end.
std::string_view next_block(suite::InputStream& input) {
  if (input.buffered_size() == 0 && !input.refill()) return {};
  return {input.buffered_data(), input.buffered_size()};
}

// Colpack's pass over its input. Output is the input copied unchanged
// except where a run of spaces reaching a stop becomes one tab, so each
// block is written in a few large pieces: the bytes from `copy_from` up to
// the current one are still to be written, and they are bytes to copy
// followed by the pending spaces. Pending spaces of earlier blocks are
// `carried` as a count.
class PackPass {
 public:
  PackPass(suite::OutputStream& output, const TabStopTable& stops) : output_(output), stops_(stops) {}

  void take_block(std::string_view block) {
    const char* p = block.data();
    const char* end = p + block.size();
    copy_from_ = p;
    while (p < end) {
      if (*p == ' ') {
        take_space(p++);
        continue;
      }
      const void* space = std::memchr(p, ' ', static_cast<std::size_t>(end - p));
      const char* span_end = space != nullptr ? static_cast<const char*>(space) : end;
      take_other_characters(std::string_view(p, static_cast<std::size_t>(span_end - p)));
      p = span_end;
    }
    Column pending_here = column_ - written_ - carried_;
    write_copied(end - pending_here);
    carried_ = column_ - written_;
  }

  // At the end of the input the pending spaces are written as spaces.
  void finish() { write_carried_spaces(); }

 private:
  // A space reaching a stop ends the pending run: a run of one space stays
  // as it is, a longer one becomes one tab.
  void take_space(const char* space) {
    ++column_;
    if (!stops_.is_stop(column_)) return;
    Column run = column_ - written_;
    if (run >= 2) {
      write_copied(space + 1 - (run - carried_));
      output_.put('\t');
      copy_from_ = space + 1;
      carried_ = 0;
    }
    written_ = column_;
  }

  // Characters other than spaces end the pending run, which is written as
  // spaces; a newline starts a new line.
  void take_other_characters(std::string_view span) {
    write_carried_spaces();
    column_ = written_ = column_after(span, column_);
  }

  void write_carried_spaces() {
    write_spaces(output_, carried_);
    carried_ = 0;
  }

  void write_copied(const char* up_to) {
    output_.write(copy_from_, static_cast<std::size_t>(up_to - copy_from_));
    copy_from_ = up_to;
  }

  suite::OutputStream& output_;
  const TabStopTable& stops_;
  Column column_ = 0;   // position of the next input character
  Column written_ = 0;  // position up to which output is settled
  Column carried_ = 0;  // pending spaces that lie in earlier blocks
  const char* copy_from_ = nullptr;
};

}  // namespace

void pack_spaces(suite::InputStream& input, suite::OutputStream& output, const TabStopTable& stops) {
  PackPass pass(output, stops);
  for (std::string_view block; !(block = next_block(input)).empty(); input.consume(block.size())) {
    pass.take_block(block);
  }
  pass.finish();
}

void spread_tabs(suite::InputStream& input, suite::OutputStream& output, const TabStopTable& stops) {
  Column column = 0;
  for (std::string_view block; !(block = next_block(input)).empty(); input.consume(block.size())) {
    for (std::string_view rest = block; !rest.empty();) {
      // Everything up to the next tab is written in one piece.
      std::size_t tab = rest.find('\t');
      std::string_view span = rest.substr(0, tab);
      output.write(span.data(), span.size());
      column = column_after(span, column);
      if (tab == std::string_view::npos) break;
      Column stop = column + 1;
      while (!stops.is_stop(stop)) ++stop;
      write_spaces(output, stop - column);
      column = stop;
      rest.remove_prefix(tab + 1);
    }
  }
}

}  // namespace tabconv
