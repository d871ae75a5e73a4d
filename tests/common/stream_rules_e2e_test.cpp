// The rules of the standard streams that every program shares: a reader
// that goes away early ends no program by a signal; output comes before
// the later messages when both streams meet in one place; an input that
// standard output appends to is refused before it is read.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/run_program.h"

namespace {

using suite_test::RunOptions;
using suite_test::RunResult;
using suite_test::TempFolder;

std::string numbered_lines(int count, const std::string& word = "line") {
  std::string text;
  for (int i = 1; i <= count; ++i) text += word + " " + std::to_string(i) + "\n";
  return text;
}

// A reader that takes one byte and goes, with far more output to come.
RunResult run_with_early_reader_exit(const std::string& program, const std::vector<std::string>& arguments,
                                     const TempFolder& folder) {
  RunOptions options;
  options.input = numbered_lines(300000);
  options.folder = folder.path();
  options.close_output_after = 1;
  return run_program(program, arguments, options);
}

TEST(BrokenPipe, FiltersEndAsAfterTheirNormalEnd) {
  const std::vector<std::pair<std::string, std::vector<std::string>>> runs = {
      {"onely", {}},      {"cut", {"/c1-3"}}, {"paste", {"-", "-"}}, {"colpack", {}},
      {"colspread", {}}, {"tail", {"/300000"}}, {"ordly", {}},
  };
  for (const auto& [program, arguments] : runs) {
    TempFolder folder;
    RunResult run = run_with_early_reader_exit(program, arguments, folder);
    EXPECT_EQ(run.signal, 0) << program;
    EXPECT_EQ(run.status, 0) << program;
    EXPECT_FALSE(run.timed_out) << program;
  }
}

// Count writes once, at its end: its output is refused from the start.
TEST(BrokenPipe, CountWithNobodyReadingEndsNormally) {
  TempFolder folder;
  folder.write("a.txt", "one two\n");
  RunOptions options;
  options.folder = folder.path();
  options.close_output_after = 0;
  RunResult run = run_program("count", {"a.txt"}, options);
  EXPECT_EQ(run.signal, 0);
  EXPECT_EQ(run.status, 0);
}

// Difra's status says whether the files differ, also when nobody reads the
// report to its end.
TEST(BrokenPipe, DifraStillTellsThatTheFilesDiffer) {
  TempFolder folder;
  folder.write("a.txt", numbered_lines(20000));
  folder.write("b.txt", numbered_lines(20000, "other"));
  RunResult run = run_with_early_reader_exit("difra", {"a.txt", "b.txt"}, folder);
  EXPECT_EQ(run.signal, 0);
  EXPECT_EQ(run.status, 1);
}

// A copy is not given up because its listing has no reader: every file
// arrives.
TEST(BrokenPipe, DuproFinishesTheCopy) {
  TempFolder folder;
  mkdir(folder.file("src").c_str(), 0777);
  for (int i = 0; i < 200; ++i) folder.write("src/f" + std::to_string(i) + ".txt", std::to_string(i));
  RunOptions options;
  options.folder = folder.path();
  options.close_output_after = 0;
  RunResult run = run_program("dupro", {"src", "dst"}, options);
  EXPECT_EQ(run.signal, 0);
  EXPECT_EQ(run.status, 0);
  for (int i = 0; i < 200; ++i) EXPECT_EQ(folder.read("dst/f" + std::to_string(i) + ".txt"), std::to_string(i));
}

// Both streams on one pipe, as in a log of both.
RunResult run_merged(const std::string& program, const std::vector<std::string>& arguments,
                     const TempFolder& folder) {
  RunOptions options;
  options.folder = folder.path();
  options.merge_streams = true;
  return run_program(program, arguments, options);
}

std::size_t position_of(const std::string& text, const std::string& part) {
  std::size_t at = text.find(part);
  EXPECT_NE(at, std::string::npos) << "'" << part << "' missing in:\n" << text;
  return at;
}

TEST(StreamOrder, OutputComesBeforeLaterMessagesOnOnePipe) {
  TempFolder folder;
  folder.write("x.txt", "1\n2\n");
  RunResult count = run_merged("count", {"x.txt", "missing.txt"}, folder);
  EXPECT_EQ(count.status, 2);
  EXPECT_LT(position_of(count.out, "x.txt:\r\n"), position_of(count.out, "Error: File not found."));

  RunResult tail = run_merged("tail", {"x.txt", "missing.txt", "x.txt"}, folder);
  EXPECT_EQ(tail.out, "1\r\n2\r\nCannot open missing.txt\r\n1\r\n2\r\n");

  RunResult exhausted = run_merged("tail", {"/1", "x.txt", "/b", "/-3", "x.txt"}, folder);
  EXPECT_EQ(exhausted.status, 1);
  EXPECT_LT(position_of(exhausted.out, "2\r\n"), position_of(exhausted.out, "Memory exhausted"));
}

TEST(StreamOrder, OutputComesBeforeLaterMessagesOnATerminal) {
  TempFolder folder;
  folder.write("x.txt", "1\n2\n");
  suite_test::TerminalSession count("count", {"x.txt", "missing.txt"}, folder.path(),
                                    suite_test::TerminalOutput::terminal);
  RunResult counted = count.finish();
  EXPECT_EQ(counted.status, 2);
  EXPECT_LT(position_of(counted.out, "x.txt:"), position_of(counted.out, "Error: File not found."));

  suite_test::TerminalSession tail("tail", {"x.txt", "missing.txt"}, folder.path(),
                                   suite_test::TerminalOutput::terminal);
  RunResult tailed = tail.finish();
  EXPECT_LT(position_of(tailed.out, "2\r"), position_of(tailed.out, "Cannot open missing.txt"));
}

// Runs the program with standard output appending to a file of the folder,
// as `program arguments >> name` does; gives the run and leaves the file.
RunResult run_appending_to(const std::string& program, const std::vector<std::string>& arguments,
                           const TempFolder& folder, const std::string& name, bool input_from_file) {
  // The launcher collects standard output from a pipe, so the appending
  // output is made by a small shell step around the program.
  std::vector<std::string> program_command = suite_test::program_command(program, arguments);
  std::string command = "exec \"$0\"";
  for (std::size_t i = 1; i < program_command.size(); ++i) command += " \"$" + std::to_string(i) + "\"";
  command += " >> " + name;
  if (input_from_file) command += " < " + name;
  std::vector<std::string> shell_arguments = {"-c", command};
  shell_arguments.insert(shell_arguments.end(), program_command.begin(), program_command.end());
  RunOptions options;
  options.folder = folder.path();
  options.timeout_seconds = 20;
  return suite_test::run_command("/bin/sh", shell_arguments, options);
}

TEST(FeedingInput, AnInputThatStandardOutputAppendsToIsRefused) {
  struct Case {
    std::string program;
    std::vector<std::string> arguments;
    bool input_from_file;
    int status;
  };
  const std::vector<Case> cases = {
      {"onely", {"f.txt"}, false, 8},    {"onely", {}, true, 8},        {"colpack", {"f.txt"}, false, 8},
      {"colspread", {"f.txt"}, false, 8}, {"colspread", {}, true, 8},   {"cut", {"/c1-3", "f.txt"}, false, 8},
      {"cut", {"/c1-3"}, true, 8},        {"paste", {"f.txt"}, false, 16}, {"paste", {"-"}, true, 16},
  };
  const std::string text = "a  b\n  c\n";
  for (const Case& c : cases) {
    TempFolder folder;
    folder.write("f.txt", text);
    RunResult run = run_appending_to(c.program, c.arguments, folder, "f.txt", c.input_from_file);
    EXPECT_FALSE(run.timed_out) << c.program;
    EXPECT_EQ(run.status, c.status) << c.program;
    EXPECT_EQ(folder.read("f.txt"), text) << c.program;
  }
}

// Output that goes to a destination of its own, or a file that was emptied
// before the run, feeds nothing.
TEST(FeedingInput, OtherOutputsOfTheSameFolderAreTakenAsBefore) {
  TempFolder folder;
  folder.write("f.txt", "a\na\n");
  RunResult named = run_appending_to("onely", {"f.txt", "out.txt"}, folder, "f.txt", false);
  EXPECT_EQ(named.status, 0);
  EXPECT_EQ(folder.read("out.txt"), "a\r\n");
  EXPECT_EQ(folder.read("f.txt"), "a\na\n");

  RunResult other = run_appending_to("onely", {"f.txt"}, folder, "g.txt", false);
  EXPECT_EQ(other.status, 0);
  EXPECT_EQ(folder.read("g.txt"), "a\r\n");
}

}  // namespace
