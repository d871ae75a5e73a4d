// The argument rules that hold where '/' separates paths and may begin one.
#include "common/arguments.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/platform.h"
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
