// Makes the benchmark's tab-separated input, deterministic for a given seed:
//   make_table FILE LINES [SEED]
// Each line holds 3 to 8 fields separated by single tabs, the fields words,
// numbers or empty, with an occasional run of spaces inside a field.
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "text_lines.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "use: make_table FILE LINES [SEED]\n");
    return 2;
  }
  FILE* out = std::fopen(argv[1], "wb");
  if (out == nullptr) return 1;
  long lines = std::atol(argv[2]);
  std::mt19937 random(argc > 3 ? static_cast<unsigned>(std::atol(argv[3])) : 12345u);
  std::uniform_int_distribution<int> percent(0, 99);
  const std::size_t word_count = sizeof bench::WORDS / sizeof bench::WORDS[0];
  std::string line;
  for (long i = 0; i < lines; ++i) {
    line.clear();
    int fields = 3 + percent(random) % 6;
    for (int f = 0; f < fields; ++f) {
      if (f > 0) line += '\t';
      int pick = percent(random);
      if (pick < 5) continue;
      if (pick < 35) {
        line += std::to_string(std::uniform_int_distribution<int>(0, 999999)(random));
      } else {
        line += bench::WORDS[percent(random) % word_count];
        if (percent(random) < 10) line += std::string(2 + percent(random) % 6, ' ');
        if (percent(random) < 30) line += bench::WORDS[percent(random) % word_count];
      }
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), out);
  }
  std::fclose(out);
  return 0;
}
