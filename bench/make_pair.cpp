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

namespace {

const char* const WORDS[] = {"apple", "Banana", "cherry", "Date", "elder", "FIG", "grape", "honeydew",
                             "kiwi", "Lemon", "mango", "nectarine", "Orange", "papaya", "quince",
                             "raspberry", "Strawberry", "tangerine", "ugli", "vanilla", "walnut",
                             "xigua", "yam", "Zucchini", "the", "of", "and", "to", "in", "is"};

std::string make_line(std::mt19937& random, const std::string& previous) {
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
    first.push_back(make_line(random, previous));
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
          second.push_back(make_line(random, "inserted"));
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
