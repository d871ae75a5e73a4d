// The file system operations that only Ordly needs.
#pragma once

#include <string>

namespace ordly::platform {

enum class NameClaim {
  made,    // the file is new: Ordly made it and may delete it
  taken,   // an entry already has the name; it is left alone
  failed,  // nothing was made, for another reason (no free handle, no right to create...)
};

// Claims a name for a temporary file by creating an empty file under it, in
// one step that fails when the folder already holds an entry of that name,
// whatever it is: a file, a folder, or a link that leads nowhere. So nothing
// an entry leads to is written over, and two runs working in the same
// folder at once never take the same name.
NameClaim claim_new_name(const std::string& path);

}  // namespace ordly::platform
