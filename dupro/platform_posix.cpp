// POSIX implementation of Dupro's file-system operations.
//
// Attribute words: read-only is the owner's write permission bit being
// clear; hidden is a name beginning with '.'; nothing is a system file; the
// archive bit is emulated with the extended attribute "user.archive", which
// records the modification time and size the file had when its archive bit
// was cleared: the bit reads as set when the record is missing or no longer
// matches the file.
#include "dupro/platform.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "common/arguments.h"
#include "dupro/platform_memory.h"

namespace dupro::platform {

namespace {

constexpr const char* ARCHIVE_RECORD = "user.archive";

int last_error_number = 0;
mode_t creation_mask = 0;

// Which open handles are files this run created (rather than truncated).
std::vector<bool> fresh_handles;

void mark_fresh(Handle handle, bool fresh) {
  std::size_t index = static_cast<std::size_t>(handle);
  if (index >= fresh_handles.size()) {
    if (!fresh) return;
    fresh_handles.resize(index + 1);
  }
  fresh_handles[index] = fresh;
}

bool is_fresh(Handle handle) {
  std::size_t index = static_cast<std::size_t>(handle);
  return index < fresh_handles.size() && fresh_handles[index];
}

bool fail(int error) {
  last_error_number = error;
  return false;
}

std::string archive_record_of(const struct stat& info) {
  char text[80];
  std::snprintf(text, sizeof text, "%lld.%09ld:%lld", static_cast<long long>(info.st_mtim.tv_sec),
                static_cast<long>(info.st_mtim.tv_nsec), static_cast<long long>(info.st_size));
  return text;
}

bool archive_bit_set(const std::string& path, const struct stat& info) {
  char stored[80];
  ssize_t length = getxattr(path.c_str(), ARCHIVE_RECORD, stored, sizeof stored);
  if (length <= 0) return true;
  return archive_record_of(info) != std::string(stored, static_cast<std::size_t>(length));
}

bool is_dot_name(const std::string& name) { return name == "." || name == ".."; }

// True when the path names the file whose status is known.
bool is_same_file(const struct stat& known, const std::string& path) {
  struct stat other;
  return stat(path.c_str(), &other) == 0 && known.st_dev == other.st_dev && known.st_ino == other.st_ino;
}

std::uint32_t attributes_of(const std::string& path, const std::string& name, const struct stat& info,
                            ArchiveBit archive) {
  std::uint32_t attributes = 0;
  if (S_ISDIR(info.st_mode)) attributes |= DIRECTORY;
  if ((info.st_mode & S_IWUSR) == 0) attributes |= READ_ONLY;
  if (!name.empty() && name[0] == '.' && !is_dot_name(name)) attributes |= HIDDEN;
  bool read_bit = archive == ArchiveBit::read || (archive == ArchiveBit::hidden_only && (attributes & HIDDEN));
  if (!read_bit || archive_bit_set(path, info)) attributes |= ARCHIVE;
  return attributes;
}

std::string last_component(const std::string& path) {
  std::string trimmed = path;
  while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
  std::size_t slash = trimmed.rfind('/');
  return slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
}

void fill_info(const std::string& path, const std::string& name, const struct stat& info, ArchiveBit archive,
               FileInfo& entry) {
  entry.name = name;
  entry.size = S_ISDIR(info.st_mode) ? 0 : static_cast<std::uint64_t>(info.st_size);
  entry.attributes = attributes_of(path, name, info, archive);
  to_date_time(static_cast<std::int64_t>(info.st_mtim.tv_sec), entry.date, entry.time);
}

// Only regular files and folders take part in a copy; a link to a folder is
// not followed, so a link cannot make the walk go round in a circle.
bool is_copyable(const struct dirent& item, const struct stat& info) {
  if (S_ISDIR(info.st_mode)) return item.d_type != DT_LNK;
  return S_ISREG(info.st_mode);
}

std::int64_t nanoseconds(const struct timespec& moment) {
  return static_cast<std::int64_t>(moment.tv_sec) * 1000000000 + moment.tv_nsec;
}

void fill_stamp(const struct stat& info, FileStamp& stamp) {
  stamp.device = static_cast<std::uint64_t>(info.st_dev);
  stamp.inode = static_cast<std::uint64_t>(info.st_ino);
  stamp.size = static_cast<std::uint64_t>(info.st_size);
  stamp.modified = nanoseconds(info.st_mtim);
  stamp.changed = nanoseconds(info.st_ctim);
}

}  // namespace

bool list_directory(const std::string& pattern_path, std::uint32_t mask, std::vector<FileInfo>& entries,
                    ArchiveBit archive) {
  std::size_t slash = pattern_path.rfind('/');
  std::string folder = slash == std::string::npos ? "" : pattern_path.substr(0, slash + 1);
  std::string pattern = slash == std::string::npos ? pattern_path : pattern_path.substr(slash + 1);
  DIR* directory = opendir(folder.empty() ? "." : folder.c_str());
  if (directory == nullptr) return fail(errno);
  int folder_handle = dirfd(directory);
  while (struct dirent* item = readdir(directory)) {
    std::string name = item->d_name;
    if (is_dot_name(name) || !suite::wildcard_match(pattern, name)) continue;
    struct stat info;
    if (fstatat(folder_handle, item->d_name, &info, 0) != 0 || !is_copyable(*item, info)) continue;
    FileInfo entry;
    fill_info(folder + name, name, info, archive, entry);
    std::uint32_t special = entry.attributes & (HIDDEN | SYSTEM | DIRECTORY);
    if (special != 0 && (special & mask) == 0) continue;
    entries.push_back(std::move(entry));
  }
  closedir(directory);
  return true;
}

bool list_subdirectories(const std::string& folder, std::vector<std::string>& names) {
  DIR* directory = opendir(folder.empty() ? "." : folder.c_str());
  if (directory == nullptr) return fail(errno);
  int folder_handle = dirfd(directory);
  while (struct dirent* item = readdir(directory)) {
    std::string name = item->d_name;
    if (is_dot_name(name)) continue;
    bool is_folder = item->d_type == DT_DIR;
    if (item->d_type == DT_UNKNOWN) {
      struct stat info;
      is_folder = fstatat(folder_handle, item->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(info.st_mode);
    }
    if (is_folder) names.push_back(std::move(name));
  }
  closedir(directory);
  return true;
}

bool look_up(const std::string& path, FileInfo& info, ArchiveBit archive, FileStamp* stamp) {
  struct stat status;
  if (stat(path.c_str(), &status) != 0) return fail(errno);
  fill_info(path, last_component(path), status, archive, info);
  if (stamp != nullptr) fill_stamp(status, *stamp);
  return true;
}


bool stamp_of(const std::string& path, FileStamp& stamp) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return fail(errno);
  fill_stamp(info, stamp);
  return true;
}

bool stamp_of(Handle handle, FileStamp& stamp) {
  struct stat info;
  if (fstat(static_cast<int>(handle), &info) != 0) return fail(errno);
  fill_stamp(info, stamp);
  return true;
}

Handle open_without_waiting(const std::string& path) {
  // Not waiting: opening a named pipe would wait for a writer for ever;
  // and a terminal met in the target's place never becomes this
  // program's own.
  int handle = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (handle < 0) {
    fail(errno);
    return NO_HANDLE;
  }
  return handle;
}

Handle open_and_look_up(const std::string& path, FileInfo& info, ArchiveBit archive, FileStamp* stamp) {
  Handle handle = open_without_waiting(path);
  if (handle == NO_HANDLE) return NO_HANDLE;
  struct stat status;
  if (fstat(static_cast<int>(handle), &status) != 0) {
    fail(errno);
    suite::platform::close_handle(handle);
    return NO_HANDLE;
  }
  fill_info(path, last_component(path), status, archive, info);
  if (stamp != nullptr) fill_stamp(status, *stamp);
  return handle;
}

namespace {

// Only a read-only file that exists is refused as permission denied (a
// file to offer for replacing): every other refusal (a folder where no file
// can be made, a folder in the file's place, a read-only file system,
// another owner's file) is a failure of another kind.
CreateFailure create_failure_of(int error) {
  switch (error) {
    case ENOENT: return CreateFailure::no_such_file;
    case ENOTDIR: return CreateFailure::path_not_found;
    default: return CreateFailure::other;
  }
}

Handle failed_create(int error, CreateFailure& failure) {
  fail(error);
  failure = create_failure_of(error);
  return NO_HANDLE;
}

}  // namespace

Handle create_file(const std::string& path, const std::string& source, CreateFailure& failure) {
  failure = CreateFailure::none;
  int handle = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (handle >= 0) {
    mark_fresh(handle, true);
    return handle;
  }
  if (errno != EEXIST) return failed_create(errno, failure);
  struct stat info;
  if (stat(path.c_str(), &info) == 0) {
    if (is_same_file(info, source)) {
      failure = CreateFailure::is_source;
      return NO_HANDLE;
    }
    if (S_ISDIR(info.st_mode)) return failed_create(EISDIR, failure);
    if ((info.st_mode & S_IWUSR) == 0) {
      failed_create(EACCES, failure);
      failure = CreateFailure::permission_denied;
      return NO_HANDLE;
    }
  }
  // Not waiting: opening a named pipe would wait for a reader for ever;
  // nor does a terminal become this program's own.
  handle = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (handle < 0) return failed_create(errno, failure);
  return handle;
}

// A read that gives nothing leaves errno as it was at the end of the
// file: cleared before, it then tells the end (0) from a failure.
std::size_t read_fully(Handle handle, char* buffer, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    errno = 0;
    std::size_t got = suite::platform::read_bytes(handle, buffer + done, size - done);
    if (got == 0) {
      fail(errno);
      break;
    }
    done += got;
  }
  return done;
}

std::size_t write_fully(Handle handle, const char* data, std::size_t size) {
  errno = 0;
  std::size_t done = suite::platform::write_bytes(handle, data, size);
  if (done < size) fail(errno);
  return done;
}

bool seek_file(Handle handle, std::uint64_t offset) {
  if (lseek(static_cast<int>(handle), static_cast<off_t>(offset), SEEK_SET) < 0) return fail(errno);
  return true;
}

void close_file(Handle handle) {
  if (handle == NO_HANDLE) return;
  mark_fresh(handle, false);
  suite::platform::close_handle(handle);
}

bool finish_file(Handle handle, const std::string& path, std::uint16_t date, std::uint16_t time,
                 std::uint32_t attributes) {
  set_file_time(handle, date, time);
  // A file this run created has no archive record and is writable unless
  // the creation mask took the owner's write permission away.
  bool as_created = is_fresh(handle) && (attributes & ARCHIVE) && !(attributes & READ_ONLY) &&
                    (creation_mask & S_IWUSR) == 0;
  mark_fresh(handle, false);
  if (!suite::platform::close_handle(handle)) return fail(errno);
  if (!as_created) set_attributes(path, attributes);
  return true;
}

void to_date_time(std::int64_t seconds, std::uint16_t& date, std::uint16_t& time) {
  std::time_t moment = static_cast<std::time_t>(seconds);
  struct tm local;
  if (localtime_r(&moment, &local) == nullptr || local.tm_year < 80) {
    date = 1 << 5 | 1;  // the first day the words can hold
    time = 0;
    return;
  }
  if (local.tm_year > 207) {
    date = 127 << 9 | 12 << 5 | 31;
    time = 23 << 11 | 59 << 5 | 29;
    return;
  }
  date = static_cast<std::uint16_t>((local.tm_year - 80) << 9 | (local.tm_mon + 1) << 5 | local.tm_mday);
  time = static_cast<std::uint16_t>(local.tm_hour << 11 | local.tm_min << 5 | local.tm_sec / 2);
}

bool set_file_time(Handle handle, std::uint16_t date, std::uint16_t time) {
  struct tm local = {};
  local.tm_year = (date >> 9) + 80;
  local.tm_mon = ((date >> 5) & 15) - 1;
  local.tm_mday = date & 31;
  local.tm_hour = time >> 11;
  local.tm_min = (time >> 5) & 63;
  local.tm_sec = (time & 31) * 2;
  local.tm_isdst = -1;
  struct timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;
  times[1].tv_sec = std::mktime(&local);
  times[1].tv_nsec = 0;
  if (futimens(static_cast<int>(handle), times) != 0) return fail(errno);
  return true;
}

bool set_attributes(const std::string& path, std::uint32_t attributes) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return fail(errno);
  mode_t wanted = (attributes & READ_ONLY) ? info.st_mode & ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH)
                                          : info.st_mode | S_IWUSR;
  mode_t current = info.st_mode;
  // Extended attributes can be changed only while the file is writable.
  auto make_writable = [&] {
    if ((current & S_IWUSR) == 0 && chmod(path.c_str(), current | S_IWUSR) == 0) current |= S_IWUSR;
  };
  int error = 0;
  if (attributes & ARCHIVE) {
    // Only a file with a record has one to remove; the others are left
    // untouched.
    if (getxattr(path.c_str(), ARCHIVE_RECORD, nullptr, 0) >= 0) {
      make_writable();
      if (removexattr(path.c_str(), ARCHIVE_RECORD) != 0 && errno != ENODATA) error = errno;
    }
  } else {
    make_writable();
    std::string record = archive_record_of(info);
    if (setxattr(path.c_str(), ARCHIVE_RECORD, record.data(), record.size(), 0) != 0 && errno != ENOTSUP) {
      error = errno;
    }
  }
  // The permission bits are set even when the record could not be, so that
  // a read-only file can always be made writable to replace or delete it.
  if ((wanted & 07777) != (current & 07777) && chmod(path.c_str(), wanted & 07777) != 0) return fail(errno);
  if (error != 0) return fail(error);
  return true;
}

bool delete_unless_read_only(const std::string& path) {
  struct stat info;
  if (lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & S_IWUSR) == 0) return fail(EACCES);
  if (!suite::platform::delete_file(path)) return fail(errno);
  return true;
}

bool make_directory(const std::string& path) {
  if (::mkdir(path.c_str(), 0777) != 0) return fail(errno);
  return true;
}

std::string last_error_text() {
  if (last_error_number == 0) return "Unknown error";
  return std::strerror(last_error_number);
}

bool current_directory(std::string& path) {
  char* found = getcwd(nullptr, 0);
  if (found == nullptr) return fail(errno);
  path = found;
  std::free(found);
  return true;
}

const char SEPARATOR = '/';

bool change_directory(const std::string& path) {
  if (::chdir(path.c_str()) != 0) return fail(errno);
  return true;
}

// There are no drives here.
bool change_drive(char) { return false; }

std::size_t memory_budget() {
  long pages = sysconf(_SC_PHYS_PAGES);
  long page_size = sysconf(_SC_PAGESIZE);
  std::size_t budget = static_cast<std::size_t>(pages) * static_cast<std::size_t>(page_size) / 2;
  struct rlimit limit;
  if (getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return budget;
  std::size_t in_use = 0;
  if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
    unsigned long size_pages = 0;
    if (std::fscanf(statm, "%lu", &size_pages) == 1) in_use = size_pages * static_cast<std::size_t>(page_size);
    std::fclose(statm);
  }
  std::size_t left = limit.rlim_cur > in_use ? limit.rlim_cur - in_use : 0;
  // What the program needs besides file data (stream buffers, names,
  // listings, the rests of data regions) stays outside the budget: a fixed
  // part for the streams and a run's first allocations, and a share that
  // grows with the data a larger limit lets it hold.
  std::size_t margin = 2 * 1024 * 1024 + left / 8;
  left = left > margin ? left - margin : 0;
  return std::min(budget, left);
}


char* map_memory(std::size_t size) {
  void* base = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  return base == MAP_FAILED ? nullptr : static_cast<char*>(base);
}

// Maps the memory in one step, instead of a fault per page.
void make_memory_ready(char* start, std::size_t size) { madvise(start, size, MADV_POPULATE_WRITE); }

void prepare_platform() {
  creation_mask = umask(0);
  umask(creation_mask);
}

}  // namespace dupro::platform
