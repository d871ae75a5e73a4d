// The file system operations that only Ordly needs.
#pragma once

#include <string>

namespace ordly::platform {

// True when the folder holds an entry of that name, whatever it is: a file,
// a folder, or a link that leads nowhere. A temporary run takes only a name
// that is not taken at all, so nothing an entry leads to is written over.
bool name_is_taken(const std::string& path);

}  // namespace ordly::platform
