// The argument rules that hold where '/' separates paths and may begin one.
#include "common/arguments.h"

#include <gtest/gtest.h>

#include "tests/support/run_program.h"

using Args = std::vector<std::string>;

TEST(ExpandWildcards, NamesBeginningWithADotAreHidden) {
  suite_test::TempFolder folder;
  folder.write("seen.txt", "1");
  folder.write(".hidden.txt", "h");
  EXPECT_EQ(suite::expand_wildcards({folder.path() + "/*.txt"}), (Args{folder.path() + "/seen.txt"}));
  EXPECT_EQ(suite::expand_wildcards({folder.path() + "/.h*"}), (Args{folder.path() + "/.h*"}));
}

TEST(ExpandWildcards, BackslashFolderPartAndNoMatch) {
  suite_test::TempFolder folder;
  folder.write("a.c", "");
  Args result = suite::expand_wildcards({folder.path() + "\\*.c", folder.path() + "/*.none"});
  EXPECT_EQ(result, (Args{folder.path() + "/a.c", folder.path() + "/*.none"}));
}

TEST(OptionRule, AbsolutePathsThatExistAreNotOptions) {
  suite_test::TempFolder folder;
  folder.write("f", "");
  EXPECT_TRUE(suite::is_option_argument("/R"));
  EXPECT_TRUE(suite::is_option_argument("-R"));
  EXPECT_FALSE(suite::is_option_argument("-"));
  EXPECT_FALSE(suite::is_option_argument("/"));
  EXPECT_FALSE(suite::is_option_argument(folder.file("f")));
  EXPECT_FALSE(suite::is_option_argument(folder.path()));
  EXPECT_TRUE(suite::is_option_argument(folder.file("missing")));
  EXPECT_FALSE(suite::is_option_argument("file.txt"));
}
