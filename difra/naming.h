// Naming of the second file: a folder, or a name ending in a separator,
// stands for the file of the first file's base name there.
#pragma once

#include <string>

namespace difra {

// The part of a name after its last ':', '/' or '\' (all of it without one).
std::string base_name(const std::string& name);

// The first name to try for file 2: filespec2, with file 1's base name
// appended when filespec2 is empty or ends with a separator.
std::string first_name_for_second_file(const std::string& filespec1, const std::string& filespec2);

// The second name to try when the first cannot be opened: filespec2 as a
// folder holding the file of file 1's base name. Empty when there is no
// second try (filespec2 ends with a separator). The platform's separator
// joins the two.
std::string fallback_name_for_second_file(const std::string& filespec1, const std::string& filespec2);

}  // namespace difra
