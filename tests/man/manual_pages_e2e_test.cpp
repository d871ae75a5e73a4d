// The manual pages against the programs: every option character that a
// program accepts is documented in its page, and the page documents no
// option that the program refuses. The accepted characters are found by
// running the program with each candidate character as an option, so a page
// cannot fall behind the code. The pages as installed carry the installed
// program names.
#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/run_program.h"

namespace {

using suite_test::read_file;
using suite_test::run_program;
using suite_test::RunOptions;
using suite_test::RunResult;
using suite_test::TempFolder;

const char* const PROGRAMS[] = {"ordly", "dupro", "difra", "tail", "count",
                                "onely", "cut",   "paste", "colpack", "colspread"};

// How to try one character as an option of a program, and how to tell
// from the run that the program refused it.
struct OptionProbe {
  std::function<std::vector<std::string>(char)> arguments;
  std::function<bool(const RunResult&)> refused;
};

bool has_text(const std::string& output, const std::string& text) { return output.find(text) != std::string::npos; }

std::function<std::vector<std::string>(char)> option_then(const std::string& rest,
                                                         std::vector<std::string> more = {}) {
  return [rest, more](char c) {
    std::vector<std::string> arguments{std::string("-") + c + rest};
    arguments.insert(arguments.end(), more.begin(), more.end());
    return arguments;
  };
}

std::function<bool(const RunResult&)> status_is(int status) {
  return [status](const RunResult& result) { return result.status == status; };
}

OptionProbe probe_for(const std::string& program) {
  // Each option is given what it needs to be accepted: a value, a number
  // or a list. The runs read an empty standard input.
  if (program == "ordly") return {option_then("5"), status_is(8)};
  if (program == "dupro") return {option_then(""), status_is(2)};
  if (program == "difra") {
    return {option_then(""), [](const RunResult& r) { return has_text(r.out, "Invalid command line option"); }};
  }
  if (program == "tail") {
    return {option_then(""), [](const RunResult& r) { return has_text(r.err, "Cannot open"); }};
  }
  if (program == "count") return {option_then(""), status_is(2)};
  if (program == "onely") return {option_then(""), status_is(4)};
  if (program == "cut") return {option_then("1"), status_is(2)};
  if (program == "paste") return {option_then("x", {"-"}), status_is(2)};
  return {option_then("8"), status_is(4)};  // colpack and colspread
}

std::string candidates() {
  std::string all = "?";
  for (char c = 'A'; c <= 'Z'; ++c) all += c;
  for (char c = '0'; c <= '9'; ++c) all += c;
  return all;
}

std::set<char> accepted_characters(const std::string& program) {
  OptionProbe probe = probe_for(program);
  TempFolder folder;  // Ordly's '-O5' writes a file named 5 here
  RunOptions options;
  options.folder = folder.path();
  std::set<char> accepted;
  for (char c : candidates()) {
    RunResult result = run_program(program, probe.arguments(c), options);
    EXPECT_FALSE(result.timed_out) << program << " -" << c;
    if (!probe.refused(result)) accepted.insert(c);
  }
  return accepted;
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// What a page documents: the character of each option entry of its
// OPTIONS section (the tag line after .TP, such as '.B \-R' or
// '.BI \-O " file"'), and whether an entry is a number ('.BI \- n').
struct DocumentedOptions {
  std::set<char> characters;
  bool number = false;
};

DocumentedOptions documented_options(const std::string& page) {
  DocumentedOptions documented;
  std::istringstream lines(page);
  std::string line;
  bool in_options = false;
  bool after_tp = false;
  while (std::getline(lines, line)) {
    if (line.rfind(".SH", 0) == 0) in_options = line == ".SH OPTIONS";
    if (in_options && after_tp) {
      std::istringstream words(line);
      std::string macro, tag;
      words >> macro >> tag;
      bool is_option = macro.size() >= 2 && macro[1] == 'B' && (tag.rfind("\\-", 0) == 0 || tag.rfind("/", 0) == 0);
      if (is_option) {
        std::string rest = tag.substr(tag[0] == '/' ? 1 : 2);
        if (rest.empty() && macro == ".BI") {
          documented.number = true;
        } else if (!rest.empty()) {
          documented.characters.insert(static_cast<char>(std::toupper(static_cast<unsigned char>(rest[0]))));
        }
      }
    }
    after_tp = line == ".TP";
  }
  return documented;
}

std::string source_page(const std::string& program) {
  return read_file(std::string(SUITE_SOURCE_DIR) + "/man/" + program + ".1");
}

std::string installed_name(const std::string& program) { return SUITE_INSTALL_NAME_PREFIX + program; }

std::string installed_page(const std::string& program) {
  return read_file(std::string(SUITE_BINARY_DIR) + "/man/" + installed_name(program) + ".1");
}

std::string as_text(const std::set<char>& characters) { return std::string(characters.begin(), characters.end()); }

class ManualPage : public testing::TestWithParam<const char*> {};

TEST_P(ManualPage, DocumentsExactlyTheOptionsTheProgramAccepts) {
  const std::string program = GetParam();
  std::set<char> accepted = accepted_characters(program);
  DocumentedOptions documented = documented_options(source_page(program));
  ASSERT_FALSE(documented.characters.empty()) << "no option entries found in man/" << program << ".1";

  std::set<char> accepted_letters, accepted_digits;
  for (char c : accepted) (is_digit(c) ? accepted_digits : accepted_letters).insert(c);
  std::set<char> documented_letters, documented_digits;
  for (char c : documented.characters) (is_digit(c) ? documented_digits : documented_letters).insert(c);

  EXPECT_EQ(as_text(documented_letters), as_text(accepted_letters)) << program;
  if (documented.number) {
    // A number option takes any digit from 1 to 9 as its start.
    for (char c = '1'; c <= '9'; ++c) EXPECT_TRUE(accepted_digits.count(c)) << program << " -" << c;
    EXPECT_TRUE(documented_digits.empty()) << program;
  } else {
    EXPECT_EQ(as_text(documented_digits), as_text(accepted_digits)) << program;
  }
}

TEST_P(ManualPage, InstalledPageCarriesTheInstalledName) {
  const std::string program = GetParam();
  const std::string name = installed_name(program);
  const std::string page = installed_page(program);
  std::string title = name;
  for (char& c : title) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  EXPECT_EQ(page.rfind(".TH " + title + " 1 ", 0), 0u) << program;
  EXPECT_TRUE(has_text(page, "\n.SH NAME\n" + name + " \\- ")) << program;
  EXPECT_TRUE(has_text(page, "\n.SH SYNOPSIS\n.B " + name + "\n")) << program;

  // Every command of the examples and every cross reference names a
  // program of the suite by its installed name.
  std::istringstream lines(page);
  std::string line;
  bool in_example = false;
  int example_commands = 0;
  while (std::getline(lines, line)) {
    if (line == ".EX") in_example = true;
    if (line == ".EE") in_example = false;
    for (const char* other : PROGRAMS) {
      const std::string bare = other;
      const std::string prefixed = installed_name(other);
      if (in_example && line.rfind(prefixed + " ", 0) == 0) ++example_commands;
      if (prefixed == bare) continue;
      if (in_example && (line.rfind(bare + " ", 0) == 0 || has_text(line, "| " + bare + " "))) {
        ADD_FAILURE() << program << ": example runs '" << bare << "' instead of '" << prefixed << "': " << line;
      }
      if (line.rfind(".BR " + bare + " (1)", 0) == 0) ADD_FAILURE() << program << ": " << line;
    }
  }
  EXPECT_GT(example_commands, 0) << program;
}

INSTANTIATE_TEST_SUITE_P(EveryProgram, ManualPage, testing::ValuesIn(PROGRAMS),
                         [](const testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

}  // namespace
