// The argument rules of Windows, where paths use '\' and drive letters and
// '/' only ever begins an option.
#include "common/arguments.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <filesystem>

#include "tests/support/run_program.h"

using Args = std::vector<std::string>;

namespace {

void set_attributes(const std::string& path, DWORD attributes) {
  ASSERT_NE(SetFileAttributesA(path.c_str(), attributes), 0) << path;
}

// Makes a folder the current one for as long as the object lives.
class InFolder {
 public:
  explicit InFolder(const std::string& folder) : before_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
  }
  ~InFolder() { std::filesystem::current_path(before_); }

 private:
  std::filesystem::path before_;
};

}  // namespace

TEST(ExpandWildcards, HiddenAndSystemEntriesAreLeftOutButNotNamesWithADot) {
  suite_test::TempFolder folder;
  folder.write("seen.txt", "1");
  folder.write(".dot.txt", "2");
  folder.write("hidden.txt", "h");
  folder.write("system.txt", "s");
  set_attributes(folder.file("hidden.txt"), FILE_ATTRIBUTE_HIDDEN);
  set_attributes(folder.file("system.txt"), FILE_ATTRIBUTE_SYSTEM);
  Args names = suite::expand_wildcards({folder.path() + "\\*.txt"});
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (Args{folder.path() + "\\.dot.txt", folder.path() + "\\seen.txt"}));
  set_attributes(folder.file("hidden.txt"), FILE_ATTRIBUTE_NORMAL);
  set_attributes(folder.file("system.txt"), FILE_ATTRIBUTE_NORMAL);
}

TEST(ExpandWildcards, FolderPartStaysAsTypedUpToTheLastSlashBackslashOrColon) {
  suite_test::TempFolder folder;
  folder.write("a.c", "");
  EXPECT_EQ(suite::expand_wildcards({folder.path() + "\\*.c", folder.path() + "/*.C", folder.path() + "\\*.none"}),
            (Args{folder.path() + "\\a.c", folder.path() + "/a.c", folder.path() + "\\*.none"}));
  // A drive alone names its current directory.
  InFolder here(folder.path());
  std::string drive = folder.path().substr(0, 2);
  EXPECT_EQ(suite::expand_wildcards({drive + "*.c"}), (Args{drive + "a.c"}));
}

TEST(OptionRule, SlashAlwaysBeginsAnOption) {
  suite_test::TempFolder folder;
  folder.write("f", "");
  // The file's path from the root of its drive, with '/' in front: it names
  // the file, and still it is an option.
  InFolder here(folder.path());
  std::string from_root = folder.file("f").substr(2);
  ASSERT_NE(GetFileAttributesA(from_root.c_str()), INVALID_FILE_ATTRIBUTES);
  from_root[0] = '/';
  EXPECT_TRUE(suite::is_option_argument(from_root));
  EXPECT_TRUE(suite::is_option_argument("/R"));
  EXPECT_TRUE(suite::is_option_argument("-R"));
  EXPECT_FALSE(suite::is_option_argument("-"));
  EXPECT_FALSE(suite::is_option_argument("/"));
  EXPECT_FALSE(suite::is_option_argument(folder.file("f")));
  EXPECT_FALSE(suite::is_option_argument("file.txt"));
}
