// Reading a selected file into its entry's chunks, flushing the list when
// ten chunks are full or memory runs out.
#include "dupro/engine_parts.h"
#include "dupro/options.h"

namespace dupro {

namespace {

// Flushes and releases the list in the middle of the entry's file; false
// when the flush left the entry not written.
bool flush_mid_file(CopyEntry* entry) {
  entry->unfinished = true;
  return !flush_entries(true);
}

// Reads the file of an entry into its chunks, flushing the list when ten
// chunks are full or memory runs out. False when a flush left the entry
// not written, which stops its reading and frees it.
bool read_entry_data(CopyEntry* entry, platform::Handle source) {
  std::uint64_t left = entry->size;
  int k = 0;
  if (left == 0) examine_as_read(*entry);
  while (left > 0) {
    if (k == MAX_CHUNKS) {
      if (!flush_mid_file(entry)) return false;
      k = 0;
    }
    std::size_t n = next_chunk_size(left);
    char* data = allocate_chunk(*entry, n);
    if (data == nullptr) {
      if (!flush_mid_file(entry)) return false;
      k = 0;
      data = allocate_chunk(*entry, n);
      if (data == nullptr) fatal_file_error(FileError::memory_exhausted, entry->source_path);
    }
    entry->chunks[k] = Chunk{data, n};
    if (compared_as_read(*entry)) {
      read_and_compare_chunk(*entry, source, n);
    } else if (platform::read_fully(source, data, n) < n) {
      fatal_file_error(FileError::cannot_read, entry->source_path);
    }
    ++k;
    left -= n;
  }
  return true;
}

}  // namespace

bool is_source_as_read(const CopyEntry& entry, platform::Handle source) {
  platform::FileStamp now;
  return source != platform::NO_HANDLE && platform::stamp_of(source, now) && now == entry.source_stamp;
}

void read_source_file(CopyEntry* entry) {
  entry->remaining = entry->size;
  insert_source_disk();
  // Copies of what reading needs afterwards: a flush while reading may
  // free the entry.
  std::string path = entry->source_path;
  std::uint32_t attributes = entry->attributes;
  bool attributes_changed = needs_attribute_juggling(*entry);
  if (attributes_changed) platform::set_attributes(path, attributes & KEPT_BY_READING);
  platform::Handle source = platform::open_without_waiting(path);
  if (source == platform::NO_HANDLE) fatal_file_error(FileError::cannot_open, path);
  // The source as read: what option X, a rewrite after a failed write and
  // a compare at the flush that read it again check it against.
  platform::stamp_of(source, entry->source_stamp);
  entry->source_grew = entry->source_stamp.size > entry->size;
  bool held = read_entry_data(entry, source);
  platform::close_file(source);
  if (attributes_changed) {
    platform::set_attributes(path, attributes);
    // The source as it is left, its attribute word given back.
    if (held) platform::stamp_of(path, entry->source_stamp);
  }
}

}  // namespace dupro
