#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/run_program.h"

using suite_test::RunOptions;
using suite_test::RunResult;
using suite_test::TempFolder;
using suite_test::run_program;

namespace {

const char BANNER_START[] = "\r\n\t\tCount 2.10 ";

const char USAGE[] =
    "\tUse:\tCount file(s)\r\n"
    "\r\n"
    "\tCount bytes, characters, letters, vowels, consonants, words, lines\r\n"
    "sentences, words per sentence and letters per word. '*' and '?' are OK.";

RunResult run_count(const std::vector<std::string>& arguments, const TempFolder& folder) {
  RunOptions options;
  options.folder = folder.path();
  return run_program("count", arguments, options);
}

// The report as it reaches standard output (text mode).
std::string report(unsigned long bytes, unsigned long characters, unsigned long letters, unsigned long vowels,
                   unsigned long words, unsigned long lines, unsigned long sentences, unsigned long per_sentence,
                   unsigned long per_word) {
  char text[1024];
  std::snprintf(text, sizeof text,
                "\r\n%12lu Bytes.\r\n%12lu Characters (bytes higher than the space).\r\n%12lu Letters    (A-Z,a-z)."
                "\r\n%12lu Vowels     (A,E,I,O,U,a,e,i,o,u).\r\n%12lu Consonants.\r\n%12lu Words      (sequences of "
                "characters).\r\n%12lu Lines      (end with LF=^J=0x0A=10).\r\n%12lu Sentences  (end with '.', '?' or "
                "'!').\r\n%12lu Words per sentence.\r\n%12lu Letters per word.",
                bytes, characters, letters, vowels, letters - vowels, words, lines, sentences, per_sentence, per_word);
  return text;
}

// The banner is one line: its start is fixed, the notice after it is free.
std::string after_banner(const std::string& err) {
  EXPECT_EQ(err.rfind(BANNER_START, 0), 0u) << err;
  std::size_t end = err.find("\r\n", 2);
  return end == std::string::npos ? "" : err.substr(end + 2);
}

}  // namespace

TEST(CountFiles, HelloWorld) {
  TempFolder folder;
  folder.write("hello.txt", "Hello world.\r\n");
  RunResult result = run_count({"hello.txt"}, folder);
  EXPECT_EQ(result.out, "hello.txt:\r\n" + report(14, 11, 10, 3, 2, 1, 1, 2, 5));
  EXPECT_EQ(after_banner(result.err), "");
  EXPECT_EQ(result.status, 0);

  folder.write("bare.txt", "Hello world.");
  EXPECT_EQ(run_count({"bare.txt"}, folder).out, "bare.txt:\r\n" + report(12, 11, 10, 3, 2, 1, 1, 2, 5));
}

TEST(CountFiles, EmptyFileAndZeroDivisors) {
  TempFolder folder;
  folder.write("empty.txt", "");
  folder.write("nosentence.txt", "one two three\nfour\n");
  EXPECT_EQ(run_count({"empty.txt"}, folder).out, "empty.txt:\r\n" + report(0, 0, 0, 0, 0, 0, 0, 0, 0));
  EXPECT_EQ(run_count({"nosentence.txt"}, folder).out,
            "nosentence.txt:\r\n" + report(19, 15, 15, 7, 4, 2, 0, 4, 3));
}

TEST(CountFiles, TwoFilesShareOneReportAndCarryAWord) {
  TempFolder folder;
  folder.write("a", "Hi the");
  folder.write("b", "re.\nNew line...");
  RunResult result = run_count({"a", "b"}, folder);
  // "there." spans the files; a's unterminated line counts as a line.
  EXPECT_EQ(result.out, "a:\r\nb:\r\n" + report(21, 18, 14, 6, 4, 3, 4, 1, 3));
  EXPECT_EQ(result.status, 0);
}

TEST(CountFiles, HighBytesAreCharactersOnly) {
  TempFolder folder;
  std::string high;
  for (int byte = 0x80; byte <= 0xFF; ++byte) high += static_cast<char>(byte);
  folder.write("high.bin", high + "\x1A\r\n" + high);
  EXPECT_EQ(run_count({"high.bin"}, folder).out, "high.bin:\r\n" + report(259, 256, 0, 0, 2, 2, 0, 2, 0));
}

TEST(CountFiles, WildcardsAreExpanded) {
  TempFolder folder;
  folder.write("one.txt", "a\n");
  folder.write("other.dat", "b b\n");
  EXPECT_EQ(run_count({"*.TXT"}, folder).out, "one.txt:\r\n" + report(2, 1, 1, 1, 1, 1, 0, 1, 1));
}

TEST(CountErrors, NoFileGivesUsageAndStatusOne) {
  TempFolder folder;
  RunResult result = run_count({}, folder);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(after_banner(result.err), std::string("\tError: No source file.\r\n\r\n") + USAGE);
  EXPECT_EQ(result.status, 1);
}

TEST(CountErrors, MissingFileEndsTheRunWithoutTotals) {
  TempFolder folder;
  folder.write("a", "x\n");
  std::filesystem::create_directory(folder.file("sub"));
  for (const char* bad : {"missing", "sub"}) {
    RunResult result = run_count({"a", bad, "a"}, folder);
    EXPECT_EQ(result.out, "a:\r\n") << bad;
    EXPECT_EQ(after_banner(result.err), "\tError: File not found.\r\n\r\n") << bad;
    EXPECT_EQ(result.status, 2);
  }
}

TEST(CountHelp, FirstArgumentOnly) {
  TempFolder folder;
  for (const char* help : {"?", "-?", "/?"}) {
    RunResult result = run_count({help, "missing"}, folder);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(after_banner(result.err), USAGE) << help;
    EXPECT_EQ(result.status, 0);
  }
  RunResult result = run_count({"missing", "?"}, folder);
  EXPECT_EQ(after_banner(result.err), "\tError: File not found.\r\n\r\n");
  EXPECT_EQ(result.status, 2);
}
