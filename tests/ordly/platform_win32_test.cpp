#include "ordly/platform.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/run_program.h"

namespace {

TEST(OrdlyPlatform, ANameIsClaimedOnceAndNeverWhereAnEntryHasIt) {
  suite_test::TempFolder folder;
  EXPECT_TRUE(ordly::platform::claim_new_name(folder.file("TMP1.$$$")));
  EXPECT_EQ(folder.read("TMP1.$$$"), "");
  // A second run asking for the same name is refused it.
  EXPECT_FALSE(ordly::platform::claim_new_name(folder.file("TMP1.$$$")));
  // So is a run where a folder has the name.
  std::filesystem::create_directory(folder.file("TMP2.$$$"));
  EXPECT_FALSE(ordly::platform::claim_new_name(folder.file("TMP2.$$$")));
  // A name that cannot be made for another reason is left for the open to report.
  EXPECT_TRUE(ordly::platform::claim_new_name(folder.file("no-such-folder/TMP1.$$$")));
}

}  // namespace
