// Makes a deterministic file tree for the copy benchmark: 200 folders in
// two levels with 40 files each (8,000 files), mostly small files and one
// large file in every hundred, about 130 MB in all.
//
//   bench_make_tree FOLDER [SEED]
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

std::uint64_t state = 88172645463325252ull;

std::uint64_t next_random() {
  state ^= state << 13;
  state ^= state >> 7;
  state ^= state << 17;
  return state;
}

bool write_file(const std::string& path, std::size_t size) {
  std::vector<std::uint64_t> words(size / 8 + 1);
  for (std::uint64_t& word : words) word = next_random();
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  std::fwrite(words.data(), 1, size, file);
  return std::fclose(file) == 0;
}

std::size_t file_size(int index) {
  if (index % 100 == 0) return 512 * 1024 + next_random() % (1024 * 1024);
  return next_random() % 12800;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "use: bench_make_tree FOLDER [SEED]\n");
    return 2;
  }
  std::string top = argv[1];
  if (argc > 2) state += std::strtoull(argv[2], nullptr, 10);
  mkdir(top.c_str(), 0777);
  int index = 0;
  for (int outer = 0; outer < 20; ++outer) {
    std::string first = top + "/d" + std::to_string(outer);
    mkdir(first.c_str(), 0777);
    for (int inner = 0; inner < 10; ++inner) {
      std::string folder = first + "/s" + std::to_string(inner);
      mkdir(folder.c_str(), 0777);
      for (int n = 0; n < 40; ++n, ++index) {
        if (!write_file(folder + "/f" + std::to_string(n) + ".dat", file_size(index))) return 1;
      }
    }
  }
  return 0;
}
