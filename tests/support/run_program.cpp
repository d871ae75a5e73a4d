#include "tests/support/run_program.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace suite_test {

namespace {

using Clock = std::chrono::steady_clock;

void set_limit(int resource, const std::optional<unsigned long>& value) {
  if (!value) return;
  struct rlimit limit;
  limit.rlim_cur = limit.rlim_max = *value;
  setrlimit(resource, &limit);
}

[[noreturn]] void exec_command(const std::vector<std::string>& command) {
  std::vector<char*> argv;
  for (const std::string& a : command) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  execv(argv[0], argv.data());
  _exit(127);
}

void set_nonblocking(int fd) { fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK); }

// Reads what is available from fd into sink; returns false at its end.
bool drain(int fd, std::string& sink) {
  char buffer[65536];
  for (;;) {
    ssize_t got = read(fd, buffer, sizeof buffer);
    if (got > 0) {
      sink.append(buffer, static_cast<std::size_t>(got));
      continue;
    }
    if (got < 0 && (errno == EAGAIN || errno == EINTR)) return true;
    return false;
  }
}

void record_status(int wait_status, RunResult& result) {
  if (WIFEXITED(wait_status)) {
    result.status = WEXITSTATUS(wait_status);
  } else if (WIFSIGNALED(wait_status)) {
    result.status = -1;
    result.signal = WTERMSIG(wait_status);
  }
}

// Feeds the program's standard input: the input, or its parts one after
// another with a pause between two parts; closes the pipe after the last.
class InputFeeder {
 public:
  InputFeeder(int fd, const RunOptions& options)
      : fd_(fd), parts_(options.input_parts), pause_(std::chrono::milliseconds(options.input_pause_ms)) {
    if (parts_.empty() && !options.input.empty()) parts_.push_back(options.input);
    if (parts_.empty()) close_pipe();
  }
  ~InputFeeder() { close_pipe(); }
  // The pipe to wait on for room, or -1 while there is nothing to write.
  int fd_to_poll() const { return Clock::now() < next_part_at_ ? -1 : fd_; }
  void write_some() {
    const std::string& part = parts_[part_];
    ssize_t put = write(fd_, part.data() + fed_, part.size() - fed_);
    if (put > 0) fed_ += static_cast<std::size_t>(put);
    if (put < 0 && errno != EAGAIN && errno != EINTR) close_pipe();
    if (fd_ < 0 || fed_ < part.size()) return;
    fed_ = 0;
    next_part_at_ = Clock::now() + pause_;
    if (++part_ == parts_.size()) close_pipe();
  }

 private:
  void close_pipe() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }
  int fd_;
  std::vector<std::string> parts_;
  Clock::duration pause_;
  std::size_t part_ = 0;
  std::size_t fed_ = 0;
  Clock::time_point next_part_at_{};
};

RunResult run_command_line(const std::vector<std::string>& command, const RunOptions& options) {
  // A program that ends without reading all its input must not take the
  // test down with it.
  signal(SIGPIPE, SIG_IGN);
  int in_pipe[2], out_pipe[2], err_pipe[2];
  if (pipe(in_pipe) != 0 || pipe(out_pipe) != 0 || pipe(err_pipe) != 0) throw std::runtime_error("pipe");
  // Standard output's reading end, -1 once nobody reads it any more.
  int out_fd = out_pipe[0];
  if (options.close_output_after == 0u) {
    close(out_fd);
    out_fd = -1;
  }
  pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork");
  if (pid == 0) {
    setsid();
    signal(SIGPIPE, SIG_DFL);
    dup2(in_pipe[0], 0);
    dup2(out_pipe[1], 1);
    dup2(options.merge_streams ? out_pipe[1] : err_pipe[1], 2);
    if (options.close_input) close(0);
    if (!options.input_file.empty()) {
      int file = open(options.input_file.c_str(), O_RDONLY);
      if (file < 0) _exit(126);
      dup2(file, 0);
      close(file);
    }
    if (options.close_error) close(2);
    if (options.non_blocking_pipes) {
      set_nonblocking(0);
      set_nonblocking(1);
    }
    for (int fd : {in_pipe[0], in_pipe[1], out_pipe[1], err_pipe[0], err_pipe[1]}) close(fd);
    if (out_fd >= 0) close(out_fd);
    if (!options.folder.empty() && chdir(options.folder.c_str()) != 0) _exit(126);
    if (!options.append_output_to.empty()) {
      int file = open(options.append_output_to.c_str(), O_WRONLY | O_APPEND | O_CREAT, 0666);
      if (file < 0) _exit(126);
      dup2(file, 1);
      close(file);
    }
    set_limit(RLIMIT_AS, options.address_space_limit);
    set_limit(RLIMIT_NOFILE, options.open_files_limit);
    set_limit(RLIMIT_FSIZE, options.file_size_limit);
    // Wine ends by the signal at the limit before the program can ignore it.
    if (options.file_size_limit && programs_run_under_wine()) signal(SIGXFSZ, SIG_IGN);
    exec_command(command);
  }
  close(in_pipe[0]);
  close(out_pipe[1]);
  close(err_pipe[1]);
  set_nonblocking(in_pipe[1]);
  if (out_fd >= 0) set_nonblocking(out_fd);
  set_nonblocking(err_pipe[0]);

  RunResult result;
  InputFeeder input(in_pipe[1], options);
  bool out_open = out_fd >= 0, err_open = true;
  auto output_read_from = Clock::now() + std::chrono::milliseconds(options.output_delay_ms);
  auto deadline = Clock::now() + std::chrono::seconds(options.timeout_seconds);
  while (out_open || err_open) {
    if (Clock::now() > deadline) {
      kill(pid, SIGKILL);
      result.timed_out = true;
      break;
    }
    struct pollfd fds[3];
    int count = 0;
    if (out_open && Clock::now() >= output_read_from) fds[count++] = {out_fd, POLLIN, 0};
    if (err_open) fds[count++] = {err_pipe[0], POLLIN, 0};
    int in_fd = input.fd_to_poll();
    if (in_fd >= 0) fds[count++] = {in_fd, POLLOUT, 0};
    poll(fds, static_cast<nfds_t>(count), 50);
    for (int i = 0; i < count; ++i) {
      if (fds[i].revents == 0) continue;
      if (fds[i].fd == out_fd) {
        out_open = drain(out_fd, result.out);
        if (options.close_output_after && result.out.size() >= *options.close_output_after) {
          if (options.before_output_closed) options.before_output_closed();
          close(out_fd);
          out_fd = -1;
          out_open = false;
        }
      } else if (fds[i].fd == err_pipe[0]) {
        err_open = drain(err_pipe[0], result.err);
      } else {
        input.write_some();
      }
    }
  }
  if (out_fd >= 0) close(out_fd);
  close(err_pipe[0]);
  int wait_status = 0;
  waitpid(pid, &wait_status, 0);
  record_status(wait_status, result);
  return result;
}

// Wine hands a Windows program its arguments joined into one command line:
// an argument with blanks (or an empty one) goes in quotes, and every '"' is
// written as '\"' with the backslashes before it doubled, as are those before
// a closing quote. The suite's argument builder reads '\"' as '"' and every
// other backslash as it is, so a run of 2k backslashes before a quote must
// reach Wine as k backslashes. What that command line cannot carry (an odd
// run of backslashes before a quote, backslashes that end an argument Wine
// puts in quotes) throws, so that no test runs with other arguments than
// it names.
std::string argument_for_wine(const std::string& argument) {
  const bool quoted_by_wine = argument.empty() || argument.find_first_of(" \t") != std::string::npos;
  std::string passed;
  std::size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') {
      if (backslashes % 2 != 0) {
        throw std::invalid_argument("Wine's command line cannot carry an odd run of backslashes before a quote: " +
                                    argument);
      }
      backslashes /= 2;
    }
    passed.append(backslashes, '\\');
    backslashes = 0;
    passed += c;
  }
  if (backslashes > 0 && quoted_by_wine) {
    throw std::invalid_argument("Wine's command line cannot carry backslashes that end an argument with blanks: " +
                                argument);
  }
  passed.append(backslashes, '\\');
  return passed;
}

}  // namespace

std::string program_path(const std::string& name) {
  return std::string(SUITE_BIN_DIR) + "/" + name + SUITE_PROGRAM_SUFFIX;
}

std::vector<std::string> program_command(const std::string& name, const std::vector<std::string>& arguments) {
  std::vector<std::string> command;
  if (!std::string(SUITE_PROGRAM_LAUNCHER).empty()) command.push_back(SUITE_PROGRAM_LAUNCHER);
  command.push_back(program_path(name));
  for (const std::string& argument : arguments) {
    command.push_back(programs_run_under_wine() ? argument_for_wine(argument) : argument);
  }
  return command;
}

bool programs_run_under_wine() { return SUITE_PROGRAMS_RUN_UNDER_WINE; }

std::string path_argument(const std::string& path) {
  if (!programs_run_under_wine()) return path;
  std::string on_drive = "Z:" + path;
  std::replace(on_drive.begin(), on_drive.end(), '/', '\\');
  return on_drive;
}

RunResult run_program(const std::string& name, const std::vector<std::string>& arguments,
                      const RunOptions& options) {
  return run_command_line(program_command(name, arguments), options);
}

void expect_output(const std::string& name, const std::vector<std::string>& arguments, const std::string& input,
                   const std::string& expected) {
  RunOptions options;
  options.input = input;
  RunResult result = run_program(name, arguments, options);
  std::string command = name;
  for (const std::string& argument : arguments) command += " '" + argument + "'";
  EXPECT_EQ(result.status, 0) << command;
  EXPECT_EQ(result.err, "") << command;
  EXPECT_EQ(result.out, crlf(expected)) << command;
}

// ---------------------------------------------------------------- terminal

TerminalSession::TerminalSession(const std::string& name, const std::vector<std::string>& arguments,
                                 const std::string& folder, TerminalOutput output, TerminalInput input)
    : keep_terminal_output_(output == TerminalOutput::terminal) {
  signal(SIGPIPE, SIG_IGN);
  int out_pipe[2], err_pipe[2];
  if (pipe(out_pipe) != 0 || pipe(err_pipe) != 0) throw std::runtime_error("pipe");
  struct winsize size = {};
  size.ws_row = 25;
  size.ws_col = 80;
  const std::vector<std::string> command = program_command(name, arguments);
  pid_t pid = forkpty(&terminal_, nullptr, nullptr, &size);
  if (pid < 0) throw std::runtime_error("forkpty");
  if (pid == 0) {
    signal(SIGPIPE, SIG_DFL);
    if (!keep_terminal_output_) {
      dup2(out_pipe[1], 1);
      dup2(err_pipe[1], 2);
    }
    if (input == TerminalInput::none) {
      int null_device = open("/dev/null", O_RDONLY);
      dup2(null_device, 0);
      close(null_device);
    }
    for (int fd : {out_pipe[0], out_pipe[1], err_pipe[0], err_pipe[1]}) close(fd);
    if (!folder.empty() && chdir(folder.c_str()) != 0) _exit(126);
    exec_command(command);
  }
  pid_ = pid;
  close(out_pipe[1]);
  close(err_pipe[1]);
  out_ = out_pipe[0];
  err_ = err_pipe[0];
  set_nonblocking(out_);
  set_nonblocking(err_);
  set_nonblocking(terminal_);
}

TerminalSession::~TerminalSession() {
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  for (int fd : {terminal_, out_, err_}) {
    if (fd >= 0) close(fd);
  }
}

void TerminalSession::pump(int timeout_ms) {
  struct pollfd fds[3];
  int count = 0;
  if (out_ >= 0) fds[count++] = {out_, POLLIN, 0};
  if (err_ >= 0) fds[count++] = {err_, POLLIN, 0};
  if (terminal_ >= 0) fds[count++] = {terminal_, POLLIN, 0};
  poll(fds, static_cast<nfds_t>(count), timeout_ms);
  std::string echo;
  if (out_ >= 0 && !drain(out_, result_.out)) {
    close(out_);
    out_ = -1;
  }
  if (err_ >= 0 && !drain(err_, result_.err)) {
    close(err_);
    err_ = -1;
  }
  // What the program writes to the terminal itself is read (and dropped
  // unless it is the run's output), so the terminal never blocks it.
  if (terminal_ >= 0 && !drain(terminal_, keep_terminal_output_ ? result_.out : echo)) {
    close(terminal_);
    terminal_ = -1;
  }
}

bool TerminalSession::wait_for_error_text(const std::string& text, int timeout_seconds) {
  return wait_for_text(result_.err, err_, text, timeout_seconds);
}

bool TerminalSession::wait_for_output_text(const std::string& text, int timeout_seconds) {
  return wait_for_text(result_.out, keep_terminal_output_ ? terminal_ : out_, text, timeout_seconds);
}

// Pumps until the text collected from the source holds the text, while the
// source is open (pumping closes it at its end).
bool TerminalSession::wait_for_text(const std::string& collected, const int& source, const std::string& text,
                                    int timeout_seconds) {
  auto deadline = Clock::now() + std::chrono::seconds(timeout_seconds);
  while (collected.find(text) == std::string::npos) {
    if (Clock::now() > deadline) return false;
    if (source < 0) return false;
    pump(50);
  }
  // Give the program a moment to switch the terminal to raw mode after the
  // prompt text was written.
  usleep(100 * 1000);
  return true;
}

void TerminalSession::type(const std::string& keys) {
  if (terminal_ >= 0) {
    ssize_t ignored = write(terminal_, keys.data(), keys.size());
    (void)ignored;
  }
}

RunResult TerminalSession::finish(int timeout_seconds) {
  auto deadline = Clock::now() + std::chrono::seconds(timeout_seconds);
  int wait_status = 0;
  for (;;) {
    pump(50);
    pid_t done = waitpid(pid_, &wait_status, WNOHANG);
    if (done == pid_) break;
    if (Clock::now() > deadline) {
      kill(pid_, SIGKILL);
      waitpid(pid_, &wait_status, 0);
      result_.timed_out = true;
      break;
    }
  }
  pid_ = -1;
  for (int i = 0; i < 20 && (out_ >= 0 || err_ >= 0); ++i) pump(20);
  record_status(wait_status, result_);
  return result_;
}

}  // namespace suite_test
