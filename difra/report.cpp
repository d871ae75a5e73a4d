#include "difra/report.h"

#include <cstring>

#include "common/byte_search.h"
#include "common/streams.h"
#include "difra/settings.h"

namespace difra {

void walk_report(std::span<const std::int32_t> file1, std::span<const std::int32_t> file2, ReportSink& sink) {
  const int lines1 = static_cast<int>(file1.size());
  const int lines2 = static_cast<int>(file2.size());
  int x = 0;
  int y = 0;
  while (x < lines1 && y < lines2) {
    const std::int32_t p = file1[x];
    const std::int32_t q = file2[y];
    if (p < y && q < x) {
      sink.changed_pair(x++, y++);
    } else if (p < y) {
      sink.first_file_only(x++);
    } else if (q < x) {
      sink.second_file_only(y++);
    } else if (p == y) {
      int run = 1;
      while (x + run < lines1 && y + run < lines2 && file1[x + run] == y + run) ++run;
      sink.matched_run(x, y, run);
      x += run;
      y += run;
    } else if (p - y > q - x) {
      while (x < q) sink.first_file_only(x++);
    } else {
      while (y < p) sink.second_file_only(y++);
    }
  }
  while (x < lines1) sink.first_file_only(x++);
  while (y < lines2) sink.second_file_only(y++);
}

namespace {

// The part of a display text that is shown: up to its newline.
std::string_view shown_part(std::string_view text) {
  if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
  return text;
}

// Takes the next piece of at most TEXT_WIDTH characters off the text.
std::string_view next_piece(std::string_view& rest) {
  std::string_view piece = rest.substr(0, TEXT_WIDTH);
  rest.remove_prefix(piece.size());
  return piece;
}

// The decimal digits of the line numbers one side of the report shows, in
// a word that holds them in memory order from its lowest byte with blanks
// after them: a shown number has at most seven digits, so the word always
// ends with a blank. Lines are shown mostly in order, so where the last
// digit of the last number is not a 9 (nine numbers in ten) its word is
// stepped on by one in place; any other number is written anew. The word
// goes out in one store, and stays in a register from one number to the
// next, where digits stepped on in memory would first have to be stored
// and read back.
class LineNumberDigits {
 public:
  static_assert(MAX_LINES < 10'000'000, "a line number and a blank fit in a word");

  // The digits of the number, followed by blanks up to the eighth byte.
  std::uint64_t of(int number) {
    if (number == last_ + 1 && last_ >= 0 && last_digit() != '9') {
      word_ += std::uint64_t{1} << (8 * (count_ - 1));
    } else {
      write_anew(number);
    }
    last_ = number;
    return word_;
  }
  std::size_t count() const { return count_; }

 private:
  unsigned last_digit() const { return static_cast<unsigned>(word_ >> (8 * (count_ - 1))) & 0xFF; }
  void write_anew(int number) {
    char reversed[sizeof word_];
    std::size_t count = 0;
    auto value = static_cast<unsigned>(number);
    do {
      reversed[count++] = static_cast<char>('0' + value % 10);
      value /= 10;
    } while (value > 0);
    char text[sizeof word_];
    std::memset(text, ' ', sizeof text);
    for (std::size_t i = 0; i < count; ++i) text[i] = reversed[count - 1 - i];
    word_ = suite::load_word_in_memory_order(text);
    count_ = count;
  }

  std::uint64_t word_ = 0;
  std::size_t count_ = 1;
  int last_ = -1;
};

LineNumberDigits first_file_numbers;
LineNumberDigits second_file_numbers;

// Builds one record straight in standard output's buffer: a number field of
// "%4d " (blanks when no number is given; a number of five or more digits
// widens it), the text, and blanks. The texts are copied with the bytes
// that follow them (they lie in buffers with room past them for that), and
// blanks are stored over what follows the first text; blanks then cost
// nothing but a step of the length.
class RecordBuilder {
 public:
  RecordBuilder() : room_(suite::standard_output().room(ROOM)) { std::memcpy(room_.begin, suite::SPACES.data(), 8); }
  void number_field(int number, LineNumberDigits& digits) {
    if (number < 0) {
      blanks(5);
      return;
    }
    std::uint64_t shown = digits.of(number);
    std::size_t count = digits.count();
    if (count < 4) blanks(4 - count);
    suite::store_word_in_memory_order(room_.begin + length_, shown);
    length_ += count + 1;  // the digits and a blank
  }
  void text(std::string_view text) {
    if (!text.empty()) suite::copy_padded(room_.begin + length_, text.data(), text.size());
    length_ += text.size();
  }
  // After the first text: the blanks up to the second number field, that
  // field's own blanks and, where the second side is not shown, the blanks
  // that close the record, as wide as the first text: TEXT_WIDTH + 1 + 5
  // at most in all, whatever the first text's length.
  void blanks_after_first_text(std::size_t count) {
    std::memcpy(room_.begin + length_, suite::SPACES.data(), BLANK_STORE);
    length_ += count;
  }
  void blanks(std::size_t count) { length_ += count; }
  // A record holds no line feed (a line's only one is its last byte, which
  // is not shown), so it ends with the line end as it is.
  void write_line() {
    suite::OutputStream& output = suite::standard_output();
    std::string_view line_end = output.line_end();
    std::memcpy(room_.begin + length_, line_end.data(), line_end.size());
    output.commit(room_.begin + length_ + line_end.size());
  }

 private:
  // The blanks stored after the first text, three stores of sixteen.
  static constexpr std::size_t BLANK_STORE = 48;
  static_assert(BLANK_STORE >= TEXT_WIDTH + 1 + 5 && BLANK_STORE <= suite::SPACES.size());
  // Two number fields of up to eight characters (each written as a word),
  // two texts of TEXT_WIDTH and the blanks between them, and a line end;
  // and the bytes that a copy of a text or of the blanks stores past them.
  static constexpr std::size_t ROOM = 128;
  static_assert(8 + TEXT_WIDTH + 1 + 8 + suite::COPY_PADDING <= ROOM);
  suite::OutputStream::Room room_;
  std::size_t length_ = 0;
};

// Writes one record of a line's pieces; `number` is -1 on continuation
// records and for a side that is not shown. `closing_width` is the number
// of characters after column 45.
void write_record(int number1, std::string_view piece1, int number2, std::string_view piece2,
                  bool second_side_shown, std::size_t closing_width) {
  RecordBuilder record;
  record.number_field(number1, first_file_numbers);
  record.text(piece1);
  record.blanks_after_first_text(TEXT_WIDTH - piece1.size() + 1);
  record.number_field(number2, second_file_numbers);
  if (second_side_shown) {
    record.text(piece2);
  } else {
    record.blanks(closing_width);
  }
  record.write_line();
}

}  // namespace

void ReportPrinter::print_record(int line1, std::string_view text1, int line2, std::string_view text2) {
  std::string_view rest1 = shown_part(text1);
  std::string_view rest2 = shown_part(text2);
  std::string_view piece1 = line1 >= 0 ? next_piece(rest1) : std::string_view();
  std::string_view piece2 = line2 >= 0 ? next_piece(rest2) : std::string_view();
  bool cut1 = piece1.size() == TEXT_WIDTH;
  bool cut2 = piece2.size() == TEXT_WIDTH;
  write_record(line1 >= 0 ? line1 + 1 : -1, piece1, line2 >= 0 ? line2 + 1 : -1, piece2, line2 >= 0,
               line2 >= 0 ? piece2.size() : piece1.size());
  while (settings.full_lines && (cut1 || cut2)) {
    piece1 = cut1 ? next_piece(rest1) : std::string_view();
    piece2 = cut2 ? next_piece(rest2) : std::string_view();
    write_record(-1, piece1, -1, piece2, cut2, cut2 ? piece2.size() : piece1.size());
    cut1 = cut1 && piece1.size() == TEXT_WIDTH;
    cut2 = cut2 && piece2.size() == TEXT_WIDTH;
  }
  differences_found_ = 1;
}

void ReportPrinter::print_notice(int count) {
  suite::standard_output().print("\n*** %d line(s) match. ***\n\n", count);
}

void ReportPrinter::changed_pair(int line1, int line2) {
  std::string_view text1 = source1_.fetch(line1);
  std::string_view text2 = source2_.fetch(line2);
  print_record(line1, text1, line2, text2);
}

void ReportPrinter::first_file_only(int line1) { print_record(line1, source1_.fetch(line1), -1, {}); }

void ReportPrinter::second_file_only(int line2) { print_record(-1, {}, line2, source2_.fetch(line2)); }

void ReportPrinter::matched_run(int line1, int line2, int count) {
  if (!source1_.text_available() || !source2_.text_available()) {
    print_notice(count);
    return;
  }
  int matching = 0;
  for (int i = 0; i < count; ++i) {
    std::string_view text1 = source1_.fetch(line1 + i);
    std::string_view text2 = source2_.fetch(line2 + i);
    if (source1_.compared(text1) == source2_.compared(text2)) {
      ++matching;
      continue;
    }
    if (matching > 0) print_notice(matching);
    matching = 0;
    print_record(line1 + i, text1, line2 + i, text2);
  }
  if (matching > 0) print_notice(matching);
}

}  // namespace difra
