// The one-pass floor: reads each file named (standard input when none) in
// blocks of 256 KiB and scans every byte 16 bytes at a time, counting the
// line feeds, the least work any streaming program does on its input. The
// count is printed so that the scan cannot be left out.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::size_t BLOCK = 256 * 1024;
constexpr std::size_t LANES = 16;

std::uint64_t count_line_feeds(const unsigned char* data, std::size_t size) {
  std::uint64_t count = 0;
  std::size_t i = 0;
  for (; i + LANES <= size; i += LANES) {
    unsigned char lanes = 0;
    for (std::size_t lane = 0; lane < LANES; ++lane) lanes += data[i + lane] == '\n';
    count += lanes;
  }
  for (; i < size; ++i) count += data[i] == '\n';
  return count;
}

std::uint64_t scan(int descriptor, std::vector<unsigned char>& buffer) {
  std::uint64_t count = 0;
  for (ssize_t got; (got = read(descriptor, buffer.data(), buffer.size())) > 0;) {
    count += count_line_feeds(buffer.data(), static_cast<std::size_t>(got));
  }
  return count;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<unsigned char> buffer(BLOCK);
  std::uint64_t count = 0;
  if (argc < 2) count = scan(0, buffer);
  for (int i = 1; i < argc; ++i) {
    int descriptor = open(argv[i], O_RDONLY);
    if (descriptor < 0) {
      std::perror(argv[i]);
      return 1;
    }
    count += scan(descriptor, buffer);
    close(descriptor);
  }
  std::printf("%llu\n", static_cast<unsigned long long>(count));
  return 0;
}
