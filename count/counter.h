// Count's statistics: running totals over all the files of a run, and the
// report that prints them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace count {

// Totals shared by all files of a run. They are 64 bits wide, so inputs of
// 4 GiB and more are counted correctly.
struct Totals {
  std::uint64_t bytes = 0;
  std::uint64_t characters = 0;  // bytes above the space, 0x21 to 0xFF
  std::uint64_t letters = 0;     // 'A'-'Z', 'a'-'z'
  std::uint64_t vowels = 0;      // letters among "AEIOUaeiou"
  std::uint64_t words = 0;       // runs of characters
  std::uint64_t lines = 0;       // line feeds, and an unterminated last line
  std::uint64_t sentences = 0;   // '.', '!' and '?' bytes
};

// How many bytes the counting loop takes in one step: thirty-two where the
// processor has the vector instructions for it, sixteen everywhere.
enum class LaneWidth { sixteen, thirty_two };
LaneWidth widest_lanes();

class Counter {
 public:
  explicit Counter(LaneWidth width = widest_lanes()) : width_(width) {}
  void begin_file();
  // Counts the next block of the current file's bytes.
  void add_block(const unsigned char* data, std::size_t size);
  // Counts an unterminated last line of the current file.
  void end_file();
  const Totals& totals() const { return totals_; }

 private:
  // Counts bytes one at a time through the class table, word state included.
  void count_one_by_one(const unsigned char* data, std::size_t size);
  // Counts the bytes of [data, data + size) a step of lanes at a time, as
  // many as whole steps hold, and returns how many. The word state is not
  // read.
  std::size_t count_in_lanes(const unsigned char* data, std::size_t size);

  LaneWidth width_;
  Totals totals_;
  // Whether the last byte looked at was a character. Not reset between
  // files: a word that runs to the end of one file goes on in the next.
  bool in_word_ = false;
  bool file_has_bytes_ = false;
  unsigned char last_byte_ = 0;
};

// The report: totals and averages (a divisor of 0 taken as 1), each number
// right-aligned in at least 12 columns, with no newline at the end.
std::string format_report(const Totals& totals);

}  // namespace count
