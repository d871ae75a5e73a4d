// Comparing while the source is read, and what both kinds of comparing
// share: the buffers, the checks of a target's size, stamps and attributes,
// and the reading and matching of a target piece by piece.
#include <algorithm>
#include <cstring>

#include "dupro/engine_parts.h"

namespace dupro {

char* source_piece = nullptr;

namespace {

// Compare mode: one piece of a target, followed by the source piece.
// Targets are read and compared a piece at a time, so no more is needed.
char* compare_buffer = nullptr;
// Compare mode while reading: a file error was met, so no further target
// is examined before the flush, which meets it again and ends the run.
bool examination_halted = false;

// Looks at the target of an entry while its source is read: a file of the
// source's size, date, time and attributes is opened, its stamp taken,
// and compared as the chunks come.
void examine_target(CopyEntry& entry) {
  entry.compare.target_examined = true;
  FileInfo target;
  entry.target_handle = platform::open_and_look_up(entry.target_path, target, platform::ArchiveBit::assumed_set,
                                                   &entry.compare.target_stamp);
  bool opened = entry.target_handle != platform::NO_HANDLE;
  bool found = opened || platform::look_up(entry.target_path, target, platform::ArchiveBit::assumed_set);
  if (metadata_difference(entry, found, target) != nullptr) {
    close_compared_target(entry);
    return;
  }
  // Opening can fail where looking up does not.
  if (!opened) {
    note_failure(entry, FileError::cannot_open);
    return;
  }
  entry.compare.target_stamped = true;
  entry.copy_stamp = entry.compare.target_stamp;
  if (entry.remaining == 0) close_compared_target(entry);
}

}  // namespace

bool comparing(const CopyEntry& entry) {
  return entry.target_handle != platform::NO_HANDLE && !entry.compare.differs && !entry.compare.failure;
}

bool allocate_compare_buffer() {
  compare_buffer = platform::allocate_block(2 * COMPARE_PIECE);
  source_piece = compare_buffer == nullptr ? nullptr : compare_buffer + COMPARE_PIECE;
  return compare_buffer != nullptr;
}

// True when the entry's target is compared while its source is read. A
// target whose attribute word is changed for reading is compared at the
// flush, from held data: were the run to end at a later read of its
// source, the target must not have been touched.
bool compared_as_read(const CopyEntry& entry) {
  return compare_while_reading && !needs_attribute_juggling(entry);
}

// The first check that fails, as the format of its line; nullptr when the
// target was found and matches in size, date, time and attributes.
const char* metadata_difference(const CopyEntry& entry, bool found, const FileInfo& target) {
  if (!found) return "%s does not exists.\n";
  if (target.size != entry.size) return "%s has different size.\n";
  if (target.date != entry.date) return "%s has different date stamp.\n";
  if (target.time != entry.time) return "%s has different time stamp.\n";
  if ((target.attributes | platform::ARCHIVE) != (entry.attributes | platform::ARCHIVE)) {
    return "%s has different attributes.\n";
  }
  return nullptr;
}

// Closes the target once comparing is over; one whose attribute word was
// cleared for reading gets the entry's (the source's) word.
void close_compared_target(CopyEntry& entry) {
  if (entry.target_handle == platform::NO_HANDLE) return;
  platform::close_file(entry.target_handle);
  entry.target_handle = platform::NO_HANDLE;
  if (!needs_attribute_juggling(entry)) return;
  platform::set_attributes(entry.target_path, entry.attributes);
  // The target as it is left, its attribute word given back.
  platform::stamp_of(entry.target_path, entry.copy_stamp);
}

// Keeps a file error to be reported when the entry is flushed.
void note_failure(CopyEntry& entry, FileError error) {
  entry.compare.failure = error;
  entry.compare.failure_reason = platform::last_error_text();
  examination_halted = true;
}

// Reads the target's next n bytes and compares them with data; false when
// they differ or the read falls short, which is noted. The pieces are small
// enough to stay in the processor's cache while they are compared.
bool target_piece_matches(CopyEntry& entry, const char* data, std::size_t n) {
  if (platform::read_fully(entry.target_handle, compare_buffer, n) < n) {
    note_failure(entry, FileError::cannot_read);
    return false;
  }
  return std::memcmp(compare_buffer, data, n) == 0;
}

// After one chunk has been compared: a difference or a file error ends
// comparing, and so does the end of the file. The target of a file read
// across flushes stays open until its flush.
void end_chunk_comparison(CopyEntry& entry, std::size_t size, bool same) {
  ++entry.compare.compared_chunks;
  entry.remaining -= size;
  if (!same) entry.compare.differs = true;
  if ((!comparing(entry) || entry.remaining == 0) && !entry.in_progress) close_compared_target(entry);
}

// Compare mode while reading: examines the target of an entry met for the
// first time, unless a file error waits to be reported.
void examine_as_read(CopyEntry& entry) {
  if (compared_as_read(entry) && !examination_halted && !entry.compare.target_examined) examine_target(entry);
}

// Compare mode while reading: reads the next chunk of the source piece by
// piece, comparing each piece at once with the target's.
void read_and_compare_chunk(CopyEntry& entry, platform::Handle source, std::size_t size) {
  examine_as_read(entry);
  bool same = true;
  for (std::size_t done = 0; done < size; done += COMPARE_PIECE) {
    std::size_t n = std::min(COMPARE_PIECE, size - done);
    if (platform::read_fully(source, source_piece, n) < n) fatal_file_error(FileError::cannot_read, entry.source_path);
    if (!comparing(entry)) continue;
    same = target_piece_matches(entry, source_piece, n) && same;
  }
  end_chunk_comparison(entry, size, same);
}

void resume_examining() { examination_halted = false; }

}  // namespace dupro
