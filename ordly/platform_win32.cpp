// Win32 implementation of Ordly's file system operations.
#include "ordly/platform.h"

#include <windows.h>

#include <vector>

namespace ordly::platform {

NameClaim claim_new_name(const std::string& path) {
  // CREATE_NEW refuses every existing entry, a link included, without
  // following it.
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    CloseHandle(file);
    return NameClaim::made;
  }
  // A folder of that name is refused with "access denied", as a file that
  // may not be made is: the name is taken when an entry has it.
  DWORD error = GetLastError();
  if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) return NameClaim::taken;
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES ? NameClaim::taken : NameClaim::failed;
}

namespace {

// The full path of the file a path names, links followed; empty when the
// file cannot be opened. The system writes it with the prefix of long
// paths, which is dropped (a network path keeps its two leading '\').
std::string final_path(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string full;
  DWORD size = GetFinalPathNameByHandleA(file, nullptr, 0, FILE_NAME_NORMALIZED);
  if (size > 0) {
    std::vector<char> name(size);
    DWORD written = GetFinalPathNameByHandleA(file, name.data(), size, FILE_NAME_NORMALIZED);
    if (written > 0 && written < size) full.assign(name.data(), written);
  }
  CloseHandle(file);
  const std::string long_prefix = "\\\\?\\";
  const std::string network_prefix = long_prefix + "UNC\\";
  if (full.compare(0, network_prefix.size(), network_prefix) == 0) {
    return "\\\\" + full.substr(network_prefix.size());
  }
  if (full.compare(0, long_prefix.size(), long_prefix) == 0) return full.substr(long_prefix.size());
  return full;
}

// The full path of a path as written, without following anything.
std::string full_path(const std::string& path) {
  DWORD size = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::vector<char> full(size);
  return GetFullPathNameA(path.c_str(), size, full.data(), nullptr) < size ? std::string(full.data()) : path;
}

}  // namespace

FilePlace real_place(const std::string& path) {
  FilePlace place;
  place.path = final_path(path);
  if (place.path.empty()) place.path = full_path(path);
  std::string::size_type separator = place.path.find_last_of("\\/:");
  if (separator != std::string::npos) place.folder = place.path.substr(0, separator + 1);
  return place;
}

// The new file takes the original's attributes (hidden, system, archive);
// a read-only original is not replaced.
bool replace_file(const std::string& replacement, const std::string& original) {
  DWORD attributes = GetFileAttributesA(original.c_str());
  if (!MoveFileExA(replacement.c_str(), original.c_str(), MOVEFILE_REPLACE_EXISTING)) return false;
  if (attributes != INVALID_FILE_ATTRIBUTES) SetFileAttributesA(original.c_str(), attributes);
  return true;
}

}  // namespace ordly::platform
