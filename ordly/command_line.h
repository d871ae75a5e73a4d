// Ordly's command line: option groups until the first file name, then file
// names, each read (or listed for merging) as soon as it is met.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace ordly {

// Takes every argument from left to right.
void take_arguments(const std::vector<std::string>& arguments);

// Applies the option group at index; returns the index of the next
// argument to take (an option value may use up the following argument).
std::size_t take_option_group(const std::vector<std::string>& arguments, std::size_t index);

}  // namespace ordly
