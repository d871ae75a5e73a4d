#include "ordly/platform.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>

#include "tests/support/run_program.h"

namespace {

using ordly::platform::claim_new_name;
using ordly::platform::NameClaim;

TEST(OrdlyPlatform, ANameIsClaimedOnceAndNeverWhereAnEntryHasIt) {
  suite_test::TempFolder folder;
  EXPECT_EQ(claim_new_name(folder.file("TMP1.$$$")), NameClaim::made);
  EXPECT_EQ(folder.read("TMP1.$$$"), "");
  // A second run asking for the same name is refused it.
  EXPECT_EQ(claim_new_name(folder.file("TMP1.$$$")), NameClaim::taken);
  // So is a run where a folder has the name.
  std::filesystem::create_directory(folder.file("TMP2.$$$"));
  EXPECT_EQ(claim_new_name(folder.file("TMP2.$$$")), NameClaim::taken);
  // A name that cannot be made for another reason is not Ordly's.
  EXPECT_EQ(claim_new_name(folder.file("no-such-folder/TMP1.$$$")), NameClaim::failed);
}

TEST(OrdlyPlatform, AReplacementTakesTheOriginalsPlaceAndAttributes) {
  suite_test::TempFolder folder;
  folder.write("out.txt", "old");
  folder.write("new.tmp", "new");
  ASSERT_NE(SetFileAttributesA(folder.file("out.txt").c_str(), FILE_ATTRIBUTE_HIDDEN), 0);
  EXPECT_TRUE(ordly::platform::replace_file(folder.file("new.tmp"), folder.file("out.txt")));
  EXPECT_EQ(folder.read("out.txt"), "new");
  EXPECT_FALSE(folder.exists("new.tmp"));
  EXPECT_NE(GetFileAttributesA(folder.file("out.txt").c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
  SetFileAttributesA(folder.file("out.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(OrdlyPlatform, TheRealPlaceIsTheFullPathAndItsFolder) {
  suite_test::TempFolder folder;
  folder.write("a.txt", "");
  std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(folder.path());
  ordly::platform::FilePlace place = ordly::platform::real_place("a.txt");
  // A name that does not exist yet has its full path too.
  ordly::platform::FilePlace new_place = ordly::platform::real_place("new.txt");
  std::filesystem::current_path(before);
  EXPECT_TRUE(place.path.size() > 6 && place.path.compare(place.path.size() - 6, 6, "\\a.txt") == 0) << place.path;
  EXPECT_EQ(place.folder, place.path.substr(0, place.path.size() - 5));
  EXPECT_TRUE(std::filesystem::equivalent(place.path, folder.file("a.txt")));
  // A drive letter begins the path, not the prefix of long paths.
  EXPECT_EQ(place.path[1], ':') << place.path;
  EXPECT_EQ(new_place.folder, place.folder);
  EXPECT_EQ(new_place.path, place.folder + "new.txt");
}

}  // namespace
