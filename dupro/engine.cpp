#include "dupro/engine.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <map>
#include <new>
#include <unordered_map>
#include <utility>
#include <vector>

#include "common/errors.h"
#include "common/streams.h"
#include "dupro/options.h"
#include "dupro/prompt.h"

namespace dupro {

std::string source_path;
std::string target_path;
std::string source_pattern;
std::string target_folder;
bool whole_set_loaded = false;
bool compare_while_reading = false;
std::uint32_t entry_count = 0;
std::uint32_t dir_count = 0;
std::uint32_t error_count = 0;

namespace {

using platform::FileInfo;

enum class DiskState { SOURCE_DISK, TARGET_DISK };

// What an entry costs against the memory budget besides its file data: the
// record with room for its two paths.
constexpr std::size_t ENTRY_COST = sizeof(CopyEntry) + 2 * 260;
constexpr std::size_t COMPARE_PIECE = 64 * 1024;
constexpr std::uint32_t KEPT_BY_READING = platform::READ_ONLY | platform::ARCHIVE;

CopyEntry* entry_head = nullptr;
CopyEntry* entry_tail = nullptr;
DiskState disk_state = DiskState::SOURCE_DISK;
// Compare mode: one piece of a target, followed by the one place every
// piece of a source compared while reading is read to. Targets are read
// and compared a piece at a time, so no more is needed.
char* compare_buffer = nullptr;
char* source_piece = nullptr;
// Compare mode while reading: a file error was met, so no further target
// is examined before the flush, which meets it again and ends the run.
bool examination_halted = false;

const char* const FILE_ERRORS[] = {
    "Could not open the file",
    "Memory exhausted in file",
    "Error reading file",
    "Could not create file",
    "Could not create directory",
};

suite::OutputStream& out() { return suite::standard_output(); }
suite::OutputStream& err() { return message_stream(); }

void examine_as_read(CopyEntry& entry);
void note_copy_written(CopyEntry& entry);
void read_and_compare_chunk(CopyEntry& entry, platform::Handle source, std::size_t size);

bool answered_yes(const char* message) { return ask_key(message, 'Y', 'N') == 'Y'; }

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

// True when the first stamp (date word, then time word) is later.
bool is_later(const FileInfo& first, const FileInfo& second) {
  if (first.date != second.date) return first.date > second.date;
  return first.time > second.time;
}

// True for the run's target directory met inside the source: walking it
// would copy the copies again, one level deeper each time they are made.
bool is_target_folder(const std::string& folder) {
  return platform::name_one_file(folder, target_folder.empty() ? "." : target_folder);
}

// True when reading the entry's file takes its attribute word down to the
// bits that reading keeps, and back afterwards.
bool needs_attribute_juggling(const CopyEntry& entry) {
  return options.include_hidden && (entry.attributes & ~KEPT_BY_READING) != 0;
}

std::uint64_t held_bytes(const CopyEntry& entry) {
  std::uint64_t held = 0;
  for (const Chunk& chunk : entry.chunks) held += chunk.size;
  return held;
}

// True when the entry's target is compared while its source is read. A
// target whose attribute word is changed for reading is compared at the
// flush, from held data: were the run to end at a later read of its
// source, the target must not have been touched.
bool compared_as_read(const CopyEntry& entry) {
  return compare_while_reading && !needs_attribute_juggling(entry);
}

// Room for one chunk of the entry's data; nullptr when memory is full. A
// chunk compared while it is read takes its room in the budget, but every
// piece of it is read to the same small buffer.
char* allocate_chunk(const CopyEntry& entry, std::size_t size) {
  if (!compared_as_read(entry)) return platform::allocate_data(size);
  return platform::take_budget(size) ? source_piece : nullptr;
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
  entry.compared_chunks = 0;
}

void free_entry(CopyEntry* entry) {
  free_chunks(*entry);
  delete entry;
  platform::give_budget(ENTRY_COST);
}

// ---------------------------------------------------------------- reading

CopyEntry* try_new_entry() {
  if (!platform::take_budget(ENTRY_COST)) return nullptr;
  CopyEntry* entry = new (std::nothrow) CopyEntry;
  if (entry == nullptr) platform::give_budget(ENTRY_COST);
  return entry;
}

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

// The filters that look at the target copy (options D, N, M, O).
bool passes_target_filters(const FileInfo& source) {
  if (!options.only_existing && !options.only_missing && !options.only_newer && !options.only_older) return true;
  FileInfo target;
  bool found = platform::look_up(target_path, target, platform::ArchiveBit::assumed_set);
  if (options.only_existing && !found) return false;
  if (options.only_missing && found) return false;
  if (options.only_newer && found && !is_later(source, target)) return false;
  if (options.only_older && (!found || !is_later(target, source))) return false;
  return true;
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
      entry->unfinished = true;
      if (flush_entries(true)) return false;
      k = 0;
    }
    std::size_t n = left < CHUNK_SIZE ? static_cast<std::size_t>(left) : CHUNK_SIZE;
    char* data = allocate_chunk(*entry, n);
    if (data == nullptr) {
      entry->unfinished = true;
      if (flush_entries(true)) return false;
      k = 0;
      data = allocate_chunk(*entry, n);
      if (data == nullptr) fatal_file_error(2, entry->source_path);
    }
    entry->chunks[k] = Chunk{data, n};
    if (compared_as_read(*entry)) {
      read_and_compare_chunk(*entry, source, n);
    } else if (platform::read_fully(source, data, n) < n) {
      fatal_file_error(3, entry->source_path);
    }
    ++k;
    left -= n;
  }
  return true;
}

void select_file(const FileInfo& info, std::size_t source_position, std::size_t target_position) {
  if (options.archive_only && (info.attributes & platform::ARCHIVE) == 0) return;
  source_path.resize(source_position);
  source_path += info.name;
  target_path.resize(target_position);
  target_path += info.name;
  if (!passes_target_filters(info)) return;
  if (options.date_filter && options.filter_date > info.date) return;
  if (options.confirm_each) {
    err().print("%s\t(Y/N): ", source_path.c_str());
    if (!answered_yes("")) return;
  }
  CopyEntry* entry = new_entry();
  entry->source_path = source_path;
  entry->target_path = target_path;
  entry->size = info.size;
  entry->attributes = info.attributes;
  entry->time = info.time;
  entry->date = info.date;
  if (entry->is_directory()) return;
  entry->remaining = entry->size;
  insert_source_disk();
  // A copy of the path: a flush while reading may free the entry.
  std::string path = entry->source_path;
  bool attributes_changed = needs_attribute_juggling(*entry);
  if (attributes_changed) platform::set_attributes(path, info.attributes & KEPT_BY_READING);
  platform::Handle source = platform::open_without_waiting(path);
  if (source == platform::NO_HANDLE) fatal_file_error(1, path);
  // The source as read: what option X, a rewrite after a failed write and
  // a compare at the flush that read it again check it against.
  platform::stamp_of(source, entry->source_stamp);
  entry->source_grew = entry->source_stamp.size > entry->size;
  bool held = read_entry_data(entry, source);
  platform::close_file(source);
  if (attributes_changed) {
    platform::set_attributes(path, info.attributes);
    // The source as it is left, its attribute word given back.
    if (held) platform::stamp_of(path, entry->source_stamp);
  }
  if (options.one_at_a_time) flush_entries(true);
}

// ---------------------------------------------------------------- writing

// Opens the target for writing; false when the user keeps a read-only
// target. A target that is the source file itself is not opened: the entry
// is marked in place.
bool create_target(CopyEntry& entry) {
  platform::CreateFailure failure;
  platform::Handle handle = platform::create_file(entry.target_path, entry.source_path, failure);
  if (handle == platform::NO_HANDLE) {
    switch (failure) {
      case platform::CreateFailure::is_source:
        entry.in_place = true;
        return true;
      case platform::CreateFailure::no_such_file:
      case platform::CreateFailure::path_not_found: {
        std::size_t slash = entry.target_path.rfind(platform::SEPARATOR);
        if (slash == std::string::npos) fatal_file_error(4, entry.target_path);
        make_directories(entry.target_path.substr(0, slash));
        break;
      }
      case platform::CreateFailure::permission_denied:
        if (!options.overwrite_readonly) {
          err().print("Replace %s", entry.target_path.c_str());
          if (!answered_yes("? (Y/N): ")) return false;
        }
        platform::set_attributes(entry.target_path, entry.attributes & platform::ARCHIVE);
        break;
      default:
        fatal_file_error(4, entry.target_path);
    }
    handle = platform::create_file(entry.target_path, entry.source_path, failure);
    if (handle == platform::NO_HANDLE) fatal_file_error(4, entry.target_path);
  }
  entry.target_handle = handle;
  // The file opened, until the copy's finished stamp takes its place.
  platform::stamp_of(handle, entry.copy_stamp);
  return true;
}

// Writes the chunks held; false when a write fell short.
bool write_chunks(CopyEntry& entry) {
  for (const Chunk& chunk : entry.chunks) {
    if (chunk.data == nullptr) break;
    if (platform::write_fully(entry.target_handle, chunk.data, chunk.size) < chunk.size) return false;
    entry.remaining -= chunk.size;
  }
  return true;
}

// Deletes a target whose writing failed, but only while its path still
// names the file the run opened: a file put in its place meanwhile (while
// a later question waited, say) is not the run's to delete.
void abandon_target(CopyEntry& entry) {
  platform::close_file(entry.target_handle);
  entry.target_handle = platform::NO_HANDLE;
  platform::FileStamp there;
  if (platform::stamp_of(entry.target_path, there) && there.device == entry.copy_stamp.device &&
      there.inode == entry.copy_stamp.inode) {
    platform::delete_unless_read_only(entry.target_path);
  }
}

// Gives a completely written target its time and attributes and closes
// it; false when the close fails, which counts as a write that fell short.
bool finish_target(CopyEntry& entry) {
  platform::Handle handle = entry.target_handle;
  entry.target_handle = platform::NO_HANDLE;
  return platform::finish_file(handle, entry.target_path, entry.date, entry.time, entry.attributes);
}

void finish_copy(CopyEntry& entry) {
  note_copy_written(entry);
  out().print("%s\n", entry.source_path.c_str());
  ++entry_count;
  entry.in_progress = false;
  entry.outcome = Outcome::copied;
}

// True when the open file is the source as it was read.
bool is_source_as_read(const CopyEntry& entry, platform::Handle source) {
  platform::FileStamp now;
  return source != platform::NO_HANDLE && platform::stamp_of(source, now) && now == entry.source_stamp;
}

// Copies into the new target the first `length` bytes of the source, which
// earlier flushes wrote and no longer hold, reading them from the source
// once more. False when a read or a write falls short, or when the source
// is no longer as it was read, so that its start would not match the rest.
bool rewrite_from_source(CopyEntry& entry, std::uint64_t length) {
  platform::Handle source = platform::open_without_waiting(entry.source_path);
  char* buffer = platform::allocate_data(CHUNK_SIZE);
  bool complete = buffer != nullptr && is_source_as_read(entry, source);
  while (complete && length > 0) {
    std::size_t n = length < CHUNK_SIZE ? static_cast<std::size_t>(length) : CHUNK_SIZE;
    complete = platform::read_fully(source, buffer, n) == n && platform::write_fully(entry.target_handle, buffer, n) == n;
    length -= n;
  }
  platform::release_data(buffer, CHUNK_SIZE);
  platform::close_file(source);
  return complete;
}

// Writes what the entry holds. A target that is the source file itself is
// never truncated or written: it already holds the data. After a failed
// write the target is deleted and the user may have it written again from
// its start; the part that earlier flushes wrote is then read from the
// source again. True when the entry was not written.
bool write_file_entry(CopyEntry& entry) {
  if (entry.failed) return true;
  std::uint64_t start = entry.remaining;
  std::uint64_t written_before = entry.in_progress ? entry.size - start : 0;
  bool retrying = false;
  bool not_written = false;
  for (;;) {
    if (!entry.in_place && entry.target_handle == platform::NO_HANDLE && !create_target(entry)) {
      not_written = true;
      break;
    }
    bool ready = entry.in_place || !retrying || written_before == 0 || rewrite_from_source(entry, written_before);
    if (entry.in_place) {
      entry.remaining -= held_bytes(entry);
      break;
    }
    if (ready && write_chunks(entry) && (entry.unfinished || finish_target(entry))) break;
    abandon_target(entry);
    err().print("Retry writing %s", entry.source_path.c_str());
    if (!answered_yes("? (Y/N): ")) {
      not_written = true;
      break;
    }
    entry.remaining = start;
    retrying = true;
  }
  if (not_written) {
    entry.failed = true;
    entry.unfinished = true;
    entry.in_progress = false;
    entry.outcome = Outcome::not_done;
    return true;
  }
  if (entry.unfinished) {
    entry.unfinished = false;
    entry.in_progress = true;
    return false;
  }
  finish_copy(entry);
  return false;
}

bool write_entries() {
  insert_target_disk();
  bool not_written = false;
  for (CopyEntry* entry = entry_head; entry != nullptr; entry = entry->next) {
    not_written = false;
    if (entry->is_directory()) {
      make_directories(entry->target_path);
      if (entry->attributes != 0) platform::set_attributes(entry->target_path, entry->attributes);
      entry->outcome = Outcome::copied;
      continue;
    }
    not_written = write_file_entry(*entry);
  }
  return not_written;
}

// ---------------------------------------------------------------- comparing

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

// Compare mode while reading does at once, for each chunk read, what the
// flush does with held data; the flush then looks the target up again and
// takes that finding only when the target still has the stamp it had when
// comparing began. Otherwise it compares the held part there, reading the
// chunks compared while reading from the source once more, provided the
// source still has the stamp it was read with.

// True while comparing the entry with its target goes on.
bool comparing(const CopyEntry& entry) {
  return entry.target_handle != platform::NO_HANDLE && !entry.differs && entry.failure == 0;
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
void note_failure(CopyEntry& entry, int index) {
  entry.failure = index;
  entry.failure_reason = platform::last_error_text();
  examination_halted = true;
}

int held_chunk_count(const CopyEntry& entry) {
  int count = 0;
  while (count < MAX_CHUNKS && entry.chunks[count].data != nullptr) ++count;
  return count;
}

// True when the finding on the held part still holds for the target, whose
// stamp is now `now`: all of it was compared, no file error was met, and
// the target is the file it was compared with, unchanged since.
bool finding_holds(const CopyEntry& entry, const platform::FileStamp& now) {
  return entry.target_stamped && entry.failure == 0 && entry.compared_chunks == held_chunk_count(entry) &&
         now == entry.target_stamp;
}

// Comparing the held part starts over from its beginning, with the open
// target positioned there.
void restart_comparing(CopyEntry& entry) {
  entry.compared_chunks = 0;
  entry.differs = false;
  entry.failure = 0;
  entry.remaining = entry.size - entry.slice_start;
  entry.target_stamped = platform::stamp_of(entry.target_handle, entry.target_stamp);
  entry.copy_stamp = entry.target_stamp;
}

// At the flush: opens the target to compare the held part from the start
// of the file. One whose attribute word has bits that reading does not
// keep is read with those bits cleared.
void open_compared_target(CopyEntry& entry) {
  close_compared_target(entry);
  entry.target_examined = true;
  if (needs_attribute_juggling(entry)) {
    platform::set_attributes(entry.target_path, entry.attributes & KEPT_BY_READING);
  }
  entry.target_handle = platform::open_without_waiting(entry.target_path);
  if (entry.target_handle == platform::NO_HANDLE) fatal_file_error(1, entry.target_path);
  restart_comparing(entry);
}

// At a later flush of a file read across flushes: the target stays the
// file opened at its first flush, so its open handle is what is checked,
// and the held part is compared again from where it begins in the file.
void check_later_part(CopyEntry& entry) {
  platform::FileStamp now;
  if (entry.compared_chunks == 0) return;
  if (platform::stamp_of(entry.target_handle, now) && finding_holds(entry, now)) return;
  restart_comparing(entry);
  if (!platform::seek_file(entry.target_handle, entry.slice_start)) note_failure(entry, 3);
}

// Looks at the target of an entry while its source is read: a file of the
// source's size, date, time and attributes is opened, its stamp taken,
// and compared as the chunks come.
void examine_target(CopyEntry& entry) {
  entry.target_examined = true;
  FileInfo target;
  entry.target_handle = platform::open_and_look_up(entry.target_path, target, platform::ArchiveBit::assumed_set,
                                                   &entry.target_stamp);
  bool opened = entry.target_handle != platform::NO_HANDLE;
  bool found = opened || platform::look_up(entry.target_path, target, platform::ArchiveBit::assumed_set);
  if (metadata_difference(entry, found, target) != nullptr) {
    close_compared_target(entry);
    return;
  }
  // Opening can fail where looking up does not.
  if (!opened) {
    note_failure(entry, 1);
    return;
  }
  entry.target_stamped = true;
  entry.copy_stamp = entry.target_stamp;
  if (entry.remaining == 0) close_compared_target(entry);
}

// Reads the target's next n bytes and compares them with data; false when
// they differ or the read falls short, which is noted. The pieces are small
// enough to stay in the processor's cache while they are compared.
bool target_piece_matches(CopyEntry& entry, const char* data, std::size_t n) {
  if (platform::read_fully(entry.target_handle, compare_buffer, n) < n) {
    note_failure(entry, 3);
    return false;
  }
  return std::memcmp(compare_buffer, data, n) == 0;
}

// After one chunk has been compared: a difference or a file error ends
// comparing, and so does the end of the file. The target of a file read
// across flushes stays open until its flush.
void end_chunk_comparison(CopyEntry& entry, std::size_t size, bool same) {
  ++entry.compared_chunks;
  entry.remaining -= size;
  if (!same) entry.differs = true;
  if ((!comparing(entry) || entry.remaining == 0) && !entry.in_progress) close_compared_target(entry);
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
// when the source is no longer as it was read.
bool read_source_again(const CopyEntry& entry, SourceReadAgain& source, std::uint64_t offset, std::size_t n) {
  if (!source.opened) {
    source.opened = true;
    source.handle = platform::open_without_waiting(entry.source_path);
    platform::FileStamp now;
    source.as_read = source.handle != platform::NO_HANDLE && platform::stamp_of(source.handle, now) &&
                     now == entry.source_stamp;
  }
  if (source.as_read && source.position != offset) source.as_read = platform::seek_file(source.handle, offset);
  source.as_read = source.as_read && platform::read_fully(source.handle, source_piece, n) == n;
  source.position = offset + n;
  return source.as_read;
}

// Compares, at the flush, the chunks held that have not been compared: from
// their data, or from the source read once more. A chunk's whole part of
// the target is read even after a difference, since a read that falls
// short is an error whatever the bytes before it. A source that is no
// longer as it was read cannot show what was read: the entry differs.
void compare_held_chunks(CopyEntry& entry) {
  SourceReadAgain source;
  std::uint64_t offset = entry.slice_start;
  for (int i = 0; i < entry.compared_chunks; ++i) offset += entry.chunks[i].size;
  while (entry.compared_chunks < MAX_CHUNKS && entry.chunks[entry.compared_chunks].data != nullptr &&
         !entry.differs) {
    const Chunk& chunk = entry.chunks[entry.compared_chunks];
    bool same = true;
    for (std::size_t done = 0; done < chunk.size && entry.failure == 0 && entry.target_handle != platform::NO_HANDLE;
         done += COMPARE_PIECE) {
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

// Compare mode while reading: examines the target of an entry met for the
// first time, unless a file error waits to be reported.
void examine_as_read(CopyEntry& entry) {
  if (compared_as_read(entry) && !examination_halted && !entry.target_examined) examine_target(entry);
}

// Compare mode while reading: reads the next chunk of the source piece by
// piece, comparing each piece at once with the target's.
void read_and_compare_chunk(CopyEntry& entry, platform::Handle source, std::size_t size) {
  examine_as_read(entry);
  bool same = true;
  for (std::size_t done = 0; done < size; done += COMPARE_PIECE) {
    std::size_t n = std::min(COMPARE_PIECE, size - done);
    if (platform::read_fully(source, source_piece, n) < n) fatal_file_error(3, entry.source_path);
    if (entry.target_handle == platform::NO_HANDLE || entry.failure != 0 || entry.differs) continue;
    same = target_piece_matches(entry, source_piece, n) && same;
  }
  end_chunk_comparison(entry, size, same);
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
  if (entry.failure != 0) {
    close_compared_target(entry);
    fatal_file_error(entry.failure, entry.target_path, entry.failure_reason);
  }
  if (!entry.differs && entry.unfinished) {
    // The next part is compared from the target as it is now.
    entry.unfinished = false;
    entry.in_progress = true;
    entry.slice_start = entry.size - entry.remaining;
    entry.target_stamped = platform::stamp_of(entry.target_handle, entry.target_stamp);
    return false;
  }
  close_compared_target(entry);
  entry.in_progress = false;
  if (entry.differs) {
    out().print("%s is different.\n", entry.target_path.c_str());
    entry.failed = true;
    entry.unfinished = true;
    entry.outcome = Outcome::not_done;
    return true;
  }
  out().print("%s is equal.\n", entry.target_path.c_str());
  --error_count;
  entry.outcome = Outcome::equal;
  return false;
}

bool compare_entries() {
  insert_target_disk();
  bool different = false;
  for (CopyEntry* entry = entry_head; entry != nullptr; entry = entry->next) {
    different = compare_file_entry(*entry);
  }
  // A file error met while reading did not come again at the flush: the
  // run goes on, and so does comparing while reading.
  examination_halted = false;
  return different;
}

// ---------------------------------------------------------------- finishing

// A source the run has handled, as its finishing steps need it.
struct Finishing {
  std::string source_path;
  std::string target_path;
  std::uint32_t attributes = 0;
  bool done = false;  // copied, or found equal, when last handled
  bool in_place = false;
  platform::FileStamp source_stamp;  // the source as it was read
  bool source_grew = false;          // only its start was read
  platform::FileStamp copy_stamp;    // its copy as the run left it
  std::uint64_t write_order = 0;     // which write of the run made the copy
};

// Option X: the last write of the run into each target file (by device
// and inode), so that a copy written over by a later one of the run never
// lets its source be deleted, whatever the sizes.
std::uint64_t writes_finished = 0;
std::map<std::pair<std::uint64_t, std::uint64_t>, std::uint64_t> last_writes;

// The sources whose finishing steps wait for the end of the run, in the
// order they were first handled, each with where it stands now; with
// option K, where each source's note is kept.
std::vector<Finishing> waiting;
std::unordered_map<std::string, std::size_t> waiting_place;

Finishing finishing_of(const CopyEntry& entry) {
  Finishing source;
  source.source_path = entry.source_path;
  source.target_path = entry.target_path;
  source.attributes = entry.attributes;
  source.done = entry.outcome == Outcome::copied || entry.outcome == Outcome::equal;
  source.in_place = entry.in_place;
  source.source_stamp = entry.source_stamp;
  source.source_grew = entry.source_grew;
  source.copy_stamp = entry.copy_stamp;
  source.write_order = entry.write_order;
  return source;
}

// The finishing steps wait for the end of the run when a later write of the
// run may still replace a copy: every cycle of option K writes its files
// again (and a cycle that walks again must find them all), and flattened
// files of one name share one target, which matters to option X alone.
bool finishing_waits() {
  return (options.multiple_copies && (options.update_archive || options.delete_source)) ||
         (options.flatten && options.delete_source);
}

// Notes that the copy of the entry has just been written completely.
void note_copy_written(CopyEntry& entry) {
  if (!options.delete_source || !platform::stamp_of(entry.target_path, entry.copy_stamp)) return;
  entry.write_order = ++writes_finished;
  last_writes[{entry.copy_stamp.device, entry.copy_stamp.inode}] = entry.write_order;
}

// Once an entry is finished, its write matters no more: a later write into
// the same file is judged by its own place among the writes.
void forget_write(const CopyEntry& entry) {
  auto last = last_writes.find({entry.copy_stamp.device, entry.copy_stamp.inode});
  if (last != last_writes.end() && last->second == entry.write_order) last_writes.erase(last);
}

// True when the source holds data its copy lacks: it had grown between
// its listing and its reading, which took the listed size, or it is no
// longer what was read.
bool changed_since_read(const Finishing& source) {
  platform::FileStamp now;
  return platform::stamp_of(source.source_path, now) && (source.source_grew || !(now == source.source_stamp));
}

// True when the target no longer is the copy the run left: it was removed
// or changed since, or a later write of the run went into it.
bool copy_not_as_left(const Finishing& source) {
  platform::FileStamp now;
  if (!platform::stamp_of(source.target_path, now) || !(now == source.copy_stamp)) return true;
  auto last = last_writes.find({now.device, now.inode});
  return last != last_writes.end() && last->second != source.write_order;
}

// True when the source is the only copy of its data there is: it is its
// own target, it changed after it was read, or its copy is not as left.
bool only_copy(const Finishing& source) {
  return source.in_place || platform::name_one_file(source.source_path, source.target_path) ||
         changed_since_read(source) || copy_not_as_left(source);
}

// Deletes the source unless it must be kept; a read-only source is offered
// for deleting, and is judged again once the question is answered, since
// its copy may have changed while the question waited.
void delete_source(const Finishing& source, bool keep) {
  const char* path = source.source_path.c_str();
  if (!keep && platform::delete_unless_read_only(source.source_path)) return;
  if (!keep) {
    err().print("Delete the read-only file: %s", path);
    if (!answered_yes("? (Y/N): ")) return;
    keep = only_copy(source);
  }
  if (!keep) {
    platform::set_attributes(source.source_path, source.attributes & platform::ARCHIVE);
    if (platform::delete_unless_read_only(source.source_path)) return;
  }
  out().print("Could not delete %s\n", path);
}

void finish(Finishing source) {
  insert_source_disk();
  // A directory is not a file to delete. Whether the source must stay is
  // judged before option B changes its attribute word, which then gives
  // the source the stamp it is judged by again.
  bool deleting = options.delete_source && (source.attributes & platform::DIRECTORY) == 0;
  bool keep = deleting && only_copy(source);
  if (options.update_archive) {
    platform::set_attributes(source.source_path, source.attributes & ~platform::ARCHIVE);
    if (deleting && !keep) platform::stamp_of(source.source_path, source.source_stamp);
  }
  if (deleting) delete_source(source, keep);
}

// An entry leaves the list: its finishing steps are done now, or noted to
// be done at the end of the run (where a later note of the same source,
// read again by a later cycle, takes the earlier one's place).
void settle_finishing(const CopyEntry& entry) {
  if (!options.update_archive && !options.delete_source) return;
  if (!finishing_waits()) {
    if (entry.outcome == Outcome::copied || entry.outcome == Outcome::equal) {
      if (!cancelled) finish(finishing_of(entry));
    }
    forget_write(entry);
    return;
  }
  // Only a later cycle of option K handles a source a second time.
  if (options.multiple_copies) {
    auto [place, added] = waiting_place.try_emplace(entry.source_path, waiting.size());
    if (!added) {
      waiting[place->second] = finishing_of(entry);
      return;
    }
  }
  waiting.push_back(finishing_of(entry));
}

// The files pass of walking one directory: every listed entry that
// matches the pattern is selected. The listing is gone before the walk
// enters the subdirectories.
void select_listed_files(std::size_t name_position, std::size_t target_position) {
  std::uint32_t mask = (options.include_hidden ? platform::HIDDEN | platform::SYSTEM : 0) |
                       (options.void_dirs ? platform::DIRECTORY : 0);
  std::vector<FileInfo> listed;
  // Compare mode ignores the archive bit unless option A selects by it or
  // the attribute word is written back (hidden files).
  bool archive_ignored = options.compare_only && !options.archive_only;
  platform::list_directory(source_path, mask, listed,
                           archive_ignored ? platform::ArchiveBit::hidden_only : platform::ArchiveBit::read);
  for (const FileInfo& info : listed) {
    // A hidden directory passes the mask too, but only option V makes
    // directories entries of their own; otherwise it is just entered below.
    bool is_directory = (info.attributes & platform::DIRECTORY) != 0;
    if (is_directory && !options.void_dirs) continue;
    select_file(info, name_position, target_position);
    insert_source_disk();
  }
}

}  // namespace

bool allocate_compare_buffer() {
  compare_buffer = platform::allocate_block(2 * COMPARE_PIECE);
  source_piece = compare_buffer == nullptr ? nullptr : compare_buffer + COMPARE_PIECE;
  return compare_buffer != nullptr;
}

void walk_directory(std::size_t name_position) {
  std::size_t target_position = target_path.size();
  insert_source_disk();
  select_listed_files(name_position, target_position);
  if (options.no_subdirs) return;
  std::string directory = source_path.substr(0, name_position);
  std::vector<std::string> subdirectories;
  platform::list_subdirectories(directory, subdirectories);
  for (const std::string& name : subdirectories) {
    if (is_target_folder(directory + name)) continue;
    source_path = directory + name + source_pattern;
    target_path.resize(target_position);
    if (!options.flatten) target_path += name + platform::SEPARATOR;
    walk_directory(name_position + name.size() + 1);
  }
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

void finish_run() {
  release_entries();
  if (cancelled) return;
  for (const Finishing& source : waiting) {
    if (source.done) finish(source);
  }
}

void reset_entries() {
  for (CopyEntry* entry = entry_head; entry != nullptr; entry = entry->next) {
    entry->unfinished = false;
    entry->in_progress = false;
    entry->failed = false;
    entry->in_place = false;
    entry->target_handle = platform::NO_HANDLE;
    entry->remaining = held_bytes(*entry);
    entry->target_examined = false;
    entry->target_stamped = false;
    entry->slice_start = 0;
    entry->compared_chunks = 0;
    entry->differs = false;
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

void make_directories(const std::string& path) {
  std::string built = !path.empty() && path[0] == platform::SEPARATOR ? path.substr(0, 1) : "";
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find(platform::SEPARATOR, start);
    if (end == std::string::npos) end = path.size();
    if (end > start) {
      built.append(path, start, end - start);
      bool drive = built.size() >= 2 && std::isalpha(static_cast<unsigned char>(built[0])) && built[1] == ':' &&
                   (built.size() == 2 || (built.size() == 3 && built[2] == '.'));
      FileInfo found;
      if (built != "." && !drive && !platform::look_up(built, found, platform::ArchiveBit::assumed_set)) {
        if (!platform::make_directory(built)) fatal_file_error(5, built);
        out().print("\"%s\" directory has been created\n", built.c_str());
        ++dir_count;
      }
      built += platform::SEPARATOR;
    }
    start = end + 1;
  }
}

void fatal_file_error(int index, const std::string& path) {
  fatal_file_error(index, path, platform::last_error_text());
}

void fatal_file_error(int index, const std::string& path, const std::string& reason) {
  err().print("\nDUPRO:\t%s %s.\n", FILE_ERRORS[index - 1], path.c_str());
  err().print("\t%s\n", reason.c_str());
  suite::end_program(FILE_ERROR);
}

}  // namespace dupro
