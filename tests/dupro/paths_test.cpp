#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "dupro/paths.h"
#include "dupro/platform.h"
#include "tests/support/run_program.h"

namespace {

// Runs a test inside a scratch folder holding DATA/SUB and DATA/FILE.TXT.
class ResolvePath : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dupro::platform::current_directory(previous_));
    mkdir(folder_.file("DATA").c_str(), 0777);
    mkdir(folder_.file("DATA/SUB").c_str(), 0777);
    folder_.write("DATA/FILE.TXT", "x");
    ASSERT_TRUE(dupro::platform::change_directory(folder_.path()));
    ASSERT_TRUE(dupro::platform::current_directory(here_));
  }
  void TearDown() override { dupro::platform::change_directory(previous_); }

  std::string current() {
    std::string now;
    dupro::platform::current_directory(now);
    return now;
  }

  suite_test::TempFolder folder_;
  std::string previous_;
  std::string here_;
};

TEST_F(ResolvePath, DirectoriesGetATrailingSlash) {
  EXPECT_EQ(dupro::resolve_path("DATA"), here_ + "/DATA/");
  EXPECT_EQ(dupro::resolve_path("DATA/"), here_ + "/DATA/");
  EXPECT_EQ(dupro::resolve_path("DATA/SUB"), here_ + "/DATA/SUB/");
  EXPECT_EQ(dupro::resolve_path("DATA\\SUB\\"), here_ + "/DATA/SUB/");
  EXPECT_EQ(dupro::resolve_path("DATA\\*.TXT"), here_ + "/DATA/*.TXT");
  EXPECT_EQ(dupro::resolve_path(here_ + "/DATA"), here_ + "/DATA/");
  EXPECT_EQ(dupro::resolve_path("/"), "/");
  EXPECT_EQ(dupro::resolve_path("./"), here_ + "/");
  EXPECT_EQ(current(), here_);
}

TEST_F(ResolvePath, FilesAndPatternsKeepTheirName) {
  EXPECT_EQ(dupro::resolve_path("DATA/*.TXT"), here_ + "/DATA/*.TXT");
  EXPECT_EQ(dupro::resolve_path("DATA/FILE.TXT"), here_ + "/DATA/FILE.TXT");
  EXPECT_EQ(dupro::resolve_path("FILE.TXT"), here_ + "/FILE.TXT");
  EXPECT_EQ(dupro::resolve_path("DATA/SUB/../*.*"), here_ + "/DATA/*.*");
  EXPECT_EQ(current(), here_);
}

TEST_F(ResolvePath, MissingDirectoryOrDriveGivesEmpty) {
  EXPECT_EQ(dupro::resolve_path("NOPE/*.*"), "");
  EXPECT_EQ(dupro::resolve_path("DATA/FILE.TXT/x"), "");
  EXPECT_EQ(dupro::resolve_path("Q:/X"), "");
  EXPECT_EQ(dupro::resolve_path("A:./"), "");
  EXPECT_EQ(current(), here_);
}

TEST(NormalisePaths, SourceAndTarget) {
  EXPECT_EQ(dupro::normalise_source("A:"), "A:./");
  EXPECT_EQ(dupro::normalise_source("src"), "src");
  EXPECT_EQ(dupro::normalise_target("B:"), "B:./");
  EXPECT_EQ(dupro::normalise_target("dst/DATA"), "dst/DATA/");
  EXPECT_EQ(dupro::normalise_target("/"), "/");
  EXPECT_EQ(dupro::normalise_target(""), "");
}

}  // namespace
