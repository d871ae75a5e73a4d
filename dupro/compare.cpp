// Comparing the entries held with their targets at a flush.
//
// Compare mode while reading does at once, for each chunk read, what the
// flush does with held data; the flush then looks the target up again and
// takes that finding only when the target still has the stamp it had when
// comparing began. Otherwise it compares the held part there, reading the
// chunks compared while reading from the source once more, provided the
// source still has the stamp it was read with.
#include <algorithm>

#include "dupro/engine_parts.h"
#include "dupro/options.h"

namespace dupro {

namespace {

int held_chunk_count(const CopyEntry& entry) {
  int count = 0;
  while (count < MAX_CHUNKS && entry.chunks[count].data != nullptr) ++count;
  return count;
}

// True when the finding on the held part still holds for the target, whose
// stamp at this flush is `now`: all of it was compared, no file error was
// met, and the target is the file it was compared with, unchanged since.
bool finding_holds(const CopyEntry& entry, const platform::FileStamp& now) {
  const CompareState& state = entry.compare;
  return state.target_stamped && !state.failure && state.compared_chunks == held_chunk_count(entry) &&
         now == state.target_stamp;
}

// Comparing the held part starts over from its beginning, with the open
// target positioned there.
void restart_comparing(CopyEntry& entry) {
  entry.compare.compared_chunks = 0;
  entry.compare.differs = false;
  entry.compare.failure.reset();
  entry.remaining = entry.size - entry.compare.slice_start;
  entry.compare.target_stamped = platform::stamp_of(entry.target_handle, entry.compare.target_stamp);
  entry.copy_stamp = entry.compare.target_stamp;
}

// At the flush: opens the target to compare the held part from the start
// of the file. One whose attribute word has bits that reading does not
// keep is read with those bits cleared.
void open_compared_target(CopyEntry& entry) {
  close_compared_target(entry);
  entry.compare.target_examined = true;
  if (needs_attribute_juggling(entry)) {
    platform::set_attributes(entry.target_path, entry.attributes & KEPT_BY_READING);
  }
  entry.target_handle = platform::open_without_waiting(entry.target_path);
  if (entry.target_handle == platform::NO_HANDLE) fatal_file_error(FileError::cannot_open, entry.target_path);
  restart_comparing(entry);
}

// At a later flush of a file read across flushes: the target stays the
// file opened at its first flush, so its open handle is what is checked,
// and the held part is compared again from where it begins in the file.
void check_later_part(CopyEntry& entry) {
  platform::FileStamp now;
  if (entry.compare.compared_chunks == 0) return;
  if (platform::stamp_of(entry.target_handle, now) && finding_holds(entry, now)) return;
  restart_comparing(entry);
  if (!platform::seek_file(entry.target_handle, entry.compare.slice_start)) note_failure(entry, FileError::cannot_read);
}

// At the flush, the source read once more for the chunks compared while
// reading; it serves only while it still has the stamp it was read with.
struct SourceReadAgain {
  platform::Handle handle = platform::NO_HANDLE;
  bool opened = false;
  bool as_read = false;
  std::uint64_t position = 0;
};

// Reads n bytes of the source at the offset into the source piece; false
// when the source has changed since it was read.
bool read_source_again(const CopyEntry& entry, SourceReadAgain& source, std::uint64_t offset, std::size_t n) {
  if (!source.opened) {
    source.opened = true;
    source.handle = platform::open_without_waiting(entry.source_path);
    source.as_read = is_source_as_read(entry, source.handle);
  }
  if (source.as_read && source.position != offset) source.as_read = platform::seek_file(source.handle, offset);
  source.as_read = source.as_read && platform::read_fully(source.handle, source_piece, n) == n;
  source.position = offset + n;
  return source.as_read;
}

// Compares, at the flush, the chunks held that have not been compared: from
// their data, or from the source read once more. A chunk's whole part of
// the target is read even after a difference, since a read that falls
// short is an error whatever the bytes before it. A source changed since
// it was read cannot show what was read: the entry differs.
void compare_held_chunks(CopyEntry& entry) {
  SourceReadAgain source;
  std::uint64_t offset = entry.compare.slice_start;
  for (int i = 0; i < entry.compare.compared_chunks; ++i) offset += entry.chunks[i].size;
  while (entry.compare.compared_chunks < MAX_CHUNKS && entry.chunks[entry.compare.compared_chunks].data != nullptr &&
         !entry.compare.differs) {
    const Chunk& chunk = entry.chunks[entry.compare.compared_chunks];
    bool same = true;
    for (std::size_t done = 0; done < chunk.size && comparing(entry); done += COMPARE_PIECE) {
      std::size_t n = std::min(COMPARE_PIECE, chunk.size - done);
      const char* data = chunk.data + done;
      if (chunk.data == source_piece) {
        if (!read_source_again(entry, source, offset + done, n)) {
          same = false;
          break;
        }
        data = source_piece;
      }
      same = target_piece_matches(entry, data, n) && same;
    }
    end_chunk_comparison(entry, chunk.size, same);
    offset += chunk.size;
  }
  platform::close_file(source.handle);
}

// Compares the entry with its target as the flush finds it, taking what
// comparing while reading found where it still holds, and reports it.
// True when it differs.
bool compare_file_entry(CopyEntry& entry) {
  if (entry.failed) return true;
  if (!entry.in_progress) {
    ++entry_count;
    ++error_count;
    FileInfo target;
    platform::FileStamp now;
    bool found = platform::look_up(entry.target_path, target, platform::ArchiveBit::assumed_set, &now);
    if (const char* difference = metadata_difference(entry, found, target)) {
      close_compared_target(entry);
      out().print(difference, entry.target_path.c_str());
      entry.outcome = Outcome::not_done;
      return true;
    }
    if (entry.is_directory()) {
      --error_count;
      entry.outcome = Outcome::equal;
      return false;
    }
    if (!finding_holds(entry, now)) open_compared_target(entry);
  } else {
    check_later_part(entry);
  }
  compare_held_chunks(entry);
  if (entry.compare.failure) {
    close_compared_target(entry);
    fatal_file_error(*entry.compare.failure, entry.target_path, entry.compare.failure_reason);
  }
  if (!entry.compare.differs && entry.unfinished) {
    // The next part is compared with the target as this flush leaves it.
    mark_part_handled(entry);
    entry.compare.slice_start = entry.size - entry.remaining;
    entry.compare.target_stamped = platform::stamp_of(entry.target_handle, entry.compare.target_stamp);
    return false;
  }
  close_compared_target(entry);
  entry.in_progress = false;
  if (entry.compare.differs) {
    out().print("%s is different.\n", entry.target_path.c_str());
    mark_failed(entry);
    return true;
  }
  out().print("%s is equal.\n", entry.target_path.c_str());
  --error_count;
  entry.outcome = Outcome::equal;
  return false;
}

}  // namespace

bool compare_entries() {
  insert_target_disk();
  bool different = false;
  for (CopyEntry* entry = first_entry(); entry != nullptr; entry = entry->next) {
    different = compare_file_entry(*entry);
  }
  // A file error met while reading did not come again at the flush: the
  // run goes on, and so does comparing while reading.
  resume_examining();
  return different;
}

}  // namespace dupro
