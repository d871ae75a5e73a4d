// POSIX implementation of Ordly's file system operations.
#include "ordly/platform.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
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

FilePlace real_place(const std::string& path) {
  FilePlace place;
  char resolved[PATH_MAX];
  place.path = ::realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
  std::string::size_type slash = place.path.rfind('/');
  if (slash != std::string::npos) place.folder = place.path.substr(0, slash + 1);
  return place;
}

namespace {

// Gives a file the owner and group that info names, or the group alone, as
// far as the user may; false when neither could be given.
bool give_owner(const std::string& path, const struct stat& info) {
  return ::chown(path.c_str(), info.st_uid, info.st_gid) == 0 ||
         ::chown(path.c_str(), static_cast<uid_t>(-1), info.st_gid) == 0;
}

}  // namespace

bool replace_file(const std::string& replacement, const std::string& original) {
  struct stat info;
  if (::stat(original.c_str(), &info) == 0) {
    // The owner first: a change of owner may clear the set-id bits.
    give_owner(replacement, info);
    ::chmod(replacement.c_str(), info.st_mode & 07777);
  }
  return ::rename(replacement.c_str(), original.c_str()) == 0;
}

}  // namespace ordly::platform
