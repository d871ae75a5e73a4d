#include "difra/report.h"

#include <cstring>

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

// Builds one record: a number field of "%4d " (blanks when no number is
// given; a number of five or more digits widens it), the text, and blanks.
class RecordBuilder {
 public:
  void number_field(int number) {
    if (number < 0) {
      blanks(5);
      return;
    }
    char digits[12];
    std::size_t count = 0;
    do {
      digits[count++] = static_cast<char>('0' + number % 10);
      number /= 10;
    } while (number > 0);
    if (count < 4) blanks(4 - count);
    while (count > 0) record_[length_++] = digits[--count];
    record_[length_++] = ' ';
  }
  void text(std::string_view text) {
    if (text.empty()) return;
    std::memcpy(record_ + length_, text.data(), text.size());
    length_ += text.size();
  }
  void blanks(std::size_t count) {
    std::memset(record_ + length_, ' ', count);
    length_ += count;
  }
  // A record holds no line feed (a line's only one is its last byte, which
  // is not shown), so it goes out with its line end and no scan.
  void write_line() { suite::standard_output().write_line(record_, length_); }

 private:
  char record_[128];
  std::size_t length_ = 0;
};

// Writes one record of a line's pieces; `number` is -1 on continuation
// records and for a side that is not shown. `closing_width` is the number
// of characters after column 45.
void write_record(int number1, std::string_view piece1, int number2, std::string_view piece2,
                  bool second_side_shown, std::size_t closing_width) {
  RecordBuilder record;
  record.number_field(number1);
  record.text(piece1);
  record.blanks(TEXT_WIDTH - piece1.size() + 1);
  record.number_field(number2);
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
