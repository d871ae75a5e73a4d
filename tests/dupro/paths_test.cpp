#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#ifdef _WIN32
#include <windows.h>
#endif

#include "dupro/paths.h"
#include "dupro/platform.h"
#include "tests/support/run_program.h"

namespace {

// A path written with '/' as the platform writes it.
std::string native(std::string path) {
  for (char& c : path) {
    if (c == '/') c = dupro::platform::SEPARATOR;
  }
  return path;
}

// Runs a test inside a scratch folder holding DATA/SUB and DATA/FILE.TXT.
class ResolvePath : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dupro::platform::current_directory(previous_));
    std::filesystem::create_directories(folder_.file("DATA/SUB"));
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
  EXPECT_EQ(dupro::resolve_path("DATA"), here_ + native("/DATA/"));
  EXPECT_EQ(dupro::resolve_path("DATA/"), here_ + native("/DATA/"));
  EXPECT_EQ(dupro::resolve_path("DATA/SUB"), here_ + native("/DATA/SUB/"));
  EXPECT_EQ(dupro::resolve_path("DATA\\SUB\\"), here_ + native("/DATA/SUB/"));
  EXPECT_EQ(dupro::resolve_path("DATA\\*.TXT"), here_ + native("/DATA/*.TXT"));
  EXPECT_EQ(dupro::resolve_path(here_ + native("/DATA")), here_ + native("/DATA/"));
  // The root of the current drive where paths have drives.
  EXPECT_EQ(dupro::resolve_path("/"), here_.substr(0, here_.find(dupro::platform::SEPARATOR) + 1));
  EXPECT_EQ(dupro::resolve_path("./"), here_ + native("/"));
  EXPECT_EQ(current(), here_);
}

TEST_F(ResolvePath, FilesAndPatternsKeepTheirName) {
  EXPECT_EQ(dupro::resolve_path("DATA/*.TXT"), here_ + native("/DATA/*.TXT"));
  EXPECT_EQ(dupro::resolve_path("DATA/FILE.TXT"), here_ + native("/DATA/FILE.TXT"));
  EXPECT_EQ(dupro::resolve_path("FILE.TXT"), here_ + native("/FILE.TXT"));
  EXPECT_EQ(dupro::resolve_path("DATA/SUB/../*.*"), here_ + native("/DATA/*.*"));
  EXPECT_EQ(current(), here_);
}

TEST_F(ResolvePath, MissingDirectoryOrDriveGivesEmpty) {
  EXPECT_EQ(dupro::resolve_path("NOPE/*.*"), "");
  EXPECT_EQ(dupro::resolve_path("DATA/FILE.TXT/x"), "");
  EXPECT_EQ(dupro::resolve_path("Q:/X"), "");
  EXPECT_EQ(dupro::resolve_path("A:./"), "");
  EXPECT_EQ(current(), here_);
}

#ifdef _WIN32
// Each drive keeps a current directory of its own: a path on another drive
// resolves from the directory that drive keeps, and resolving leaves both
// the drive and its directory as they were.
TEST_F(ResolvePath, AnotherDriveResolvesFromTheDirectoryItKeeps) {
  std::string drive = here_.substr(0, 2);
  EXPECT_EQ(dupro::resolve_path(drive + "FILE.TXT"), here_ + native("/FILE.TXT"));
  EXPECT_EQ(dupro::resolve_path(drive + "DATA"), here_ + native("/DATA/"));
  EXPECT_EQ(dupro::resolve_path(drive + ".\\"), here_ + native("/"));
  EXPECT_EQ(dupro::resolve_path(drive + "\\"), drive + "\\");
  // Another drive, in a directory of its own that it keeps while the run
  // is on this drive.
  std::string elsewhere = drive == "C:" ? "Z:\\tmp" : "C:\\windows";
  std::string other_drive = elsewhere.substr(0, 2);
  if (GetFileAttributesA(elsewhere.c_str()) == INVALID_FILE_ATTRIBUTES) {
    GTEST_SKIP() << "the system has no folder " << elsewhere << " on a second drive";
  }
  ASSERT_TRUE(dupro::platform::change_directory(elsewhere));
  ASSERT_TRUE(dupro::platform::change_directory(here_));
  EXPECT_EQ(dupro::resolve_path(other_drive + ".\\"), elsewhere + "\\");
  EXPECT_EQ(dupro::resolve_path(other_drive + "\\"), other_drive + "\\");
  EXPECT_EQ(current(), here_);
  EXPECT_TRUE(dupro::platform::change_drive(other_drive[0]));
  EXPECT_EQ(current(), elsewhere);
}
#endif

TEST(NormalisePaths, SourceAndTarget) {
  EXPECT_EQ(dupro::normalise_source("A:"), native("A:./"));
  EXPECT_EQ(dupro::normalise_source("src"), "src");
  EXPECT_EQ(dupro::normalise_target("B:"), native("B:./"));
  EXPECT_EQ(dupro::normalise_target(native("dst/DATA")), native("dst/DATA/"));
  EXPECT_EQ(dupro::normalise_target(native("/")), native("/"));
  EXPECT_EQ(dupro::normalise_target(""), "");
}

}  // namespace
