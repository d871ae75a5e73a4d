#include <gtest/gtest.h>

#include "tests/dupro/dupro_test_text.h"
#include "tests/dupro/dupro_test_tree.h"
#include "tests/support/run_program.h"

namespace {

using namespace dupro_test;
using dupro::platform::ARCHIVE;
using dupro::platform::READ_ONLY;
using suite_test::RunResult;

constexpr std::size_t MIB = 1024 * 1024;

class DuproCompare : public ::testing::Test {
 protected:
  void SetUp() override {
    make_folder(folder_.file("src"));
    make_folder(folder_.file("dst"));
  }
  RunResult run(const std::vector<std::string>& arguments) {
    suite_test::RunOptions options;
    options.folder = folder_.path();
    return suite_test::run_program("dupro", arguments, options);
  }
  // Writes a file into both trees with the same time stamp.
  void pair(const std::string& name, const std::string& source, const std::string& target) {
    folder_.write("src/" + name, source);
    folder_.write("dst/" + name, target);
    set_time(folder_.file("src/" + name), 1999, 3, 4, 5, 6, 8);
    set_time(folder_.file("dst/" + name), 1999, 3, 4, 5, 6, 8);
  }
  suite_test::TempFolder folder_;
};

TEST_F(DuproCompare, EachKindOfDifferenceHasItsLine) {
  pair("equal", "same bytes", "same bytes");
  pair("size", "abc", "abcd");
  pair("date", "abc", "abc");
  set_time(folder_.file("dst/date"), 1999, 3, 5, 5, 6, 8);
  pair("time", "abc", "abc");
  set_time(folder_.file("dst/time"), 1999, 3, 4, 5, 6, 10);
  pair("attributes", "abc", "abc");
  set_attributes(folder_.file("dst/attributes"), READ_ONLY | ARCHIVE);
  pair("content", "abcdef", "abcdeg");
  pair("archive", "abc", "abc");
  set_attributes(folder_.file("dst/archive"), 0);
  pair("empty", "", "");
  folder_.write("src/missing", "m");
  RunResult result = run({"-E", "src", "dst"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(sorted_lines(result.out),
            sorted({BANNER_LINE, "dst/equal is equal.", "dst/size has different size.",
                    "dst/date has different date stamp.", "dst/time has different time stamp.",
                    "dst/attributes has different attributes.", "dst/content is different.",
                    "dst/archive is equal.", "dst/empty is equal.", "dst/missing does not exists."}));
  EXPECT_EQ(summary_of(result.out), "\t9 entries checked. 6 errors.");
  EXPECT_EQ(folder_.read("dst/content"), "abcdeg");
}

TEST_F(DuproCompare, HiddenFilesKeepTheirArchiveBits) {
  pair(".hidden", "h", "h");
  set_attributes(folder_.file("src/.hidden"), dupro::platform::HIDDEN);
  set_attributes(folder_.file("dst/.hidden"), ARCHIVE);
  RunResult result = run({"-E", "src", "dst"});
  EXPECT_EQ(result.out, BANNER + "dst/.hidden is equal.\r\n\t1 entry checked. No error.");
  EXPECT_EQ(attributes_of(folder_.file("src/.hidden")), dupro::platform::HIDDEN);
  // The target receives the source's attribute word after being read.
  EXPECT_EQ(attributes_of(folder_.file("dst/.hidden")), dupro::platform::HIDDEN);
}

TEST_F(DuproCompare, SummaryForms) {
  RunResult nothing = run({"-E", "src", "dst"});
  EXPECT_EQ(nothing.out, BANNER + "\tNo entry found.");
  folder_.write("src/one", "1");
  RunResult missing = run({"-E", "src", "dst"});
  EXPECT_EQ(missing.out, BANNER + "dst/one does not exists.\r\n\t1 entry checked. 1 error.");
  pair("one", "1", "1");
  RunResult equal = run({"-E", "src", "dst"});
  EXPECT_EQ(equal.out, BANNER + "dst/one is equal.\r\n\t1 entry checked. No error.");
  pair("two", "2", "x");
  pair("three", "3", "y");
  RunResult errors = run({"-E", "src", "dst"});
  EXPECT_EQ(summary_of(errors.out), "\t3 entries checked. 2 errors.");
}

TEST_F(DuproCompare, LargeFilesAreComparedSliceBySlice) {
  std::string big = binary_bytes(12 * MIB + 3, 7);
  pair("big", big, big);
  std::string changed = big;
  changed.back() ^= 1;
  pair("late", big, changed);
  RunResult result = run({"-E", "src", "dst"});
  EXPECT_EQ(sorted_lines(result.out), sorted({BANNER_LINE, "dst/big is equal.", "dst/late is different."}));
  EXPECT_EQ(summary_of(result.out), "\t2 entries checked. 1 error.");
}

TEST_F(DuproCompare, CopyThenCompareIsEqualAndXDeletesOnlyEqualSources) {
  make_folder(folder_.file("src/sub"));
  folder_.write("src/a", binary_bytes(1000, 1));
  folder_.write("src/sub/b", binary_bytes(6 * MIB, 2));
  RunResult copy = run({"src", "copy"});
  ASSERT_EQ(copy.status, 0);
  folder_.write("src/c", "not copied");
  RunResult compare = run({"-EX", "src", "copy"});
  EXPECT_EQ(sorted_lines(compare.out), sorted({BANNER_LINE, "copy/a is equal.", "copy/sub/b is equal.",
                                               "copy/c does not exists."}));
  EXPECT_FALSE(folder_.exists("src/a"));
  EXPECT_FALSE(folder_.exists("src/sub/b"));
  EXPECT_TRUE(folder_.exists("src/c"));
}

TEST_F(DuproCompare, SameFolderComparesEqualAndIsNeverDeleted) {
  folder_.write("src/a", "a");
  RunResult result = run({"-EX", "src", "src"});
  EXPECT_EQ(folder_.read("src/a"), "a");
  EXPECT_EQ(count_of(result.out, "Could not delete"), 1u);
}

}  // namespace
