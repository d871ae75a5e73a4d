// Random orders and lines for the differential tests of Ordly's fast
// comparison, merge and run reading against the plain full comparison:
// an option group and the same settings applied in this process, and lines
// as the store keeps them (no NUL, ending in a line feed). Deterministic:
// everything comes from the seed.
#pragma once

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "ordly/collation.h"
#include "ordly/settings.h"

namespace ordly_test {

// Applies an option group's order letters and starting column to the
// settings of this process, as the command line does.
inline void apply_order(const std::string& group) {
  ordly::settings = ordly::Settings{};
  for (std::size_t i = 1; i < group.size(); ++i) {
    switch (char c = group[i]) {
      case 'A':
        ordly::settings.pure_order = true;
        ordly::settings.active_compare = ordly::compare_plain;
        std::memcpy(ordly::settings.active_table, ordly::identity_table.data(), 256);
        break;
      case 'B': ordly::settings.skip_blanks = true; break;
      case 'D': ordly::settings.dictionary_order = ordly::settings.skip_blanks = true; break;
      case 'E': ordly::settings.active_compare = ordly::compare_spanish; break;
      case 'F': ordly::settings.float_key = true; break;
      case 'N': ordly::settings.integer_key = true; break;
      case 'R': ordly::settings.reverse_order = true; break;
      case 'W': std::memcpy(ordly::settings.active_table, ordly::ansi_table.data(), 256); break;
      default: ordly::settings.column_offset = c - '1'; break;
    }
  }
}

// An option group ("" for the default order): half the orders are the
// character stage alone (the fast paths), the others add key stages or the
// Spanish digraphs.
inline std::string random_order(std::mt19937& random) {
  auto chance = [&random](int percent) { return static_cast<int>(random() % 100) < percent; };
  std::string letters;
  switch (random() % 3) {
    case 1: letters += 'A'; break;
    case 2: letters += 'W'; break;
    default: break;
  }
  if (chance(50)) letters += 'R';
  if (chance(50)) {
    if (letters.find('A') == std::string::npos && chance(50)) letters += 'E';
    if (chance(30)) letters += static_cast<char>('2' + random() % 4);
    if (chance(30)) letters += 'N';
    if (chance(20)) letters += 'F';
    if (chance(20)) letters += 'D';
    if (chance(20)) letters += 'B';
  }
  return letters.empty() ? "" : "/" + letters;
}

// Texts of up to 24 bytes, many sharing their first eight or more bytes,
// with letters in both cases, accented and Spanish letters of both code
// pages, digits, signs and blanks; no line feed and no NUL.
inline std::string random_text(std::mt19937& random) {
  static const char* const PREFIXES[] = {"", "apple pie ", "Apple Pie ", "chancla", "cz", "llama", "luz",
                                         "10 ", "-5 ", " 7.5e1", "abcdefgh", "ABCDEFGH"};
  static const std::string ALPHABET = std::string("aAbBcChHlLnNzZ0129 -+.e,\t") + "\xA4\xA5\x82\xD1\xF1\xE9\xFF\x01";
  std::string text = PREFIXES[random() % (sizeof PREFIXES / sizeof PREFIXES[0])];
  std::size_t length = random() % 12;
  for (std::size_t i = 0; i < length; ++i) text += ALPHABET[random() % ALPHABET.size()];
  return text;
}

inline std::vector<std::string> random_texts(std::mt19937& random, std::size_t count) {
  std::vector<std::string> texts;
  for (std::size_t i = 0; i < count; ++i) texts.push_back(random_text(random));
  return texts;
}

}  // namespace ordly_test
