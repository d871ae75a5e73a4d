#include "count/counter.h"

#include <algorithm>
#include <array>
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "common/byte_search.h"

namespace count {

namespace {

using suite::Lanes;

// Each byte's classes, packed into one word of five 12-bit fields so that
// one addition per byte counts them all. A field holds at most 4095 before
// it must be moved to the totals.
constexpr int FIELD_BITS = 12;
constexpr std::size_t MAX_RUN = (1u << FIELD_BITS) - 1;
constexpr std::uint64_t FIELD_MASK = (std::uint64_t{1} << FIELD_BITS) - 1;
constexpr int CHARACTER_SHIFT = 0;
constexpr int LETTER_SHIFT = FIELD_BITS;
constexpr int VOWEL_SHIFT = 2 * FIELD_BITS;
constexpr int SENTENCE_SHIFT = 3 * FIELD_BITS;
constexpr int LINE_SHIFT = 4 * FIELD_BITS;

constexpr bool is_letter(unsigned byte) { return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z'); }

constexpr bool is_vowel(unsigned byte) {
  for (const char* vowel = "AEIOUaeiou"; *vowel != '\0'; ++vowel) {
    if (byte == static_cast<unsigned char>(*vowel)) return true;
  }
  return false;
}

constexpr bool is_sentence_end(unsigned byte) { return byte == '.' || byte == '!' || byte == '?'; }

constexpr std::array<std::uint64_t, 256> make_class_table() {
  std::array<std::uint64_t, 256> table{};
  for (unsigned byte = 0; byte < 256; ++byte) {
    std::uint64_t classes = 0;
    if (byte > ' ') classes |= std::uint64_t{1} << CHARACTER_SHIFT;
    if (is_letter(byte)) classes |= std::uint64_t{1} << LETTER_SHIFT;
    if (is_vowel(byte)) classes |= std::uint64_t{1} << VOWEL_SHIFT;
    if (is_sentence_end(byte)) classes |= std::uint64_t{1} << SENTENCE_SHIFT;
    if (byte == '\n') classes |= std::uint64_t{1} << LINE_SHIFT;
    table[byte] = classes;
  }
  return table;
}

constexpr std::array<std::uint64_t, 256> CLASS_TABLE = make_class_table();

std::uint64_t field(std::uint64_t packed, int shift) { return (packed >> shift) & FIELD_MASK; }

// The counts taken a step of lanes at a time keep one count per lane:
// subtracting a comparison's result adds one to each lane where it holds.
// A lane counts at most once a step, so it holds the count of 255 steps.
constexpr std::size_t MAX_STEPS = 255;

// Thirty-two lanes, for processors with the instructions for them.
using WideLanes = unsigned char __attribute__((vector_size(32)));

// The loop over lanes of either width. It is inlined into the function of
// each width, so that each is compiled for the instructions of its own;
// vectors are passed by reference, never by value, so that no call between
// the two kinds of code would pass them differently.
template <typename Vector>
[[gnu::always_inline]] inline std::uint64_t vector_sum(const Vector& lanes) {
  unsigned char bytes[sizeof(Vector)];
  std::memcpy(bytes, &lanes, sizeof bytes);
  std::uint64_t sum = 0;
  for (unsigned char byte : bytes) sum += byte;
  return sum;
}

// The byte before data[0] is read for the word count: the caller has it.
template <typename Vector>
[[gnu::always_inline]] inline std::size_t count_vectors(const unsigned char* data, std::size_t size, Totals& totals) {
  constexpr std::size_t WIDTH = sizeof(Vector);
  std::size_t counted = 0;
  while (size - counted >= WIDTH) {
    std::size_t steps = std::min((size - counted) / WIDTH, MAX_STEPS);
    const unsigned char* const end = data + counted + steps * WIDTH;
    Vector characters{}, letters{}, vowels{}, sentences{}, lines{}, words{};
    for (const unsigned char* step = data + counted; step < end; step += WIDTH) {
      Vector bytes;
      Vector before;
      std::memcpy(&bytes, step, WIDTH);
      std::memcpy(&before, step - 1, WIDTH);
      Vector is_character = static_cast<Vector>(bytes > ' ');
      Vector lower = bytes | 0x20;
      characters -= is_character;
      letters -= static_cast<Vector>(static_cast<Vector>(lower - 'a') < 26);
      vowels -= static_cast<Vector>((lower == 'a') | (lower == 'e') | (lower == 'i') | (lower == 'o') | (lower == 'u'));
      sentences -= static_cast<Vector>((bytes == '.') | (bytes == '!') | (bytes == '?'));
      lines -= static_cast<Vector>(bytes == '\n');
      words -= is_character & ~static_cast<Vector>(before > ' ');
    }
    totals.characters += vector_sum(characters);
    totals.letters += vector_sum(letters);
    totals.vowels += vector_sum(vowels);
    totals.sentences += vector_sum(sentences);
    totals.lines += vector_sum(lines);
    totals.words += vector_sum(words);
    counted += steps * WIDTH;
  }
  return counted;
}

std::size_t count_sixteen_at_a_time(const unsigned char* data, std::size_t size, Totals& totals) {
  return count_vectors<Lanes>(data, size, totals);
}

#if defined(__x86_64__)
[[gnu::target("avx2")]] std::size_t count_thirty_two_at_a_time(const unsigned char* data, std::size_t size,
                                                               Totals& totals) {
  return count_vectors<WideLanes>(data, size, totals);
}
#endif

}  // namespace

// The x86-64 baseline has sixteen-byte vectors only; most of its processors
// have had thirty-two-byte ones for years.
LaneWidth widest_lanes() {
#if defined(__x86_64__)
  if (__builtin_cpu_supports("avx2")) return LaneWidth::thirty_two;
#endif
  return LaneWidth::sixteen;
}

void Counter::begin_file() { file_has_bytes_ = false; }

void Counter::add_block(const unsigned char* data, std::size_t size) {
  if (size == 0) return;
  totals_.bytes += size;
  file_has_bytes_ = true;
  last_byte_ = data[size - 1];
  // The first byte continues the word state carried in; each byte after it
  // is taken with the byte before it, sixteen at a time while there are so
  // many, and the word state goes on from the last byte counted.
  count_one_by_one(data, 1);
  std::size_t counted = 1 + count_in_lanes(data + 1, size - 1);
  in_word_ = data[counted - 1] > ' ';
  count_one_by_one(data + counted, size - counted);
}

void Counter::count_one_by_one(const unsigned char* data, std::size_t size) {
  std::uint64_t in_word = in_word_ ? 1 : 0;
  std::uint64_t words = 0;
  while (size > 0) {
    std::size_t run = size < MAX_RUN ? size : MAX_RUN;
    std::uint64_t packed = 0;
    for (std::size_t i = 0; i < run; ++i) {
      std::uint64_t classes = CLASS_TABLE[data[i]];
      std::uint64_t is_character = classes & 1;
      words += is_character & (in_word ^ 1);
      in_word = is_character;
      packed += classes;
    }
    totals_.characters += field(packed, CHARACTER_SHIFT);
    totals_.letters += field(packed, LETTER_SHIFT);
    totals_.vowels += field(packed, VOWEL_SHIFT);
    totals_.sentences += field(packed, SENTENCE_SHIFT);
    totals_.lines += field(packed, LINE_SHIFT);
    data += run;
    size -= run;
  }
  totals_.words += words;
  in_word_ = in_word != 0;
}

std::size_t Counter::count_in_lanes(const unsigned char* data, std::size_t size) {
#if defined(__x86_64__)
  if (width_ == LaneWidth::thirty_two) return count_thirty_two_at_a_time(data, size, totals_);
#endif
  return count_sixteen_at_a_time(data, size, totals_);
}

void Counter::end_file() {
  if (file_has_bytes_ && last_byte_ != '\n') ++totals_.lines;
}

std::string format_report(const Totals& totals) {
  std::uint64_t words_per_sentence = totals.words / (totals.sentences == 0 ? 1 : totals.sentences);
  std::uint64_t letters_per_word = totals.letters / (totals.words == 0 ? 1 : totals.words);
  const char* format =
      "\n%12" PRIu64 " Bytes."
      "\n%12" PRIu64 " Characters (bytes higher than the space)."
      "\n%12" PRIu64 " Letters    (A-Z,a-z)."
      "\n%12" PRIu64 " Vowels     (A,E,I,O,U,a,e,i,o,u)."
      "\n%12" PRIu64 " Consonants."
      "\n%12" PRIu64 " Words      (sequences of characters)."
      "\n%12" PRIu64 " Lines      (end with LF=^J=0x0A=10)."
      "\n%12" PRIu64 " Sentences  (end with '.', '?' or '!')."
      "\n%12" PRIu64 " Words per sentence."
      "\n%12" PRIu64 " Letters per word.";
  char text[1024];
  int length = std::snprintf(text, sizeof text, format, totals.bytes, totals.characters, totals.letters,
                             totals.vowels, totals.letters - totals.vowels, totals.words, totals.lines,
                             totals.sentences, words_per_sentence, letters_per_word);
  return std::string(text, static_cast<std::size_t>(length));
}

}  // namespace count
