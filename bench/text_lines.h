// The benchmark's line maker: lines of mixed text, about 40 bytes a line
// on average, with words of mixed case, numbers, punctuation, leading
// blanks, runs of spaces and tabs, repeated neighbours and empty lines.
#pragma once

#include <random>
#include <string>

namespace bench {

inline const char* const WORDS[] = {"apple", "Banana", "cherry", "Date", "elder", "FIG", "grape", "honeydew",
                             "kiwi", "Lemon", "mango", "nectarine", "Orange", "papaya", "quince",
                             "raspberry", "Strawberry", "tangerine", "ugli", "vanilla", "walnut",
                             "xigua", "yam", "Zucchini", "the", "of", "and", "to", "in", "is"};

inline std::string make_line(std::mt19937& random, const std::string& previous) {
  std::uniform_int_distribution<int> percent(0, 99);
  int kind = percent(random);
  if (kind < 2) return "";
  if (kind < 10) return previous;
  std::string line;
  if (percent(random) < 10) line += std::string(1 + percent(random) % 6, ' ');
  int words = 2 + percent(random) % 9;
  for (int w = 0; w < words; ++w) {
    if (w > 0) line += percent(random) < 8 ? (percent(random) < 50 ? "\t" : "    ") : " ";
    int pick = percent(random);
    if (pick < 15) {
      line += std::to_string(std::uniform_int_distribution<int>(-5000, 99999)(random));
    } else if (pick < 20) {
      line += std::string(1, "!?.,;:-_()"[percent(random) % 10]);
    } else {
      line += WORDS[percent(random) % (sizeof WORDS / sizeof WORDS[0])];
    }
  }
  return line;
}

}  // namespace bench
