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

FilePlace real_place(const std::string& path) {
  FilePlace place;
  place.path = path;
  DWORD size = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
  if (size > 0) {
    std::vector<char> full(size);
    if (GetFullPathNameA(path.c_str(), size, full.data(), nullptr) < size) place.path = full.data();
  }
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
