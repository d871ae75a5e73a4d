#include "dupro/paths.h"

#include "common/platform.h"
#include "dupro/platform.h"

namespace dupro {

namespace {

// Resolves with the current directory moved into the directory part; the
// caller moves it back.
std::string resolve_from(const std::string& directory, const std::string& name) {
  std::string part = directory;
  if (part.size() > 1 && part.back() == '/') part.pop_back();
  if (!part.empty() && !platform::change_directory(part)) return "";
  std::string result;
  if (!platform::current_directory(result)) return "";
  if (result.empty() || result.back() != '/') result += '/';
  result += name;
  if (platform::change_directory(result) && result.back() != '/') result += '/';
  return result;
}

}  // namespace

std::string resolve_path(const std::string& typed) {
  std::string path_text = suite::platform::native_path(typed);
  if (suite::platform::names_missing_drive(path_text)) return "";
  std::size_t slash = path_text.rfind('/');
  std::string directory = slash == std::string::npos ? "" : path_text.substr(0, slash + 1);
  std::string name = slash == std::string::npos ? path_text : path_text.substr(slash + 1);
  std::string remembered;
  if (!platform::current_directory(remembered)) return "";
  std::string result = resolve_from(directory, name);
  platform::change_directory(remembered);
  return result;
}

std::string normalise_source(const std::string& source) {
  if (!source.empty() && source.back() == ':') return source + "./";
  return source;
}

std::string normalise_target(const std::string& target) {
  if (target.empty()) return target;
  if (target.back() == ':') return target + "./";
  if (target.back() != '/') return target + "/";
  return target;
}

}  // namespace dupro
