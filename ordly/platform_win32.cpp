// Win32 implementation of Ordly's file system operations.
#include "ordly/platform.h"

#include <windows.h>

namespace ordly::platform {

bool claim_new_name(const std::string& path) {
  // CREATE_NEW refuses every existing entry, a link included, without
  // following it.
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    CloseHandle(file);
    return true;
  }
  // A folder of that name is refused with "access denied", as a file that
  // may not be written is: the name is taken only when an entry has it.
  DWORD error = GetLastError();
  if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) return false;
  return GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

}  // namespace ordly::platform
