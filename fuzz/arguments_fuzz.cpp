// The argument builder: splitting a command line keeps every character
// that is not a blank, a tab or a quoting mark, in order; a line without
// quoting marks splits exactly at its blanks and tabs; and the wildcard
// matcher agrees with a small table-driven matcher written here.
#include <cctype>
#include <string>
#include <vector>

#include "common/arguments.h"
#include "fuzz/support.h"

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

// The characters the arguments must hold between them: the line without
// blanks, tabs and quotes, a backslash-quote pair standing for one quote.
std::string kept_characters(const std::string& line) {
  std::string kept;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '\\' && i + 1 < line.size() && line[i + 1] == '"') {
      kept += '"';
      ++i;
    } else if (line[i] != '"' && !is_blank(line[i])) {
      kept += line[i];
    }
  }
  return kept;
}

std::string rejoined_without_blanks(const std::vector<std::string>& arguments) {
  std::string joined;
  for (const std::string& argument : arguments) {
    for (char c : argument) {
      if (!is_blank(c)) joined += c;
    }
  }
  return joined;
}

std::vector<std::string> words_between_blanks(const std::string& line) {
  std::vector<std::string> words;
  std::string word;
  for (char c : line) {
    if (!is_blank(c)) {
      word += c;
    } else if (!word.empty()) {
      words.push_back(word);
      word.clear();
    }
  }
  if (!word.empty()) words.push_back(word);
  return words;
}

void check_split(const std::string& line) {
  std::vector<std::string> arguments = suite::split_command_line(line);
  fuzz::check(rejoined_without_blanks(arguments) == kept_characters(line),
              "split_command_line: characters kept in order");
  if (line.find_first_of("\"") == std::string::npos) {
    fuzz::check(arguments == words_between_blanks(line), "split_command_line: a line without quotes");
  }
}

char folded(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// matches[i][j]: pattern from i matches name from j.
bool reference_match(const std::string& pattern, const std::string& name) {
  const std::size_t p = pattern.size();
  const std::size_t n = name.size();
  std::vector<std::vector<bool>> matches(p + 1, std::vector<bool>(n + 1, false));
  matches[p][n] = true;
  for (std::size_t i = p; i-- > 0;) {
    for (std::size_t j = n + 1; j-- > 0;) {
      if (pattern[i] == '*') {
        matches[i][j] = matches[i + 1][j] || (j < n && matches[i][j + 1]);
      } else if (j < n && (pattern[i] == '?' || folded(pattern[i]) == folded(name[j]))) {
        matches[i][j] = matches[i + 1][j + 1];
      }
    }
  }
  return matches[0][0];
}

bool reference_wildcard_match(const std::string& pattern, const std::string& name) {
  if (reference_match(pattern, name)) return true;
  bool ends_in_any_extension = pattern.size() >= 2 && pattern.compare(pattern.size() - 2, 2, ".*") == 0;
  return ends_in_any_extension && name.find('.') == std::string::npos &&
         reference_match(pattern.substr(0, pattern.size() - 2), name);
}

void check_wildcard(const std::string& pattern, const std::string& name) {
  fuzz::check(suite::wildcard_match(pattern, name) == reference_wildcard_match(pattern, name),
              "wildcard_match agrees with the reference matcher");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 4096) return 0;
  const char* text = reinterpret_cast<const char*>(data);
  check_split(std::string(text, size));
  // A pattern and a name, in the bytes before and after the first NUL;
  // NUL bytes cannot be part of either.
  std::string whole(text, size);
  std::size_t cut = whole.find('\0');
  std::string pattern = whole.substr(0, cut);
  std::string name = cut == std::string::npos ? "" : whole.substr(cut + 1);
  name = name.substr(0, name.find('\0'));
  if (pattern.size() <= 200 && name.size() <= 200) check_wildcard(pattern, name);
  return 0;
}
