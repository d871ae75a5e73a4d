// Win32 implementation of Dupro's file-system operations: the file
// system's own attribute words, archive bit and local-time date and time
// words, drive letters with a current directory of their own each.
#include "dupro/platform.h"

#include <windows.h>

#include <cstring>

#include "common/arguments.h"
#include "dupro/platform_memory.h"

namespace dupro::platform {

namespace {

DWORD last_error_number = 0;

bool fail(DWORD error) {
  last_error_number = error;
  return false;
}

bool fail_with_last_error() { return fail(GetLastError()); }

HANDLE native(Handle handle) { return reinterpret_cast<HANDLE>(handle); }
Handle portable(HANDLE handle) { return reinterpret_cast<Handle>(handle); }

constexpr DWORD SHARE_ALL = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// The bits of the attribute word the program knows; the file system's
// other bits (compressed, not indexed and so on) are not the program's.
constexpr DWORD WORD_BITS = READ_ONLY | HIDDEN | SYSTEM | DIRECTORY | ARCHIVE;
// The bits a file's attributes can be set to.
constexpr DWORD SETTABLE_BITS = READ_ONLY | HIDDEN | SYSTEM | ARCHIVE;

bool is_dot_name(const char* name) { return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0; }

std::string last_component(const std::string& path) {
  std::string trimmed = path;
  while (trimmed.size() > 1 && (trimmed.back() == '\\' || trimmed.back() == '/')) trimmed.pop_back();
  std::size_t separator = trimmed.find_last_of("\\/:");
  return separator == std::string::npos ? trimmed : trimmed.substr(separator + 1);
}

// Everything up to and including the last separator or drive colon.
std::string folder_of(const std::string& path) {
  std::size_t separator = path.find_last_of("\\/:");
  return separator == std::string::npos ? "" : path.substr(0, separator + 1);
}

std::uint64_t joined(DWORD high, DWORD low) { return static_cast<std::uint64_t>(high) << 32 | low; }

std::int64_t ticks_of(const FILETIME& moment) {
  return static_cast<std::int64_t>(joined(moment.dwHighDateTime, moment.dwLowDateTime));
}

// The first and the last moment the date and time words can hold.
void earliest_date_time(std::uint16_t& date, std::uint16_t& time) {
  date = 1 << 5 | 1;
  time = 0;
}

void latest_date_time(std::uint16_t& date, std::uint16_t& time) {
  date = 127 << 9 | 12 << 5 | 31;
  time = 23 << 11 | 59 << 5 | 29;
}

void to_words(const FILETIME& moment, std::uint16_t& date, std::uint16_t& time) {
  FILETIME local;
  SYSTEMTIME parts;
  if (!FileTimeToLocalFileTime(&moment, &local) || !FileTimeToSystemTime(&local, &parts) || parts.wYear < 1980) {
    earliest_date_time(date, time);
    return;
  }
  if (parts.wYear > 2107) {
    latest_date_time(date, time);
    return;
  }
  WORD dos_date = 0, dos_time = 0;
  if (!FileTimeToDosDateTime(&local, &dos_date, &dos_time)) {
    earliest_date_time(date, time);
    return;
  }
  date = dos_date;
  time = dos_time;
}

void fill_info(const std::string& name, DWORD attributes, std::uint64_t size, const FILETIME& written,
               FileInfo& info) {
  info.name = name;
  info.attributes = attributes & WORD_BITS;
  info.size = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : size;
  to_words(written, info.date, info.time);
}

// A folder reached through a link is not entered, so that a link cannot
// make the walk go round in a circle.
bool is_linked_folder(DWORD attributes) {
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Lists every entry of a folder but "." and "..", calling take for each;
// false when the folder cannot be read. An empty listing is no failure.
template <typename Take>
bool list_folder(const std::string& folder, Take take) {
  std::string pattern = folder;
  if (!pattern.empty() && pattern.find_last_of("\\/:") != pattern.size() - 1) pattern += '\\';
  pattern += '*';
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES || fail(error);
  }
  do {
    if (!is_dot_name(found.cFileName)) take(found);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return true;
}

// The handle's identity, size and times; false when the system cannot tell
// them.
bool stamp_of_native(HANDLE handle, FileStamp& stamp, BY_HANDLE_FILE_INFORMATION& info) {
  if (!GetFileInformationByHandle(handle, &info)) return fail_with_last_error();
  stamp.device = info.dwVolumeSerialNumber;
  stamp.inode = joined(info.nFileIndexHigh, info.nFileIndexLow);
  stamp.size = joined(info.nFileSizeHigh, info.nFileSizeLow);
  stamp.modified = ticks_of(info.ftLastWriteTime);
  // The change time moves with every change of the file, its attributes
  // included; where the system does not keep one, the creation time stands.
  FILE_BASIC_INFO basic;
  if (GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic)) {
    stamp.changed = basic.ChangeTime.QuadPart;
  } else {
    stamp.changed = ticks_of(info.ftCreationTime);
  }
  return true;
}

// Opening with no access at all reads what the system knows of anything,
// a folder included, without disturbing a program that holds it.
HANDLE open_to_inspect(const std::string& path) {
  return CreateFileA(path.c_str(), 0, SHARE_ALL, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

bool stamp_of_path(const std::string& path, FileStamp& stamp) {
  HANDLE handle = open_to_inspect(path);
  if (handle == INVALID_HANDLE_VALUE) return fail_with_last_error();
  BY_HANDLE_FILE_INFORMATION info;
  bool known = stamp_of_native(handle, stamp, info);
  CloseHandle(handle);
  return known;
}

// The kinds of failure the engine tells apart. A read-only file that
// exists is told apart before the file is opened.
CreateFailure create_failure_of(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND: return CreateFailure::no_such_file;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_PATHNAME:
    case ERROR_INVALID_NAME: return CreateFailure::path_not_found;
    default: return CreateFailure::other;
  }
}

Handle failed_create(DWORD error, CreateFailure& failure) {
  fail(error);
  failure = create_failure_of(error);
  return NO_HANDLE;
}

bool is_drive_letter(char letter) { return (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z'); }

char upper_letter(char letter) { return letter >= 'a' && letter <= 'z' ? static_cast<char>(letter - 'a' + 'A') : letter; }

// The environment variable ("=X:") in which the system keeps a drive's
// current directory.
std::string drive_variable(char letter) { return std::string("=") + upper_letter(letter) + ":"; }

// The current directory becomes the one its drive keeps, as the command
// interpreter records it.
void record_for_its_drive(const std::string& directory) {
  if (directory.size() >= 2 && directory[1] == ':' && is_drive_letter(directory[0])) {
    SetEnvironmentVariableA(drive_variable(directory[0]).c_str(), directory.c_str());
  }
}

}  // namespace

bool list_directory(const std::string& pattern_path, std::uint32_t mask, std::vector<FileInfo>& entries,
                    ArchiveBit) {
  std::string folder = folder_of(pattern_path);
  std::string pattern = pattern_path.substr(folder.size());
  return list_folder(folder, [&](const WIN32_FIND_DATAA& found) {
    if (!suite::wildcard_match(pattern, found.cFileName) || is_linked_folder(found.dwFileAttributes)) return;
    DWORD special = found.dwFileAttributes & (HIDDEN | SYSTEM | DIRECTORY);
    if (special != 0 && (special & mask) == 0) return;
    FileInfo entry;
    fill_info(found.cFileName, found.dwFileAttributes, joined(found.nFileSizeHigh, found.nFileSizeLow),
              found.ftLastWriteTime, entry);
    entries.push_back(std::move(entry));
  });
}

bool list_subdirectories(const std::string& folder, std::vector<std::string>& names) {
  return list_folder(folder, [&](const WIN32_FIND_DATAA& found) {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !is_linked_folder(found.dwFileAttributes)) {
      names.emplace_back(found.cFileName);
    }
  });
}

bool look_up(const std::string& path, FileInfo& info, ArchiveBit, FileStamp* stamp) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return fail_with_last_error();
  fill_info(last_component(path), data.dwFileAttributes, joined(data.nFileSizeHigh, data.nFileSizeLow),
            data.ftLastWriteTime, info);
  return stamp == nullptr || stamp_of_path(path, *stamp);
}

bool stamp_of(const std::string& path, FileStamp& stamp) { return stamp_of_path(path, stamp); }

bool stamp_of(Handle handle, FileStamp& stamp) {
  BY_HANDLE_FILE_INFORMATION info;
  return stamp_of_native(native(handle), stamp, info);
}

// Opening a file never waits here; a folder does not open.
Handle open_without_waiting(const std::string& path) {
  HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ, SHARE_ALL, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    fail_with_last_error();
    return NO_HANDLE;
  }
  return portable(handle);
}

Handle open_and_look_up(const std::string& path, FileInfo& info, ArchiveBit, FileStamp* stamp) {
  Handle handle = open_without_waiting(path);
  if (handle == NO_HANDLE) return NO_HANDLE;
  FileStamp taken;
  BY_HANDLE_FILE_INFORMATION data;
  if (!stamp_of_native(native(handle), taken, data)) {
    close_file(handle);
    return NO_HANDLE;
  }
  fill_info(last_component(path), data.dwFileAttributes, taken.size, data.ftLastWriteTime, info);
  if (stamp != nullptr) *stamp = taken;
  return handle;
}

// An existing file is opened and then emptied rather than created anew, so
// that a hidden or system file does not make the creation fail; the
// attributes it gets are set when it is finished.
Handle create_file(const std::string& path, const std::string& source, CreateFailure& failure) {
  failure = CreateFailure::none;
  DWORD existing = GetFileAttributesA(path.c_str());
  if (existing != INVALID_FILE_ATTRIBUTES) {
    if (!source.empty() && name_one_file(path, source)) {
      failure = CreateFailure::is_source;
      return NO_HANDLE;
    }
    if (existing & FILE_ATTRIBUTE_DIRECTORY) return failed_create(ERROR_ACCESS_DENIED, failure);
    if (existing & FILE_ATTRIBUTE_READONLY) {
      fail(ERROR_ACCESS_DENIED);
      failure = CreateFailure::permission_denied;
      return NO_HANDLE;
    }
  }
  HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return failed_create(GetLastError(), failure);
  if (!SetEndOfFile(handle)) {
    DWORD error = GetLastError();
    CloseHandle(handle);
    return failed_create(error, failure);
  }
  return portable(handle);
}

// A read that gives nothing leaves the last error as it was at the end of
// the file: cleared before, it then tells the end (0) from a failure.
std::size_t read_fully(Handle handle, char* buffer, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    SetLastError(0);
    std::size_t got = suite::platform::read_bytes(handle, buffer + done, size - done);
    if (got == 0) {
      fail(GetLastError());
      break;
    }
    done += got;
  }
  return done;
}

std::size_t write_fully(Handle handle, const char* data, std::size_t size) {
  SetLastError(0);
  std::size_t done = suite::platform::write_bytes(handle, data, size);
  if (done < size) fail(GetLastError());
  return done;
}

bool seek_file(Handle handle, std::uint64_t offset) {
  LARGE_INTEGER position;
  position.QuadPart = static_cast<LONGLONG>(offset);
  if (!SetFilePointerEx(native(handle), position, nullptr, FILE_BEGIN)) return fail_with_last_error();
  return true;
}

void close_file(Handle handle) {
  if (handle != NO_HANDLE) suite::platform::close_handle(handle);
}

bool set_file_time(Handle handle, std::uint16_t date, std::uint16_t time) {
  FILETIME local, universal;
  if (!DosDateTimeToFileTime(date, time, &local) || !LocalFileTimeToFileTime(&local, &universal)) {
    return fail_with_last_error();
  }
  if (!SetFileTime(native(handle), nullptr, nullptr, &universal)) return fail_with_last_error();
  return true;
}

bool finish_file(Handle handle, const std::string& path, std::uint16_t date, std::uint16_t time,
                 std::uint32_t attributes) {
  set_file_time(handle, date, time);
  if (!suite::platform::close_handle(handle)) return fail_with_last_error();
  set_attributes(path, attributes);
  return true;
}

bool set_attributes(const std::string& path, std::uint32_t attributes) {
  DWORD wanted = attributes & SETTABLE_BITS;
  if (!SetFileAttributesA(path.c_str(), wanted == 0 ? FILE_ATTRIBUTE_NORMAL : wanted)) return fail_with_last_error();
  return true;
}

// The system itself refuses to delete a read-only file.
bool delete_unless_read_only(const std::string& path) {
  if (!suite::platform::delete_file(path)) return fail_with_last_error();
  return true;
}

bool make_directory(const std::string& path) {
  if (!CreateDirectoryA(path.c_str(), nullptr)) return fail_with_last_error();
  return true;
}

// The system's text for the error, on one line and without its closing
// period, as the program prints it after a colon.
std::string last_error_text() {
  if (last_error_number == 0) return "Unknown error";
  char text[512];
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                last_error_number, 0, text, sizeof text, nullptr);
  std::string message(text, length);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' ' ||
                              message.back() == '.')) {
    message.pop_back();
  }
  for (char& c : message) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return message.empty() ? "Unknown error" : message;
}

const char SEPARATOR = '\\';

bool current_directory(std::string& path) {
  char found[MAX_PATH];
  DWORD length = GetCurrentDirectoryA(sizeof found, found);
  if (length == 0 || length >= sizeof found) return fail_with_last_error();
  path.assign(found, length);
  return true;
}

bool change_directory(const std::string& path) {
  if (!SetCurrentDirectoryA(path.c_str())) return fail_with_last_error();
  std::string now;
  if (current_directory(now)) record_for_its_drive(now);
  return true;
}

// A drive that does not exist leaves the current drive as it was.
bool change_drive(char letter) {
  if (!is_drive_letter(letter)) return false;
  char kept[MAX_PATH];
  DWORD length = GetEnvironmentVariableA(drive_variable(letter).c_str(), kept, sizeof kept);
  bool moved = length > 0 && length < sizeof kept && SetCurrentDirectoryA(kept);
  if (!moved) {
    std::string root = std::string(1, upper_letter(letter)) + ":\\";
    if (!SetCurrentDirectoryA(root.c_str())) return fail_with_last_error();
  }
  std::string now;
  return current_directory(now) && upper_letter(now[0]) == upper_letter(letter);
}

void to_date_time(std::int64_t seconds, std::uint16_t& date, std::uint16_t& time) {
  // Seconds since 1970 as the system's ticks of 100 ns since 1601.
  constexpr std::int64_t TICKS_PER_SECOND = 10000000;
  constexpr std::int64_t SECONDS_FROM_1601_TO_1970 = 11644473600;
  std::uint64_t ticks = static_cast<std::uint64_t>((seconds + SECONDS_FROM_1601_TO_1970) * TICKS_PER_SECOND);
  FILETIME moment;
  moment.dwLowDateTime = static_cast<DWORD>(ticks);
  moment.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  to_words(moment, date, time);
}

std::size_t memory_budget() {
  MEMORYSTATUSEX status;
  status.dwLength = sizeof status;
  if (!GlobalMemoryStatusEx(&status)) return 0;
  std::uint64_t half = status.ullTotalPhys / 2;
  std::uint64_t addressable = status.ullAvailVirtual;
  std::uint64_t budget = half < addressable ? half : addressable;
  return static_cast<std::size_t>(budget);
}

char* map_memory(std::size_t size) {
  return static_cast<char*>(VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
}

// Committed memory is ready as it is.
void make_memory_ready(char*, std::size_t) {}

void prepare_platform() {}

}  // namespace dupro::platform
