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

// Where the file that a path names really is, links followed: its full
// path and its folder. The path itself (and its folder part) when it
// cannot be resolved.
struct FilePlace {
  std::string path;
  std::string folder;  // with its separator at the end; empty for the current folder
};
FilePlace real_place(const std::string& path);

// Puts a new file of the same folder in the place of the original, in one
// step, so that the original stays whole until it is replaced; the new file
// takes the original's owner, where that is allowed, and its permissions.
// False when the original cannot be replaced.
bool replace_file(const std::string& replacement, const std::string& original);

}  // namespace ordly::platform
