// The console layer through a terminal: keys read one by one without echo,
// keys without a character as 0 and a second code, and no console as a
// failed read that ends at once.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "tests/support/run_program.h"

namespace {

using suite_test::RunResult;
using suite_test::TerminalSession;

// The codes that key_echo wrote, one a line, after its "ready".
void pause() { std::this_thread::sleep_for(std::chrono::milliseconds(300)); }

std::string codes_after_ready(const std::string& err) {
  std::size_t ready = err.find("ready\r\n");
  return ready == std::string::npos ? "(not ready) " + err : err.substr(ready + 7);
}

TEST(ConsoleKeys, CharactersAndKeysWithoutOne) {
  TerminalSession session("key_echo", {});
  ASSERT_TRUE(session.wait_for_error_text("ready\r\n"));
  // a, Enter, Ctrl-A, Up, F1, a lone Escape, then q to end. Wine's console
  // may hold a lone Escape back as the start of a sequence and join it to
  // the next key, so there the Escape is left out.
  const bool lone_escape = !suite_test::programs_run_under_wine();
  for (const char* key : {"a", "\r", "\x01", "\x1b[A", "\x1bOP"}) {
    session.type(key);
    pause();
  }
  if (lone_escape) {
    session.type("\x1b");
    pause();
  }
  session.type("q");
  RunResult result = session.finish();
  EXPECT_EQ(result.status, 0);
  // The second codes: the console's scan codes on Windows, the last byte of
  // the terminal's sequence on POSIX.
  std::string up = suite_test::programs_run_under_wine() ? "72" : "65";
  std::string f1 = suite_test::programs_run_under_wine() ? "59" : "80";
  EXPECT_EQ(codes_after_ready(result.err), "97\r\n13\r\n1\r\n0\r\n" + up + "\r\n0\r\n" + f1 + "\r\n" +
                                               (lone_escape ? "27\r\n" : "") + "113\r\n");
}

TEST(ConsoleKeys, CtrlCIsAKey) {
  if (suite_test::programs_run_under_wine()) GTEST_SKIP() << "Wine lets the terminal turn Ctrl-C into an interrupt";
  TerminalSession session("key_echo", {});
  ASSERT_TRUE(session.wait_for_error_text("ready\r\n"));
  session.type("\x03");
  pause();
  session.type("q");
  RunResult result = session.finish();
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(codes_after_ready(result.err), "3\r\n113\r\n");
}

TEST(ConsoleKeys, NoTerminalIsNoConsole) {
  RunResult result = suite_test::run_program("key_echo", {});
  EXPECT_FALSE(result.timed_out);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "no console\r\n");
}

// Keys come from the terminal itself, not from standard input. Wine's
// console takes its keys from standard input's terminal, so there a
// standard input elsewhere means no console, and the read ends at once
// instead of waiting for ever.
TEST(ConsoleKeys, StandardInputElsewhere) {
  TerminalSession session("key_echo", {}, "", suite_test::TerminalOutput::terminal, suite_test::TerminalInput::none);
  if (suite_test::programs_run_under_wine()) {
    RunResult result = session.finish(20);
    EXPECT_FALSE(result.timed_out);
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.out.find("no console"), std::string::npos) << result.out;
    return;
  }
  ASSERT_TRUE(session.wait_for_output_text("ready"));
  session.type("q");
  RunResult result = session.finish(20);
  EXPECT_FALSE(result.timed_out);
  EXPECT_EQ(result.status, 0);
  EXPECT_NE(result.out.find("ready"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("113"), std::string::npos) << result.out;
}

}  // namespace
