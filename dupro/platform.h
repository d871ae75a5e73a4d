// Dupro's file-system operations: directory listing with attribute masks,
// attribute words, local-time date and time words, raw file access,
// directories, the current directory and the memory budget for file data.
// Only the platform files implement these.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/platform.h"

namespace dupro::platform {

using Handle = suite::platform::Handle;
constexpr Handle NO_HANDLE = suite::platform::NO_HANDLE;

// Attribute bits of the attribute word.
constexpr std::uint32_t READ_ONLY = 0x01;
constexpr std::uint32_t HIDDEN = 0x02;
constexpr std::uint32_t SYSTEM = 0x04;
constexpr std::uint32_t DIRECTORY = 0x10;
constexpr std::uint32_t ARCHIVE = 0x20;

struct FileInfo {
  std::string name;
  std::uint64_t size = 0;
  std::uint32_t attributes = 0;
  std::uint16_t time = 0;  // hours << 11 | minutes << 5 | seconds / 2
  std::uint16_t date = 0;  // (year - 1980) << 9 | month << 5 | day
};

// What tells one state of a file from another: the file itself (device and
// inode), its size, and its modification and change times to the
// nanosecond. Writing the file, truncating it or changing its attributes
// gives it another stamp; another file put in its place has another too.
struct FileStamp {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::uint64_t size = 0;
  std::int64_t modified = 0;
  std::int64_t changed = 0;
  bool operator==(const FileStamp&) const = default;
};

// The stamp of what a path names, or of an open file; false when there is
// none to take.
bool stamp_of(const std::string& path, FileStamp& stamp);
bool stamp_of(Handle handle, FileStamp& stamp);

// Whether a listing or lookup reads the archive bit (which costs a call of
// its own per file) or reports it as set, for callers that ignore it;
// hidden_only reads it for hidden entries alone, whose attribute word is
// written back after they have been read.
enum class ArchiveBit { read, hidden_only, assumed_set };

// Lists the entries of the folder part of `pattern_path` whose names match
// its last component ('*' and '?' wildcards, "*.*" matching every name),
// in the folder's own order, "." and ".." left out. An entry that is
// hidden, system or a folder is listed only when one of those bits of it
// is also in `mask`. False when the folder cannot be read.
bool list_directory(const std::string& pattern_path, std::uint32_t mask, std::vector<FileInfo>& entries,
                    ArchiveBit archive = ArchiveBit::read);
// The names of the folders inside a folder ("" for the current one),
// hidden ones included, "." and ".." left out, links to folders not
// followed. False when the folder cannot be read.
bool list_subdirectories(const std::string& folder, std::vector<std::string>& names);
// Information on one path (file or folder), and its stamp when asked for;
// false when nothing is there.
bool look_up(const std::string& path, FileInfo& info, ArchiveBit archive = ArchiveBit::read,
             FileStamp* stamp = nullptr);
// True when both paths name one file (the same device and inode), as
// their stamps tell.
bool name_one_file(const std::string& first, const std::string& second);

enum class CreateFailure { none, no_such_file, path_not_found, permission_denied, is_source, other };

// Raw-byte access. Opens a file for reading without waiting for a writer
// (a named pipe) and without making a terminal the program's own. Callers
// open only what a listing or a lookup showed to be a file: a folder may
// open, but reading it fails.
Handle open_without_waiting(const std::string& path);
// Opens a file for reading as open_without_waiting does, with its
// information as look_up gives it; NO_HANDLE when it cannot be opened. One
// lookup of the path where look_up and open_without_waiting make two.
Handle open_and_look_up(const std::string& path, FileInfo& info, ArchiveBit archive = ArchiveBit::read,
                        FileStamp* stamp = nullptr);
// Creates a file or truncates an existing one for writing; a read-only
// file is refused with permission_denied, and the file that `source` names
// is never truncated (is_source).
Handle create_file(const std::string& path, const std::string& source, CreateFailure& failure);
// Move size bytes, reading or writing again after a short transfer; fewer
// means an error or the end of the file, which last_error_text describes.
std::size_t read_fully(Handle handle, char* buffer, std::size_t size);
std::size_t write_fully(Handle handle, const char* data, std::size_t size);
// The next read of the open file starts at the offset; false when the file
// cannot be positioned.
bool seek_file(Handle handle, std::uint64_t offset);
void close_file(Handle handle);

// The open file's modification time becomes the date and time words, taken
// as local time; its other times stay.
bool set_file_time(Handle handle, std::uint16_t date, std::uint16_t time);
// Gives a written file its modification time (as set_file_time) and its
// attribute word (as set_attributes), and closes it. False when closing
// fails: the file system could not keep what was written.
bool finish_file(Handle handle, const std::string& path, std::uint16_t date, std::uint16_t time,
                 std::uint32_t attributes);
// The path's attribute word becomes `attributes` as far as the platform
// keeps attributes (read-only and archive).
bool set_attributes(const std::string& path, std::uint32_t attributes);
// Deletes a file; a read-only file is refused.
bool delete_unless_read_only(const std::string& path);
bool make_directory(const std::string& path);
// A one-line description of the last failure.
std::string last_error_text();

// The separator of path components in the paths the program composes and
// prints.
extern const char SEPARATOR;

// The current directory as an absolute path, and changing it (false when
// the path is not an existing directory). Where paths have drives, the
// drive keeps the directory as its own current one.
bool current_directory(std::string& path);
bool change_directory(const std::string& path);
// Makes the drive named by its letter current, in the directory it keeps
// (its root when it keeps none); false when there is no such drive.
bool change_drive(char letter);

// Date and time words of a moment, in local time.
void to_date_time(std::int64_t seconds, std::uint16_t& date, std::uint16_t& time);

// File data is allocated within a budget (half the physical memory, or what
// the address-space limit leaves, whichever is smaller), so that running
// out of memory is seen as a failed allocation. Returns nullptr then.
// Data is released all together by the flushes, so its memory is used
// again from the start once everything has been released.
char* allocate_data(std::size_t size);
void release_data(char* data, std::size_t size);
// A block held for the whole run, within the same budget.
char* allocate_block(std::size_t size);
// Counts other memory the program holds for file data (its entries)
// against the same budget; false when the budget has no room.
bool take_budget(std::size_t size);
void give_budget(std::size_t size);

// Prepares the process at its start: the memory budget is measured against
// what the process uses before any file data.
void prepare_process();

}  // namespace dupro::platform
