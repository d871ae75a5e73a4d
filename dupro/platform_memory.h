// What each platform gives the memory budget for file data, which is kept
// the same way on every platform.
#pragma once

#include <cstddef>

namespace dupro::platform {

// Half the physical memory, or what an address-space limit leaves,
// whichever is smaller.
std::size_t memory_budget();
// A region of new memory, readable and writable; nullptr when the system
// has none to give.
char* map_memory(std::size_t size);
// Makes a part of a region ready for writing before it is written.
void make_memory_ready(char* start, std::size_t size);
// What the platform sets up at the start of the run besides the budget.
void prepare_platform();

}  // namespace dupro::platform
