// Ordly's command line: option groups until the first file name, then file
// names, each read (or listed for merging) as soon as it is met.
#pragma once

#include <string>
#include <vector>

namespace ordly {

// Takes every argument from left to right.
void take_arguments(const std::vector<std::string>& arguments);

}  // namespace ordly
