// Win32 implementation of the shared platform layer: raw handles with
// ReadFile and WriteFile, the command line as one string, listings with
// FindFirstFileA and FindNextFileA.
#include "common/platform.h"

#include <windows.h>

#include <cstring>

#include "common/arguments.h"

// The C runtime's own splitting and wildcard expansion of the command line
// stay off: the programs split GetCommandLineA themselves.
extern "C" {
int _dowildcard = 0;
}

namespace suite::platform {

namespace {

OpenFailure last_failure = OpenFailure::none;
WriteFailure last_write = WriteFailure::none;

OpenFailure failure_from_error(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND: return OpenFailure::no_such_file;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_PATHNAME: return OpenFailure::path_not_found;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT: return OpenFailure::permission_denied;
    case ERROR_TOO_MANY_OPEN_FILES: return OpenFailure::too_many_open;
    default: return OpenFailure::other;
  }
}

HANDLE native(Handle handle) { return reinterpret_cast<HANDLE>(handle); }
Handle portable(HANDLE handle) { return reinterpret_cast<Handle>(handle); }

constexpr DWORD SHARE_ALL = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// A folder opens only with backup semantics, which neither open asks for;
// the check stays for file systems that let a folder through anyway.
Handle finish_open(HANDLE handle) {
  if (handle == INVALID_HANDLE_VALUE) {
    last_failure = failure_from_error(GetLastError());
    return NO_HANDLE;
  }
  BY_HANDLE_FILE_INFORMATION info;
  if (GetFileInformationByHandle(handle, &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    CloseHandle(handle);
    last_failure = OpenFailure::permission_denied;
    return NO_HANDLE;
  }
  last_failure = OpenFailure::none;
  return portable(handle);
}

bool is_disk_file(HANDLE handle) { return GetFileType(handle) == FILE_TYPE_DISK; }

// A file's identity: its volume and its number on that volume.
struct FileIdentity {
  ULONGLONG volume = 0;
  BYTE number[16] = {};
};

bool identity_of(HANDLE handle, FileIdentity& identity) {
  FILE_ID_INFO id;
  if (GetFileInformationByHandleEx(handle, FileIdInfo, &id, sizeof id)) {
    identity.volume = id.VolumeSerialNumber;
    std::memcpy(identity.number, id.FileId.Identifier, sizeof identity.number);
    return true;
  }
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle, &info)) return false;
  identity.volume = info.dwVolumeSerialNumber;
  ULONGLONG index = (static_cast<ULONGLONG>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  std::memcpy(identity.number, &index, sizeof index);
  return true;
}

// A handle that the system made from a file it does not know the volume of
// (Wine hands standard handles over so) tells the volume as 0: its number
// alone then tells the file.
bool same_identity(const FileIdentity& one, const FileIdentity& other) {
  bool volume_matches = one.volume == other.volume || one.volume == 0 || other.volume == 0;
  return volume_matches && std::memcmp(one.number, other.number, sizeof one.number) == 0;
}

// Gives a standard handle that the parent left out a handle on the null
// device.
void take_standard_handle(DWORD which, DWORD access) {
  HANDLE handle = GetStdHandle(which);
  if (handle != nullptr && handle != INVALID_HANDLE_VALUE) return;
  HANDLE null_device = CreateFileA("NUL", access, SHARE_ALL, nullptr, OPEN_EXISTING, 0, nullptr);
  if (null_device != INVALID_HANDLE_VALUE) SetStdHandle(which, null_device);
}

Handle standard_handle(DWORD which) {
  HANDLE handle = GetStdHandle(which);
  return handle == nullptr ? NO_HANDLE : portable(handle);
}

}  // namespace

std::vector<std::string> program_arguments(int, char**) {
  std::vector<std::string> arguments = split_command_line(GetCommandLineA());
  if (!arguments.empty()) arguments.erase(arguments.begin());
  return arguments;
}

// Paths use '\' and drive letters here: '/' always begins an option.
bool slash_argument_is_path(const std::string&) { return false; }

// Writes to a pipe whose reader has gone fail as writes already, and there
// is no file-size limit that would end the process.
void keep_failed_writes_from_ending_the_process() {}

void keep_standard_handles_taken() {
  take_standard_handle(STD_INPUT_HANDLE, GENERIC_READ);
  take_standard_handle(STD_OUTPUT_HANDLE, GENERIC_WRITE);
  take_standard_handle(STD_ERROR_HANDLE, GENERIC_WRITE);
}

Handle standard_input_handle() { return standard_handle(STD_INPUT_HANDLE); }
Handle standard_output_handle() { return standard_handle(STD_OUTPUT_HANDLE); }
Handle standard_error_handle() { return standard_handle(STD_ERROR_HANDLE); }

Handle open_for_reading(const std::string& path) {
  return finish_open(
      CreateFileA(path.c_str(), GENERIC_READ, SHARE_ALL, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// An existing file is opened, not created anew, so that its attributes
// (hidden, system) stay and do not make the open fail; it is emptied after.
Handle open_for_writing(const std::string& path, bool truncate) {
  Handle handle = finish_open(
      CreateFileA(path.c_str(), GENERIC_WRITE, SHARE_ALL, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (handle != NO_HANDLE && truncate && is_disk_file(native(handle))) truncate_to_empty(handle);
  return handle;
}

OpenFailure last_open_failure() { return last_failure; }

// A pipe whose writer has gone ends the input like its end.
std::size_t read_bytes(Handle handle, char* buffer, std::size_t size) {
  DWORD wanted = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
  DWORD got = 0;
  if (!ReadFile(native(handle), buffer, wanted, &got, nullptr)) return 0;
  return got;
}

std::size_t write_bytes(Handle handle, const char* data, std::size_t size) {
  std::size_t done = 0;
  last_write = WriteFailure::none;
  while (done < size) {
    std::size_t left = size - done;
    DWORD wanted = left > 0x40000000 ? 0x40000000 : static_cast<DWORD>(left);
    DWORD put = 0;
    if (!WriteFile(native(handle), data + done, wanted, &put, nullptr) || put == 0) {
      DWORD error = GetLastError();
      last_write = error == ERROR_NO_DATA || error == ERROR_BROKEN_PIPE ? WriteFailure::reader_gone
                                                                         : WriteFailure::other;
      break;
    }
    done += put;
  }
  return done;
}

WriteFailure last_write_failure() { return last_write; }

// A pipe or a device may take a new position without moving: only a disk
// file goes back.
bool seek_to_start(Handle handle) {
  if (!is_disk_file(native(handle))) return false;
  LARGE_INTEGER start = {};
  return SetFilePointerEx(native(handle), start, nullptr, FILE_BEGIN) != 0;
}

bool seek_to_last_bytes(Handle handle, std::uint64_t count) {
  LARGE_INTEGER size = {};
  if (!is_disk_file(native(handle)) || GetFileSizeEx(native(handle), &size) == 0) return false;
  std::uint64_t length = static_cast<std::uint64_t>(size.QuadPart);
  LARGE_INTEGER start = {};
  start.QuadPart = length > count ? static_cast<LONGLONG>(length - count) : 0;
  return SetFilePointerEx(native(handle), start, nullptr, FILE_BEGIN) != 0;
}

// A pipe's buffer is set when the pipe is made.
void widen_pipe(Handle) {}

bool truncate_to_empty(Handle handle) { return seek_to_start(handle) && SetEndOfFile(native(handle)) != 0; }

bool close_handle(Handle handle) {
  if (handle == NO_HANDLE) return true;
  return CloseHandle(native(handle)) != 0;
}

// Opening with no access at all reads the identity of anything, a folder
// included, without disturbing a file another program holds.
bool same_file(Handle handle, const std::string& path) {
  FileIdentity open_info, path_info;
  if (!identity_of(native(handle), open_info)) return false;
  HANDLE other = CreateFileA(path.c_str(), 0, SHARE_ALL, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (other == INVALID_HANDLE_VALUE) return false;
  bool known = identity_of(other, path_info);
  CloseHandle(other);
  return known && same_identity(open_info, path_info);
}

// A handle does not tell whether it was opened to append: a write position
// at the end of a file that still holds bytes to read counts as feeding it,
// as the shell's '>>' leaves it.
bool output_feeds_input(Handle output, Handle input) {
  HANDLE out = native(output);
  if (!is_disk_file(out)) return false;
  FileIdentity input_info, output_info;
  if (!identity_of(native(input), input_info) || !identity_of(out, output_info)) return false;
  if (!same_identity(input_info, output_info)) return false;
  LARGE_INTEGER size, position, none = {};
  if (!GetFileSizeEx(out, &size) || !SetFilePointerEx(out, none, &position, FILE_CURRENT)) return false;
  return size.QuadPart > 0 && position.QuadPart <= size.QuadPart;
}

bool path_exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The root folder of the current drive.
bool root_folder_holds(const std::string& name) {
  return !name.empty() && name.find_first_of("/\\") == std::string::npos && path_exists("\\" + name);
}

// Both '\' and '/' separate here.
std::string native_path(std::string path) { return path; }

char path_separator() { return '\\'; }

bool names_missing_drive(const std::string& path) {
  if (path.size() < 2 || path[1] != ':') return false;
  char letter = path[0];
  if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
  if (letter < 'A' || letter > 'Z') return false;
  return (GetLogicalDrives() & (1u << (letter - 'A'))) == 0;
}

bool delete_file(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

std::string folder_part(const std::string& path) {
  std::size_t last = path.find_last_of("/\\:");
  return last == std::string::npos ? "" : path.substr(0, last + 1);
}

bool list_directory(const std::string& folder, std::vector<DirectoryEntry>& entries) {
  std::string pattern = folder;
  if (!pattern.empty() && pattern.find_last_of("/\\:") != pattern.size() - 1) pattern += '\\';
  pattern += '*';
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
  do {
    std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    DirectoryEntry entry;
    entry.name = std::move(name);
    entry.is_directory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.is_hidden = (found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0;
    entry.is_system = (found.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM) != 0;
    entries.push_back(std::move(entry));
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return true;
}

}  // namespace suite::platform
