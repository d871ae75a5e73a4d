#include "common/arguments.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

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
  std::filesystem::create_directory(folder.file("dir.txt"));
  Args result = suite::expand_wildcards({"-x", folder.path() + "/*.txt", "plain?"});
  ASSERT_EQ(result.size(), 4u);
  EXPECT_EQ(result[0], "-x");
  Args names(result.begin() + 1, result.begin() + 3);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (Args{folder.path() + "/one.txt", folder.path() + "/two.TXT"}));
  EXPECT_EQ(result[3], "plain?");
}

TEST(HelpRequest, QuestionMarkAloneOrAsAnOption) {
  EXPECT_TRUE(suite::is_help_request("?"));
  EXPECT_TRUE(suite::is_help_request("/?"));
  EXPECT_TRUE(suite::is_help_request("-?"));
  EXPECT_FALSE(suite::is_help_request("??"));
  EXPECT_FALSE(suite::is_help_request("/?x"));
  EXPECT_FALSE(suite::is_help_request("-"));
}
