#include "ordly/platform.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include "tests/support/run_program.h"

namespace {

using ordly::platform::claim_new_name;
using ordly::platform::NameClaim;

TEST(OrdlyPlatform, ANameIsClaimedOnceAndNeverThroughAnEntryThatHasIt) {
  suite_test::TempFolder folder;
  EXPECT_EQ(claim_new_name(folder.file("TMP1.$$$")), NameClaim::made);
  EXPECT_EQ(folder.read("TMP1.$$$"), "");
  // A second run asking for the same name is refused it.
  EXPECT_EQ(claim_new_name(folder.file("TMP1.$$$")), NameClaim::taken);
  ASSERT_EQ(symlink("made.txt", folder.file("TMP2.$$$").c_str()), 0);
  EXPECT_EQ(claim_new_name(folder.file("TMP2.$$$")), NameClaim::taken);
  EXPECT_FALSE(folder.exists("made.txt"));
  // A name that cannot be made for another reason is not Ordly's.
  EXPECT_EQ(claim_new_name(folder.file("no-such-folder/TMP1.$$$")), NameClaim::failed);
}

}  // namespace
