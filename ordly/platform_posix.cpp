// POSIX implementation of Ordly's file system operations.
#include "ordly/platform.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace ordly::platform {

bool name_is_taken(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0;
}

void keep_standard_handles_taken() {
  // A new handle takes the lowest free number, which is the closed one,
  // since the lower ones are taken by then.
  for (int handle = 0; handle <= 2; ++handle) {
    if (fcntl(handle, F_GETFD) == -1) open("/dev/null", O_RDWR);
  }
}

}  // namespace ordly::platform
