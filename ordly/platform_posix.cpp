// POSIX implementation of Ordly's file system operations.
#include "ordly/platform.h"

#include <sys/stat.h>

namespace ordly::platform {

bool name_is_taken(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0;
}

}  // namespace ordly::platform
