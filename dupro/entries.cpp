// The entry list: making and freeing entries and their chunks within the
// memory budget, the flushes that write or compare the list, and the disk
// prompts around them.
#include <new>

#include "dupro/engine_parts.h"
#include "dupro/options.h"
#include "dupro/prompt.h"

namespace dupro {

std::string target_folder;
bool whole_set_loaded = false;
bool compare_while_reading = false;
std::uint32_t entry_count = 0;
std::uint32_t dir_count = 0;
std::uint32_t error_count = 0;

namespace {

enum class DiskState { SOURCE_DISK, TARGET_DISK };

// What an entry costs against the memory budget besides its file data: the
// record with room for its two paths.
constexpr std::size_t ENTRY_COST = sizeof(CopyEntry) + 2 * 260;

CopyEntry* entry_head = nullptr;
CopyEntry* entry_tail = nullptr;
DiskState disk_state = DiskState::SOURCE_DISK;

CopyEntry* try_new_entry() {
  if (!platform::take_budget(ENTRY_COST)) return nullptr;
  CopyEntry* entry = new (std::nothrow) CopyEntry;
  if (entry == nullptr) platform::give_budget(ENTRY_COST);
  return entry;
}

void free_chunks(CopyEntry& entry) {
  for (Chunk& chunk : entry.chunks) {
    if (chunk.data == source_piece) {
      platform::give_budget(chunk.size);
    } else {
      platform::release_data(chunk.data, chunk.size);
    }
    chunk = Chunk{};
  }
  entry.compare.compared_chunks = 0;
}

void free_entry(CopyEntry* entry) {
  free_chunks(*entry);
  delete entry;
  platform::give_budget(ENTRY_COST);
}

}  // namespace

CopyEntry* first_entry() { return entry_head; }

CopyEntry* new_entry() {
  CopyEntry* entry = try_new_entry();
  if (entry == nullptr) {
    flush_entries(true);
    entry = try_new_entry();
    if (entry == nullptr) usage_exit(NOT_ENOUGH_MEMORY);
  }
  if (entry_tail != nullptr) {
    entry_tail->next = entry;
  } else {
    entry_head = entry;
  }
  entry_tail = entry;
  return entry;
}

std::uint64_t held_bytes(const CopyEntry& entry) {
  std::uint64_t held = 0;
  for (const Chunk& chunk : entry.chunks) held += chunk.size;
  return held;
}

bool needs_attribute_juggling(const CopyEntry& entry) {
  return options.include_hidden && (entry.attributes & ~KEPT_BY_READING) != 0;
}

// A chunk compared while it is read takes its room in the budget, but every
// piece of it is read to the same small buffer.
char* allocate_chunk(const CopyEntry& entry, std::size_t size) {
  if (!compared_as_read(entry)) return platform::allocate_data(size);
  return platform::take_budget(size) ? source_piece : nullptr;
}

void mark_failed(CopyEntry& entry) {
  entry.failed = true;
  entry.unfinished = true;
  entry.in_progress = false;
  entry.outcome = Outcome::not_done;
}

void mark_part_handled(CopyEntry& entry) {
  entry.unfinished = false;
  entry.in_progress = true;
}

bool flush_entries(bool release) {
  bool last_not_done = options.compare_only ? compare_entries() : write_entries();
  if (release) {
    release_entries();
    insert_source_disk();
  }
  return last_not_done;
}

void release_entries() {
  whole_set_loaded = false;
  while (entry_head != nullptr) {
    CopyEntry* entry = entry_head;
    free_chunks(*entry);
    // The file being read across flushes stays as the only entry.
    if (entry->in_progress && entry == entry_tail) return;
    settle_finishing(*entry);
    entry_head = entry->next;
    free_entry(entry);
  }
  entry_tail = nullptr;
}

void reset_entries() {
  for (CopyEntry* entry = entry_head; entry != nullptr; entry = entry->next) {
    entry->unfinished = false;
    entry->in_progress = false;
    entry->failed = false;
    entry->in_place = false;
    entry->target_handle = platform::NO_HANDLE;
    entry->remaining = held_bytes(*entry);
    entry->compare = CompareState{};
  }
}

void drop_entries() {
  while (entry_head != nullptr) {
    CopyEntry* entry = entry_head;
    entry_head = entry->next;
    settle_finishing(*entry);
    free_entry(entry);
  }
  entry_tail = nullptr;
}

void insert_target_disk() {
  if (options.same_unit != SameUnit::YES || disk_state != DiskState::SOURCE_DISK) return;
  disk_state = DiskState::TARGET_DISK;
  ask_key("Insert TARGET disk and press T", 'T', 'T');
}

void insert_source_disk() {
  if (options.same_unit != SameUnit::YES || disk_state != DiskState::TARGET_DISK) return;
  disk_state = DiskState::SOURCE_DISK;
  ask_key("Insert SOURCE disk and press S", 'S', 'S');
}

}  // namespace dupro
