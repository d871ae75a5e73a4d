#include "common/arguments.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "common/platform.h"
#include "tests/support/run_program.h"

using suite::split_command_line;
using Args = std::vector<std::string>;

TEST(SplitCommandLine, BlanksTabsAndQuotes) {
  EXPECT_EQ(split_command_line("  /R\t /O out.txt  data.txt "), (Args{"/R", "/O", "out.txt", "data.txt"}));
  EXPECT_EQ(split_command_line("a \"b c\" d"), (Args{"a", "b c", "d"}));
  EXPECT_EQ(split_command_line("x\"y z\"w"), (Args{"xy zw"}));
  EXPECT_EQ(split_command_line("/d\" \""), (Args{"/d "}));
  EXPECT_EQ(split_command_line("\"\""), (Args{""}));
  EXPECT_EQ(split_command_line(""), Args{});
  EXPECT_EQ(split_command_line(" \t "), Args{});
}

TEST(SplitCommandLine, BackslashQuoteIsALiteralQuote) {
  EXPECT_EQ(split_command_line("say \\\"hi\\\""), (Args{"say", "\"hi\""}));
  EXPECT_EQ(split_command_line("\"a \\\" b\" c"), (Args{"a \" b", "c"}));
  // A backslash elsewhere is an ordinary character.
  EXPECT_EQ(split_command_line("c:\\dir\\file"), (Args{"c:\\dir\\file"}));
}

TEST(SplitCommandLine, UnclosedQuoteRunsToTheEnd) {
  EXPECT_EQ(split_command_line("a \"b c  d"), (Args{"a", "b c  d"}));
}

TEST(WildcardMatch, StarsQuestionMarksAndCase) {
  using suite::wildcard_match;
  EXPECT_TRUE(wildcard_match("*.txt", "notes.TXT"));
  EXPECT_TRUE(wildcard_match("a?c", "abc"));
  EXPECT_FALSE(wildcard_match("a?c", "ac"));
  EXPECT_TRUE(wildcard_match("*", "anything"));
  EXPECT_TRUE(wildcard_match("*.*", "noextension"));
  EXPECT_TRUE(wildcard_match("*.*", "a.b.c"));
  EXPECT_TRUE(wildcard_match("data*.c*", "data1.cpp"));
  EXPECT_FALSE(wildcard_match("*.txt", "notes.txt.bak"));
  EXPECT_TRUE(wildcard_match("*a*b", "xxaybzb"));
  EXPECT_FALSE(wildcard_match("?", ""));
}

TEST(ExpandWildcards, MatchesFilesOnlyWithFolderPart) {
  suite_test::TempFolder folder;
  folder.write("one.txt", "1");
  folder.write("two.TXT", "2");
  folder.write("three.log", "3");
  folder.write(".hidden.txt", "h");
  std::filesystem::create_directory(folder.file("dir.txt"));
  Args result = suite::expand_wildcards({"-x", folder.path() + "/*.txt", "plain?"});
  ASSERT_EQ(result.size(), 4u);
  EXPECT_EQ(result[0], "-x");
  Args names(result.begin() + 1, result.begin() + 3);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (Args{folder.path() + "/one.txt", folder.path() + "/two.TXT"}));
  EXPECT_EQ(result[3], "plain?");
}

TEST(ExpandWildcards, BackslashFolderPartAndNoMatch) {
  suite_test::TempFolder folder;
  folder.write("a.c", "");
  Args result = suite::expand_wildcards({folder.path() + "\\*.c", folder.path() + "/*.none"});
  EXPECT_EQ(result, (Args{folder.path() + "/a.c", folder.path() + "/*.none"}));
}

TEST(OptionRule, OptionsAndExistingAbsolutePaths) {
  suite_test::TempFolder folder;
  folder.write("f", "");
  EXPECT_TRUE(suite::is_option_argument("/R"));
  EXPECT_TRUE(suite::is_option_argument("-R"));
  EXPECT_FALSE(suite::is_option_argument("-"));
  EXPECT_FALSE(suite::is_option_argument("/"));
  EXPECT_FALSE(suite::is_option_argument(folder.file("f")));
  EXPECT_FALSE(suite::is_option_argument(folder.path()));
  EXPECT_FALSE(suite::is_option_argument(folder.path() + "/"));
  EXPECT_FALSE(suite::is_option_argument("file.txt"));
  // A leading '-' always starts an option, whatever follows.
  std::string dash_path = "-";
  dash_path += folder.file("f");
  EXPECT_TRUE(suite::is_option_argument(dash_path));
}

namespace {

// The first component of the scratch folder's path: an entry of the root
// folder that the tests can rely on.
std::string root_entry_of(const suite_test::TempFolder& folder) {
  return folder.path().substr(1, folder.path().find('/', 1) - 1);
}

}  // namespace

TEST(OptionRule, NewPathsUnderAnExistingRootEntryAreNotOptions) {
  suite_test::TempFolder folder;
  EXPECT_FALSE(suite::is_option_argument(folder.file("new.txt")));
  EXPECT_FALSE(suite::is_option_argument(folder.file("a/b/c/")));
  EXPECT_FALSE(suite::is_option_argument(folder.path().substr(0, folder.path().find('/', 1) + 1)));
  // A symbolic link whose target is missing is an existing entry too.
  std::filesystem::create_symlink(folder.file("nowhere"), folder.file("link"));
  EXPECT_FALSE(suite::is_option_argument(folder.file("link")));
  EXPECT_FALSE(suite::is_option_argument(folder.file("link") + "/x"));
}

TEST(OptionRule, OptionGroupsThatLookLikePathsStayOptions) {
  for (const char* name : {"O", "d", "R", "5R", "T5,9", "b", "X5000R"}) {
    if (std::filesystem::exists(std::string("/") + name)) GTEST_SKIP() << "the root folder holds /" << name;
  }
  for (const char* argument : {"/O/tmp/out.txt", "/R", "/5R", "/d/", "/T5,9", "/b", "/X5000R/x", "//tmp/no-such-entry"}) {
    EXPECT_TRUE(suite::is_option_argument(argument)) << argument;
  }
}

TEST(OptionRule, RootFolderEntries) {
  suite_test::TempFolder folder;
  EXPECT_TRUE(suite::platform::root_folder_holds(root_entry_of(folder)));
  EXPECT_FALSE(suite::platform::root_folder_holds(""));
  EXPECT_FALSE(suite::platform::root_folder_holds(root_entry_of(folder) + "/" + folder.path().substr(1)));
  if (!std::filesystem::exists("/no-such-root-entry")) {
    EXPECT_FALSE(suite::platform::root_folder_holds("no-such-root-entry"));
  }
}

TEST(HelpRequest, QuestionMarkAloneOrAsAnOption) {
  EXPECT_TRUE(suite::is_help_request("?"));
  EXPECT_TRUE(suite::is_help_request("/?"));
  EXPECT_TRUE(suite::is_help_request("-?"));
  EXPECT_FALSE(suite::is_help_request("??"));
  EXPECT_FALSE(suite::is_help_request("/?x"));
  EXPECT_FALSE(suite::is_help_request("-"));
}
