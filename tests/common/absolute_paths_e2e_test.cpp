// Every program that takes a path argument, run with absolute paths: new
// output files and target folders that do not exist yet, existing inputs,
// and option groups that look like paths but must stay options.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/run_program.h"

namespace {

using suite_test::crlf;
using suite_test::read_file;
using suite_test::run_program;
using suite_test::RunOptions;
using suite_test::RunResult;
using suite_test::TempFolder;

// The option groups of the tests must not name entries of the root folder,
// or they would be paths on this machine.
bool root_folder_holds_any(std::initializer_list<const char*> names) {
  for (const char* name : names) {
    if (std::filesystem::exists(std::string("/") + name)) return true;
  }
  return false;
}

// A file of the folder named by an absolute path.
std::string absolute(const TempFolder& folder, const std::string& name) {
  return suite_test::path_argument(folder.file(name));
}

TEST(AbsolutePaths, OrdlyReadsAbsoluteInputsAndWritesANewAbsoluteOutput) {
  TempFolder folder;
  folder.write("in.txt", "b\na\nc\n");
  RunResult result = run_program("ordly", {"/R", absolute(folder, "in.txt")});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out, crlf("c\nb\na\n"));

  // '/O' with the name in the same argument stays an option group.
  ASSERT_FALSE(root_folder_holds_any({"O", "5R"}));
  result = run_program("ordly", {"/O" + absolute(folder, "sorted.txt"), absolute(folder, "in.txt")});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(folder.read("sorted.txt"), crlf("a\nb\nc\n"));
  folder.write("columns.txt", "1234a\n9999c\n0000b\n");
  result = run_program("ordly", {"/5R", absolute(folder, "columns.txt")});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, crlf("9999c\n0000b\n1234a\n"));

  // A missing input under an existing root entry is a file name that
  // cannot be opened, not an option group.
  result = run_program("ordly", {absolute(folder, "missing.txt")});
  EXPECT_EQ(result.status, 4);
  EXPECT_NE(result.err.find("Can't open '" + absolute(folder, "missing.txt") + "'."), std::string::npos);

  // Where paths have drives, an argument that begins with '/' is an option
  // group, also when it names an existing file from the root folder.
  if (suite_test::programs_run_under_wine()) {
    result = run_program("ordly", {folder.file("in.txt")});
    EXPECT_EQ(result.status, 8);
    EXPECT_NE(result.err.find("Invalid option: '"), std::string::npos);
  }
}

TEST(AbsolutePaths, DuproCopiesIntoANewTargetTreeSeveralLevelsDeep) {
  TempFolder folder;
  std::filesystem::create_directories(folder.file("src/sub"));
  folder.write("src/one.txt", "1\n");
  folder.write("src/sub/two.txt", "2\n");
  const std::string target = folder.file("new/deep/er/target");
  RunResult result = run_program("dupro", {absolute(folder, "src"), absolute(folder, "new/deep/er/target")});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(read_file(target + "/one.txt"), "1\n");
  EXPECT_EQ(read_file(target + "/sub/two.txt"), "2\n");
  EXPECT_NE(result.out.find("\"" + absolute(folder, "new/deep/er/target") + "\" directory has been created"),
            std::string::npos);
  EXPECT_NE(result.out.find("\t2 files copied. 5 directories created."), std::string::npos);

  // Options stay options beside absolute paths: '/R' anywhere, and 'T'
  // taking a new absolute target as its value.
  ASSERT_FALSE(root_folder_holds_any({"R", "T"}));
  const std::string second = folder.file("second/target");
  result = run_program("dupro", {"/R", absolute(folder, "src/one.txt"), "/T", absolute(folder, "second/target")});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(read_file(second + "/one.txt"), "1\n");
}

TEST(AbsolutePaths, DifraComparesAbsoluteFiles) {
  TempFolder folder;
  folder.write("a.txt", "same\nline  \n");
  folder.write("b.txt", "same\nline\n");
  ASSERT_FALSE(root_folder_holds_any({"b"}));
  RunResult result = run_program("difra", {"/b", absolute(folder, "a.txt"), absolute(folder, "b.txt")});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, crlf("Reading file '" + absolute(folder, "a.txt") + "'.\nReading file '" +
                             absolute(folder, "b.txt") + "'.\n\n*** 2 line(s) match. ***\n\n"));

  // A missing second file is a file that cannot be opened.
  result = run_program("difra", {absolute(folder, "a.txt"), absolute(folder, "missing.txt")});
  EXPECT_EQ(result.status, 255);
  EXPECT_NE(result.out.find("Unable to open file '" + absolute(folder, "missing.txt/a.txt") + "'."),
            std::string::npos);

  if (suite_test::programs_run_under_wine()) {
    result = run_program("difra", {folder.file("a.txt"), folder.file("b.txt")});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out.rfind("Invalid command line option\r\n", 0), 0u);
  }
}

TEST(AbsolutePaths, TailReadsAbsoluteFilesWithOptionsBeforeThem) {
  TempFolder folder;
  folder.write("in.txt", "1\n2\n3\n");
  ASSERT_FALSE(root_folder_holds_any({"2", "b"}));
  RunResult result = run_program("tail", {"/2", absolute(folder, "in.txt")});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, crlf("2\n3\n"));
  result = run_program("tail", {"/b", "/3", absolute(folder, "in.txt")});
  EXPECT_EQ(result.out, crlf("\n3\n"));

  RunOptions options;
  options.input = "stdin\n";
  result = run_program("tail", {absolute(folder, "missing.txt")}, options);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, crlf("Cannot open " + absolute(folder, "missing.txt") + "\n"));
}

TEST(AbsolutePaths, CountCountsAbsoluteFiles) {
  TempFolder folder;
  folder.write("in.txt", "One two.\n");
  RunResult result = run_program("count", {absolute(folder, "in.txt")});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out.substr(0, absolute(folder, "in.txt").size() + 3), absolute(folder, "in.txt") + ":\r\n");
  EXPECT_NE(result.out.find("           9 Bytes."), std::string::npos);
  result = run_program("count", {absolute(folder, "missing.txt")});
  EXPECT_EQ(result.status, 2);
}

TEST(AbsolutePaths, OnelyWritesANewAbsoluteDestination) {
  TempFolder folder;
  folder.write("in.txt", "a\na\nb\n");
  ASSERT_FALSE(root_folder_holds_any({"c"}));
  RunResult result = run_program("onely", {"/c", absolute(folder, "in.txt"), absolute(folder, "out.txt")});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(folder.read("out.txt"), crlf("      2\ta\n      1\tb\n"));
}

TEST(AbsolutePaths, CutReadsAnAbsoluteFileWithSlashDelimiter) {
  TempFolder folder;
  folder.write("in.txt", "a/b/c\n");
  ASSERT_FALSE(root_folder_holds_any({"d", "f2"}));
  RunResult result = run_program("cut", {"/d/", "/f2", absolute(folder, "in.txt")});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, crlf("b\n"));
  result = run_program("cut", {"/c1", absolute(folder, "missing.txt")});
  EXPECT_EQ(result.status, 8);
}

TEST(AbsolutePaths, PasteJoinsAbsoluteFiles) {
  TempFolder folder;
  folder.write("a.txt", "1\n2\n");
  folder.write("b.txt", "x\ny\n");
  ASSERT_FALSE(root_folder_holds_any({"d"}));
  RunResult result = run_program("paste", {"/d/", absolute(folder, "a.txt"), absolute(folder, "b.txt")});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, crlf("1/x\n2/y\n"));
  result = run_program("paste", {absolute(folder, "a.txt"), absolute(folder, "missing.txt")});
  EXPECT_EQ(result.status, 16);
}

TEST(AbsolutePaths, ColpackAndColspreadWriteNewAbsoluteDestinations) {
  TempFolder folder;
  folder.write("spaces.txt", "ab  cd\n");
  folder.write("tabs.txt", "ab\tcd\n");
  ASSERT_FALSE(root_folder_holds_any({"T5,9", "D4"}));
  RunResult result =
      run_program("colpack", {"/T5,9", absolute(folder, "spaces.txt"), absolute(folder, "packed.txt")});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(folder.read("packed.txt"), crlf("ab\tcd\n"));
  result = run_program("colspread", {"/D4", absolute(folder, "tabs.txt"), absolute(folder, "spread.txt")});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(folder.read("spread.txt"), crlf("ab  cd\n"));
  // A destination in a folder that does not exist cannot be opened.
  result = run_program("colspread", {absolute(folder, "tabs.txt"), absolute(folder, "no/out.txt")});
  EXPECT_EQ(result.status, 8);
}

}  // namespace
