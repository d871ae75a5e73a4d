#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "tests/support/run_program.h"

using suite_test::RunOptions;
using suite_test::RunResult;
using suite_test::TempFolder;
using suite_test::crlf;
using suite_test::run_program;

namespace {

// Lines "1\n" to "<count>\n", as written to a file, and as Tail prints them
// through its text-mode standard output.
std::string numbered_lines(int first, int last) {
  std::string text;
  for (int i = first; i <= last; ++i) text += std::to_string(i) + "\n";
  return text;
}

std::string printed_lines(int first, int last) { return crlf(numbered_lines(first, last)); }

RunResult run_tail(const std::vector<std::string>& arguments, const TempFolder& folder, const std::string& input = "") {
  RunOptions options;
  options.folder = folder.path();
  options.input = input;
  return run_program("tail", arguments, options);
}

const char USAGE_END[] =
    "\r\n"
    "Use: TAIL [/n] [/b] [file(s)]\r\n"
    "Dump to cout the last 10 (or 'n') lines (or 'b'ytes) of cin (or 'file(s)')\r\n";

const char MEMORY_EXHAUSTED[] = "\r\nMemory exhausted\r\n";

}  // namespace

TEST(TailStandardInput, LastTenLinesByDefault) {
  TempFolder folder;
  RunResult result = run_tail({}, folder, numbered_lines(1, 25));
  EXPECT_EQ(result.out, printed_lines(16, 25));
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(run_tail({}, folder, numbered_lines(1, 4)).out, printed_lines(1, 4));
  EXPECT_EQ(run_tail({}, folder, "").out, "");
  EXPECT_EQ(run_tail({"/b"}, folder, "").out, "");
}

TEST(TailStandardInput, TextModeDropsCarriageReturnsAndEndsAtCtrlZ) {
  TempFolder folder;
  EXPECT_EQ(run_tail({"/2"}, folder, "a\r\nb\r\nc\r\n\x1A" "d\n").out, "b\r\nc\r\n");
  // Byte mode on standard input: the CR bytes are gone before counting.
  EXPECT_EQ(run_tail({"/b", "/3"}, folder, "a\r\nb\r\n").out, "\r\nb\r\n");
}

TEST(TailFiles, SettingsApplyToTheFilesNamedAfterThem) {
  TempFolder folder;
  folder.write("a.txt", numbered_lines(1, 12));
  folder.write("b.txt", numbered_lines(101, 112));
  RunResult result = run_tail({"a.txt", "/5", "b.txt"}, folder);
  EXPECT_EQ(result.out, printed_lines(3, 12) + printed_lines(108, 112));
  EXPECT_EQ(result.status, 0);
  // Byte mode given after a file name leaves that file tailed by lines; the
  // file counts as named, so standard input is not read.
  result = run_tail({"/3", "a.txt", "/b"}, folder, "never read\n");
  EXPECT_EQ(result.out, printed_lines(10, 12));
  // /B and /b alike; the count stays what was last given.
  result = run_tail({"/4", "/B", "a.txt", "/b", "/2", "b.txt"}, folder);
  EXPECT_EQ(result.out, "\r\n12\r\n" "2\r\n");
}

TEST(TailFiles, ByteModeReadsFilesAsStored) {
  TempFolder folder;
  folder.write("crlf.txt", "one\r\ntwo\r\n\x1A" "z");
  // Both bytes of each CR LF count and Ctrl-Z is data; the LF is written as
  // CR LF by the text-mode output.
  EXPECT_EQ(run_tail({"/b", "/7", "crlf.txt"}, folder).out, "two\r\r\n\x1A" "z");
  EXPECT_EQ(run_tail({"/b", "/100", "crlf.txt"}, folder).out, "one\r\r\ntwo\r\r\n\x1A" "z");
  // In line mode the same file is read in text mode and ends at Ctrl-Z.
  EXPECT_EQ(run_tail({"/1", "crlf.txt"}, folder).out, "two\r\n");
}

TEST(TailFiles, LastLineWithoutNewlineRunsIntoTheNextFile) {
  TempFolder folder;
  folder.write("a.txt", "x\ny");
  folder.write("b.txt", "z\n");
  EXPECT_EQ(run_tail({"a.txt", "b.txt"}, folder).out, "x\r\nyz\r\n");
}

TEST(TailFiles, NulBytesInLines) {
  TempFolder folder;
  folder.write("with-nul.txt", std::string("ab\0cd\n\0ef\ngh\n", 13));
  EXPECT_EQ(run_tail({"/2", "with-nul.txt"}, folder).out, "abgh\r\n");
}

TEST(TailFiles, NegativeCount) {
  TempFolder folder;
  folder.write("a.txt", numbered_lines(1, 30));
  RunResult result = run_tail({"/-3", "a.txt"}, folder);
  EXPECT_EQ(result.out, printed_lines(1, 30));
  EXPECT_EQ(result.status, 0);
  // A byte ring of a negative size cannot be had: the earlier file's output
  // is still written, then the memory message ends the run.
  result = run_tail({"/2", "a.txt", "/b", "/-3", "a.txt", "a.txt"}, folder);
  EXPECT_EQ(result.out, printed_lines(29, 30));
  EXPECT_EQ(result.err, MEMORY_EXHAUSTED);
  EXPECT_EQ(result.status, 1);
  result = run_tail({"/-3", "/b"}, folder, "abc\n");
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, MEMORY_EXHAUSTED);
  EXPECT_EQ(result.status, 1);
}

TEST(TailErrors, UnopenableNamesAreReportedAndDoNotFallBackToStandardInput) {
  TempFolder folder;
  folder.write("a.txt", "a\n");
  RunResult result = run_tail({"missing.txt"}, folder, "from input\n");
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, "Cannot open missing.txt\r\n");
  EXPECT_EQ(result.status, 0);
  // Options that read as 0 are file names; a folder cannot be opened.
  result = run_tail({"/bx", "/0", "a.txt", "-", "/?"}, folder, "from input\n");
  EXPECT_EQ(result.out, "a\r\n");
  EXPECT_EQ(result.err, "Cannot open /bx\r\nCannot open /0\r\nCannot open -\r\nCannot open /?\r\n");
  EXPECT_EQ(result.status, 0);
  std::filesystem::create_directory(folder.file("sub"));
  result = run_tail({"sub"}, folder);
  EXPECT_EQ(result.err, "Cannot open sub\r\n");
}

TEST(TailErrors, NamesReachTheProgramAsWritten) {
  // Blanks, tabs, quotes and backslashes, as the launcher hands them over.
  TempFolder folder;
  const std::vector<std::string> names = {"", "two  blanks\tand a tab", "a \"quoted\" word", "back\\slash\\",
                                          "even\\\\\"run", "C:\\folder with blanks\\file"};
  RunResult result = run_tail(names, folder);
  std::string expected;
  for (const std::string& name : names) expected += "Cannot open " + name + "\r\n";
  EXPECT_EQ(result.err, expected);
  EXPECT_EQ(result.status, 0);
}

TEST(TailHelp, FirstArgumentOnly) {
  TempFolder folder;
  for (const char* help : {"?", "/?", "-?"}) {
    RunResult result = run_tail({help, "a.txt"}, folder, "x\n");
    EXPECT_EQ(result.out.rfind("TAIL 2.10\t", 0), 0u) << help;
    EXPECT_TRUE(result.out.ends_with(USAGE_END)) << help;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.status, 0);
  }
}

TEST(TailWildcards, NamesAreExpanded) {
  TempFolder folder;
  folder.write("a.txt", "1\n2\n");
  folder.write("b.dat", "3\n");
  folder.write("c", "4\n");
  EXPECT_EQ(run_tail({"/1", "*.txt"}, folder).out, "2\r\n");
  // "?" matches the file with a one-character name, which is tailed.
  RunResult result = run_tail({"?"}, folder);
  EXPECT_EQ(result.out, "4\r\n");
  EXPECT_EQ(result.status, 0);
  // A pattern that matches nothing stays a name.
  EXPECT_EQ(run_tail({"*.none"}, folder).err, "Cannot open *.none\r\n");
}

TEST(TailMemory, FailedAllocationsEndWithTheMemoryMessage) {
#ifdef SUITE_SANITIZED
  GTEST_SKIP() << "address-space limits do not work under AddressSanitizer";
#endif
  TempFolder folder;
  std::string many_lines;
  for (int i = 0; i < 2000000; ++i) many_lines += "a\n";
  folder.write("many.txt", many_lines);
  RunOptions options;
  options.folder = folder.path();
  if (suite_test::programs_run_under_wine()) GTEST_SKIP() << suite_test::WINE_HAS_NO_ADDRESS_SPACE_LIMIT;
  options.address_space_limit = 64ul << 20;
  // A byte ring larger than the address space allows.
  RunResult result = run_program("tail", {"/b", "/1000000000", "many.txt"}, options);
  EXPECT_EQ(result.err, MEMORY_EXHAUSTED);
  EXPECT_EQ(result.status, 1);
  // Every line held by a negative count.
  result = run_program("tail", {"/-1", "many.txt"}, options);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err, MEMORY_EXHAUSTED);
  EXPECT_EQ(result.status, 1);
  // The same limit is plenty for the usual window.
  result = run_program("tail", {"/3", "many.txt"}, options);
  EXPECT_EQ(result.out, "a\r\na\r\na\r\n");
  EXPECT_EQ(result.status, 0);
}

TEST(TailMemory, BinaryDataAfterANulByteIsNotHeld) {
#ifdef SUITE_SANITIZED
  GTEST_SKIP() << "address-space limits do not work under AddressSanitizer";
#endif
  // A file of 128 MiB: "x", a line feed, "ab", then zero bytes to the end
  // (sparse, so it costs no disk). Nothing after the first NUL of the last
  // line is ever printed, so none of it may be kept in memory.
  TempFolder folder;
  folder.write("image.bin", "x\nab");
  std::filesystem::resize_file(folder.file("image.bin"), 128ul << 20);
  RunOptions options;
  options.folder = folder.path();
  if (suite_test::programs_run_under_wine()) GTEST_SKIP() << suite_test::WINE_HAS_NO_ADDRESS_SPACE_LIMIT;
  options.address_space_limit = 64ul << 20;
  RunResult result = run_program("tail", {"image.bin"}, options);
  EXPECT_EQ(result.out, "x\r\nab");
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.status, 0);
}

// Byte mode skips to the end of a regular file instead of reading it all:
// the last bytes come out the same as from a pipe, for sizes around the
// stream buffer and counts below, at and above the size.
TEST(TailFiles, LastBytesOfAFileAsOfAPipe) {
  TempFolder folder;
  std::mt19937 random(99);
  const std::size_t block = 256 * 1024;
  for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{5000}, block - 1, block, block + 1,
                           2 * block + 7}) {
    std::string text(size, 'a');
    for (char& c : text) c = random() % 16 == 0 ? '\n' : static_cast<char>('a' + random() % 26);
    folder.write("f", text);
    for (std::size_t count : {std::size_t{1}, std::size_t{100}, size - 1, size, size + 1, 2 * block + 3}) {
      if (count == 0 || count > 0x7FFFFFFF) continue;
      std::string expected = crlf(count < size ? text.substr(size - count) : text);
      std::string option = std::to_string(count);
      option.insert(option.begin(), '/');
      EXPECT_EQ(run_tail({"/b", option, "f"}, folder).out, expected) << size << " " << count;
      EXPECT_EQ(run_tail({"/b", option}, folder, text).out, expected) << size << " " << count;
    }
  }
}
