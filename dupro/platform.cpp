// Dupro's file-system operations that are the same on every platform,
// built on the others.
#include "dupro/platform.h"

namespace dupro::platform {

bool name_one_file(const std::string& first, const std::string& second) {
  FileStamp one, other;
  return stamp_of(first, one) && stamp_of(second, other) && one.device == other.device && one.inode == other.inode;
}

}  // namespace dupro::platform
