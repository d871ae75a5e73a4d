#include "dupro/paths.h"

#include <cctype>
#include <string>

#include "dupro/platform.h"

namespace dupro {

namespace {

bool begins_with_drive(const std::string& path_text) {
  return path_text.size() >= 2 && std::isalpha(static_cast<unsigned char>(path_text[0])) && path_text[1] == ':';
}

// Resolves with the current directory moved into the directory part (the
// path after its drive, up to its last separator); the caller moves it back.
std::string resolve_from(const std::string& drive, const std::string& directory, const std::string& name) {
  const char separator = platform::SEPARATOR;
  std::string part = directory;
  if (part.size() > 1 && part.back() == separator) part.pop_back();
  if (!part.empty() && !platform::change_directory(drive + part)) return "";
  std::string result;
  if (!platform::current_directory(result)) return "";
  if (result.empty() || result.back() != separator) result += separator;
  result += name;
  if (platform::change_directory(result) && result.back() != separator) result += separator;
  return result;
}

}  // namespace

// The current directory is moved while the path is resolved and moved back
// after: first on the path's drive (whose own current directory the drive
// keeps), then where the run started.
std::string resolve_path(const std::string& typed) {
  std::string path_text = with_platform_separators(typed);
  std::string drive = begins_with_drive(path_text) ? path_text.substr(0, 2) : "";
  std::string rest = path_text.substr(drive.size());
  std::size_t separator = rest.rfind(platform::SEPARATOR);
  std::string directory = separator == std::string::npos ? "" : rest.substr(0, separator + 1);
  std::string name = rest.substr(directory.size());
  std::string started_in;
  if (!platform::current_directory(started_in)) return "";
  if (!drive.empty() && !platform::change_drive(drive[0])) return "";
  std::string drive_directory;
  if (!platform::current_directory(drive_directory)) return "";
  std::string result = resolve_from(drive, directory, name);
  platform::change_directory(drive_directory);
  platform::change_directory(started_in);
  return result;
}

std::string with_platform_separators(std::string path) {
  for (char& c : path) {
    if (c == '/' || c == '\\') c = platform::SEPARATOR;
  }
  return path;
}

std::string normalise_source(const std::string& source) {
  if (!source.empty() && source.back() == ':') return source + "." + platform::SEPARATOR;
  return source;
}

std::string normalise_target(const std::string& target) {
  if (target.empty()) return target;
  if (target.back() == ':') return target + "." + platform::SEPARATOR;
  if (target.back() != platform::SEPARATOR) return target + platform::SEPARATOR;
  return target;
}

}  // namespace dupro
