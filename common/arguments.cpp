#include "common/arguments.h"

#include <cctype>

#include "common/platform.h"

namespace suite {

std::vector<std::string> split_command_line(const std::string& line) {
  std::vector<std::string> arguments;
  std::size_t i = 0;
  const std::size_t n = line.size();
  auto is_blank = [](char c) { return c == ' ' || c == '\t'; };
  while (true) {
    while (i < n && is_blank(line[i])) ++i;
    if (i == n) break;
    std::string argument;
    bool quoted = false;
    while (i < n && (quoted || !is_blank(line[i]))) {
      if (line[i] == '\\' && i + 1 < n && line[i + 1] == '"') {
        argument += '"';
        i += 2;
      } else if (line[i] == '"') {
        quoted = !quoted;
        ++i;
      } else {
        argument += line[i++];
      }
    }
    arguments.push_back(std::move(argument));
  }
  return arguments;
}

namespace {

bool match_from(const char* pattern, const char* name) {
  // Iterative matching with one back-tracking point for the last '*'.
  const char* star = nullptr;
  const char* resume = nullptr;
  while (*name != '\0') {
    if (*pattern == '*') {
      star = pattern++;
      resume = name;
    } else if (*pattern == '?' ||
               (*pattern != '\0' && std::tolower(static_cast<unsigned char>(*pattern)) ==
                                        std::tolower(static_cast<unsigned char>(*name)))) {
      ++pattern;
      ++name;
    } else if (star != nullptr) {
      pattern = star + 1;
      name = ++resume;
    } else {
      return false;
    }
  }
  while (*pattern == '*') ++pattern;
  return *pattern == '\0';
}

}  // namespace

bool wildcard_match(const std::string& pattern, const std::string& name) {
  if (match_from(pattern.c_str(), name.c_str())) return true;
  std::size_t size = pattern.size();
  if (size >= 2 && pattern.compare(size - 2, 2, ".*") == 0 && name.find('.') == std::string::npos) {
    return match_from(pattern.substr(0, size - 2).c_str(), name.c_str());
  }
  return false;
}

bool has_wildcard(const std::string& argument) {
  return argument.find_first_of("*?") != std::string::npos;
}

std::vector<std::string> expand_wildcards(const std::vector<std::string>& arguments) {
  std::vector<std::string> expanded;
  for (const std::string& argument : arguments) {
    if (!has_wildcard(argument)) {
      expanded.push_back(argument);
      continue;
    }
    std::string folder = platform::folder_part(argument);
    std::string pattern = argument.substr(folder.size());
    std::vector<platform::DirectoryEntry> entries;
    std::size_t before = expanded.size();
    if (!has_wildcard(folder) && platform::list_directory(folder, entries)) {
      for (const platform::DirectoryEntry& entry : entries) {
        if (entry.is_directory || entry.is_hidden || entry.is_system || entry.name.empty()) continue;
        if (wildcard_match(pattern, entry.name)) expanded.push_back(folder + entry.name);
      }
    }
    if (expanded.size() == before) expanded.push_back(argument);
  }
  return expanded;
}

bool is_option_argument(const std::string& argument) {
  if (argument.size() < 2) return false;
  if (argument[0] == '-') return true;
  return argument[0] == '/' && !platform::slash_argument_is_path(argument);
}

bool is_help_request(const std::string& argument) {
  if (argument == "?") return true;
  return argument.size() == 2 && argument[1] == '?' && is_option_argument(argument);
}

std::vector<std::string> program_arguments(int argc, char** argv) {
  return platform::program_arguments(argc, argv);
}

}  // namespace suite
