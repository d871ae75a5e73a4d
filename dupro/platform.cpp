// Dupro's file-system operations that are the same on every platform,
// built on the others.
#include "dupro/platform.h"

#include <algorithm>
#include <new>
#include <vector>

#include "dupro/platform_memory.h"

namespace dupro::platform {

namespace {

std::size_t data_budget = 0;
std::size_t data_held = 0;

// File data lives in large regions, handed out in order; when every piece
// has been released the regions are used again from their start, so memory
// once touched is reused instead of being mapped anew. A region is no
// larger than the budget leaves room for, and its memory is made ready as
// pieces reach it, so a small run neither maps nor touches more than its
// data needs.
struct Region {
  char* base;
  std::size_t size;
  std::size_t used;
  std::size_t ready;  // the start of the region made ready for writing
};
constexpr std::size_t REGION_SIZE = 8 * 1024 * 1024;
constexpr std::size_t READY_STEP = 256 * 1024;
constexpr std::size_t PIECE_ALIGNMENT = 64;
std::vector<Region> regions;
std::size_t current_region = 0;
std::size_t pieces_held = 0;
std::size_t region_bytes = 0;

std::size_t rounded_up(std::size_t size, std::size_t step) { return (size + step - 1) / step * step; }

// Makes the memory a piece reaches ready in one step.
char* piece_of(Region& region, std::size_t size) {
  char* piece = region.base + region.used;
  region.used += size;
  if (region.used > region.ready) {
    std::size_t ready = std::min(region.size, rounded_up(region.used, READY_STEP));
    make_memory_ready(region.base + region.ready, ready - region.ready);
    region.ready = ready;
  }
  ++pieces_held;
  return piece;
}

char* take_from_regions(std::size_t size) {
  size = rounded_up(size, PIECE_ALIGNMENT);
  for (; current_region < regions.size(); ++current_region) {
    Region& region = regions[current_region];
    if (region.size - region.used >= size) return piece_of(region, size);
  }
  std::size_t room = data_budget > region_bytes ? data_budget - region_bytes : 0;
  std::size_t region_size = rounded_up(std::max(size, std::min(REGION_SIZE, room)), READY_STEP);
  char* base = map_memory(region_size);
  if (base == nullptr) return nullptr;
  region_bytes += region_size;
  regions.push_back(Region{base, region_size, 0, 0});
  current_region = regions.size() - 1;
  return piece_of(regions.back(), size);
}

void give_to_regions() {
  if (--pieces_held > 0) return;
  for (Region& region : regions) region.used = 0;
  current_region = 0;
}

}  // namespace

bool name_one_file(const std::string& first, const std::string& second) {
  FileStamp one, other;
  return stamp_of(first, one) && stamp_of(second, other) && one.device == other.device && one.inode == other.inode;
}

bool take_budget(std::size_t size) {
  if (size > data_budget || data_held > data_budget - size) return false;
  data_held += size;
  return true;
}

void give_budget(std::size_t size) { data_held -= size; }

char* allocate_data(std::size_t size) {
  if (!take_budget(size)) return nullptr;
  char* data = take_from_regions(size);
  if (data == nullptr) give_budget(size);
  return data;
}

void release_data(char* data, std::size_t size) {
  if (data == nullptr) return;
  give_to_regions();
  give_budget(size);
}

char* allocate_block(std::size_t size) {
  if (!take_budget(size)) return nullptr;
  // On a page boundary: reads into a buffer that is not aligned to the
  // cache line copy several times slower.
  constexpr std::size_t ALIGNMENT = 4096;
  char* block = static_cast<char*>(::operator new(size, std::align_val_t{ALIGNMENT}, std::nothrow));
  if (block == nullptr) give_budget(size);
  return block;
}

void prepare_process() {
  prepare_platform();
  data_budget = memory_budget();
}

}  // namespace dupro::platform
