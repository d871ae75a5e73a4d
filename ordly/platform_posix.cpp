// POSIX implementation of Ordly's file system operations.
#include "ordly/platform.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace ordly::platform {

NameClaim claim_new_name(const std::string& path) {
  // O_EXCL refuses every existing entry, a link included, without following it.
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd >= 0) {
    ::close(fd);
    return NameClaim::made;
  }
  return errno == EEXIST ? NameClaim::taken : NameClaim::failed;
}

}  // namespace ordly::platform
