// Makes the benchmark's text inputs, deterministic for a given seed:
//   make_text FILE LINES [SEED]
// Lines of mixed text: words of mixed case, numbers, punctuation, leading
// blanks, runs of spaces and tabs, repeated neighbours and empty lines,
// about 40 bytes a line on average.
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "text_lines.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "use: make_text FILE LINES [SEED]\n");
    return 2;
  }
  FILE* out = std::fopen(argv[1], "wb");
  if (out == nullptr) return 1;
  long lines = std::atol(argv[2]);
  std::mt19937 random(argc > 3 ? static_cast<unsigned>(std::atol(argv[3])) : 12345u);
  std::string previous = "start";
  for (long i = 0; i < lines; ++i) {
    std::string line = bench::make_line(random, previous);
    std::fwrite(line.data(), 1, line.size(), out);
    std::fputc('\n', out);
    previous = line;
  }
  std::fclose(out);
  return 0;
}
