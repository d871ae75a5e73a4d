#include "ordly/platform.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include "tests/support/run_program.h"

namespace {

TEST(OrdlyPlatform, ANameIsClaimedOnceAndNeverThroughAnEntryThatHasIt) {
  suite_test::TempFolder folder;
  EXPECT_TRUE(ordly::platform::claim_new_name(folder.file("TMP1.$$$")));
  EXPECT_EQ(folder.read("TMP1.$$$"), "");
  // A second run asking for the same name is refused it.
  EXPECT_FALSE(ordly::platform::claim_new_name(folder.file("TMP1.$$$")));
  ASSERT_EQ(symlink("made.txt", folder.file("TMP2.$$$").c_str()), 0);
  EXPECT_FALSE(ordly::platform::claim_new_name(folder.file("TMP2.$$$")));
  EXPECT_FALSE(folder.exists("made.txt"));
  // A name that cannot be made for another reason is left for the open to report.
  EXPECT_TRUE(ordly::platform::claim_new_name(folder.file("no-such-folder/TMP1.$$$")));
}

}  // namespace
