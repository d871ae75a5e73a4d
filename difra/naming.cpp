#include "difra/naming.h"

#include "common/platform.h"

namespace difra {

namespace {

// The separators a name may hold: where '\' is read as '/', none is left.
constexpr const char* SEPARATORS = ":/\\";

bool is_separator(char c) { return std::string(SEPARATORS).find(c) != std::string::npos; }

bool ends_with_separator(const std::string& name) { return !name.empty() && is_separator(name.back()); }

}  // namespace

std::string base_name(const std::string& name) {
  std::size_t last = name.find_last_of(SEPARATORS);
  return last == std::string::npos ? name : name.substr(last + 1);
}

std::string first_name_for_second_file(const std::string& filespec1, const std::string& filespec2) {
  if (filespec2.empty() || ends_with_separator(filespec2)) return filespec2 + base_name(filespec1);
  return filespec2;
}

std::string fallback_name_for_second_file(const std::string& filespec1, const std::string& filespec2) {
  if (ends_with_separator(filespec2)) return {};
  return filespec2 + suite::platform::path_separator() + base_name(filespec1);
}

}  // namespace difra
