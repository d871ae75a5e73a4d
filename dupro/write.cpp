// Writing the entries held: creating the targets (and the directories
// they need), replacing read-only ones, retrying failed writes, and
// giving each finished copy its time and attributes.
#include "common/text.h"
#include "dupro/engine_parts.h"
#include "dupro/options.h"
#include "dupro/prompt.h"

namespace dupro {

namespace {

// True for a drive alone ("B:") or with '.' after it ("B:."): the
// current directory of a drive, never a directory to make.
bool is_drive_alone(const std::string& path) {
  char letter = path.empty() ? '\0' : suite::upper_ascii(path[0]);
  bool drive = letter >= 'A' && letter <= 'Z' && path.size() >= 2 && path[1] == ':';
  return drive && (path.size() == 2 || (path.size() == 3 && path[2] == '.'));
}

// True when a file or directory of that name is there, hidden and system
// ones included.
bool names_something(const std::string& path) {
  FileInfo found;
  return platform::look_up(path, found, platform::ArchiveBit::assumed_set);
}

// Makes every missing level of the path, outermost first, each announced
// on a line of its own.
void make_directories(const std::string& path) {
  std::string built = !path.empty() && path[0] == platform::SEPARATOR ? path.substr(0, 1) : "";
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find(platform::SEPARATOR, start);
    if (end == std::string::npos) end = path.size();
    if (end > start) {
      built.append(path, start, end - start);
      if (built != "." && !is_drive_alone(built) && !names_something(built)) {
        if (!platform::make_directory(built)) fatal_file_error(FileError::cannot_create_directory, built);
        out().print("\"%s\" directory has been created\n", built.c_str());
        ++dir_count;
      }
      built += platform::SEPARATOR;
    }
    start = end + 1;
  }
}

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
        if (slash == std::string::npos) fatal_file_error(FileError::cannot_create_file, entry.target_path);
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
        fatal_file_error(FileError::cannot_create_file, entry.target_path);
    }
    handle = platform::create_file(entry.target_path, entry.source_path, failure);
    if (handle == platform::NO_HANDLE) fatal_file_error(FileError::cannot_create_file, entry.target_path);
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

// Copies into the new target the first `length` bytes of the source, which
// earlier flushes wrote and the entry does not hold, reading them from the
// source once more. False when a read or a write falls short, or when the
// source has changed since it was read, so that its start would not match
// the rest.
bool rewrite_from_source(CopyEntry& entry, std::uint64_t length) {
  platform::Handle source = platform::open_without_waiting(entry.source_path);
  char* buffer = platform::allocate_data(CHUNK_SIZE);
  bool complete = buffer != nullptr && is_source_as_read(entry, source);
  while (complete && length > 0) {
    std::size_t n = next_chunk_size(length);
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
    mark_failed(entry);
    return true;
  }
  if (entry.unfinished) {
    mark_part_handled(entry);
    return false;
  }
  finish_copy(entry);
  return false;
}

}  // namespace

bool write_entries() {
  insert_target_disk();
  bool not_written = false;
  for (CopyEntry* entry = first_entry(); entry != nullptr; entry = entry->next) {
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

}  // namespace dupro
