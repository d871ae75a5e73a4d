// Typed paths: resolution to an absolute form and the
// normalisation of the source and target as typed. Paths use the
// platform's separator (platform::SEPARATOR), written '/' below.
#pragma once

#include <string>

namespace dupro {

// The absolute form of a typed path: the current directory's path
// in front of a relative one, a '/' after a path that names a directory,
// the last component kept as typed (it may be a name pattern). Empty when
// the directory part does not exist or names a drive (a letter and ':')
// that the platform does not have.
std::string resolve_path(const std::string& path_text);

// The path with every '/' and '\' written as the platform's separator.
std::string with_platform_separators(std::string path);

// A bare drive ("A:") gets "./" after it.
std::string normalise_source(const std::string& source);
// A target gets a '/' at its end unless it has one; a bare drive gets "./".
std::string normalise_target(const std::string& target);

}  // namespace dupro
