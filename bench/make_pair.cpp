// Makes a pair of text files for the compare benchmark, deterministic for a
// given seed:
//   make_pair FILE1 FILE2 LINES EDITS [SEED]
// FILE1 holds LINES lines of mixed text (about 40 bytes a line, some
// repeated neighbours and empty lines); FILE2 is FILE1 with EDITS scattered
// edits, each an inserted, a deleted or a changed line.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "text_lines.h"

namespace {

void write_lines(const char* path, const std::vector<std::string>& lines) {
  FILE* out = std::fopen(path, "wb");
  if (out == nullptr) std::exit(1);
  for (const std::string& line : lines) {
    std::fwrite(line.data(), 1, line.size(), out);
    std::fputc('\n', out);
  }
  std::fclose(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "use: make_pair FILE1 FILE2 LINES EDITS [SEED]\n");
    return 2;
  }
  long count = std::atol(argv[3]);
  long edits = std::atol(argv[4]);
  std::mt19937 random(argc > 5 ? static_cast<unsigned>(std::atol(argv[5])) : 4242u);

  std::vector<std::string> first;
  std::string previous = "start";
  for (long i = 0; i < count; ++i) {
    first.push_back(bench::make_line(random, previous));
    previous = first.back();
  }

  // Distinct edit positions, in order.
  std::vector<long> positions;
  std::uniform_int_distribution<long> where(0, count - 1);
  while (static_cast<long>(positions.size()) < edits && static_cast<long>(positions.size()) < count) {
    positions.push_back(where(random));
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
  }

  std::vector<std::string> second;
  std::uniform_int_distribution<int> kind(0, 2);
  std::size_t next = 0;
  for (long i = 0; i < count; ++i) {
    if (next < positions.size() && positions[next] == i) {
      ++next;
      switch (kind(random)) {
        case 0:  // inserted before this line
          second.push_back(bench::make_line(random, "inserted"));
          second.push_back(first[i]);
          break;
        case 1:  // deleted
          break;
        default:  // changed
          second.push_back(first[i] + " (changed)");
          break;
      }
      continue;
    }
    second.push_back(first[i]);
  }
  write_lines(argv[1], first);
  write_lines(argv[2], second);
  return 0;
}
