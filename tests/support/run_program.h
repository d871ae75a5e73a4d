// Test helpers: run a built program with arguments, standard input, a
// working folder and resource limits, and collect its output as bytes;
// drive a program through a pseudo-terminal; make scratch folders.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace suite_test {

struct RunOptions {
  std::string input;                        // bytes fed to standard input
  // Or these parts, one after another, with a pause between two parts, so
  // that the program finds its input empty before the next part comes.
  std::vector<std::string> input_parts;
  int input_pause_ms = 300;
  // Standard output is read only after this pause, so that the program
  // finds its output pipe full.
  int output_delay_ms = 0;
  // The program's ends of the standard input and output pipes are
  // non-blocking, as another process may hand them over.
  bool non_blocking_pipes = false;
  bool close_input = false;                 // start with standard input closed instead
  std::string input_file;                   // read standard input from this file instead
  bool close_error = false;                 // start with standard error closed
  bool merge_streams = false;               // standard error into standard output's pipe
  // Standard output appends to this file (relative to the working folder)
  // instead of going to the pipe, as `program >> file` does.
  std::string append_output_to;
  // Stop reading standard output once this many bytes came, as a reader
  // that has what it wants does; 0: nobody reads it from the start.
  std::optional<std::size_t> close_output_after;
  // Called just before standard output is closed after close_output_after
  // bytes (not for 0), while the program waits to write more: a step that
  // must come in the middle of a run.
  std::function<void()> before_output_closed;
  std::string folder;                       // working folder; empty: the test's own
  std::optional<unsigned long> address_space_limit;  // RLIMIT_AS in bytes
  std::optional<unsigned long> open_files_limit;     // RLIMIT_NOFILE
  std::optional<unsigned long> file_size_limit;      // RLIMIT_FSIZE in bytes
  int timeout_seconds = 120;                // the program is killed after this
};

struct RunResult {
  std::string out;
  std::string err;
  int status = -1;       // exit status 0 to 255, or -1 when ended by a signal
  int signal = 0;        // the signal that ended it, if any
  bool timed_out = false;
};

// Full path of a built program of the suite (<build>/bin/<name>, with
// ".exe" for the Windows programs).
std::string program_path(const std::string& name);

// The command line that starts a program of the suite: its path, after the
// launcher when the programs are started through one.
std::vector<std::string> program_command(const std::string& name, const std::vector<std::string>& arguments = {});

// True when the programs under test are the Windows programs, run under
// Wine. A test that needs what Wine cannot give is skipped there, saying why.
bool programs_run_under_wine();
constexpr const char* WINE_HAS_NO_ADDRESS_SPACE_LIMIT = "Wine cannot start under an address-space limit";
constexpr const char* WINE_HAS_NO_OPEN_FILES_LIMIT = "Wine needs more file handles than an open-files limit leaves";
constexpr const char* WINE_HAS_NO_NAME_FOR_STANDARD_INPUT =
    "Windows has no file name for standard input, and under Wine Z:\\dev\\stdin is the input of Wine's server";

// An absolute path of this machine as an argument for the programs under
// test: under Wine written on its drive Z: (the root folder) with '\'
// separators, since there an argument that begins with '/' is an option;
// otherwise as it is.
std::string path_argument(const std::string& path);

// Runs the program in a new session without a controlling terminal.
RunResult run_program(const std::string& name, const std::vector<std::string>& arguments,
                      const RunOptions& options = {});

// Runs the program on the input and expects a clean run: status 0, nothing
// on standard error, and `expected` on standard output as text mode writes
// it (every line feed as a carriage return and line feed).
void expect_output(const std::string& name, const std::vector<std::string>& arguments, const std::string& input,
                   const std::string& expected);


// Where a terminal session's standard output and error go: to pipes of
// their own, or to the terminal, where both show in the order written (the
// terminal's bytes are then the run's `out`, with its own line ends).
enum class TerminalOutput { pipes, terminal };
// Where a terminal session's standard input comes from: the terminal, or
// the null device.
enum class TerminalInput { terminal, none };

// A program running with a pseudo-terminal as its controlling terminal
// (also its standard input, unless told otherwise).
class TerminalSession {
 public:
  TerminalSession(const std::string& name, const std::vector<std::string>& arguments,
                  const std::string& folder = "", TerminalOutput output = TerminalOutput::pipes,
                  TerminalInput input = TerminalInput::terminal);
  ~TerminalSession();
  TerminalSession(const TerminalSession&) = delete;
  TerminalSession& operator=(const TerminalSession&) = delete;

  // Waits until the error stream holds the text (counted from the start of
  // the run); false after the timeout.
  bool wait_for_error_text(const std::string& text, int timeout_seconds = 20);
  // The same for standard output (or the terminal, when the output goes
  // there).
  bool wait_for_output_text(const std::string& text, int timeout_seconds = 20);
  // Sends bytes as keys typed on the terminal.
  void type(const std::string& keys);
  // Waits for the program to end and returns everything it wrote.
  RunResult finish(int timeout_seconds = 60);
  // The running program's process id, for a test that changes its limits
  // while it runs.
  int pid() const { return pid_; }

 private:
  void pump(int timeout_ms);
  bool wait_for_text(const std::string& collected, const int& source, const std::string& text, int timeout_seconds);
  int pid_ = -1;
  int terminal_ = -1;
  int out_ = -1;
  int err_ = -1;
  bool keep_terminal_output_ = false;
  RunResult result_;
};

// A scratch folder, removed with everything in it when the object goes.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  void write(const std::string& name, const std::string& bytes) const;
  std::string read(const std::string& name) const;
  bool exists(const std::string& name) const;
  std::vector<std::string> names() const;  // sorted entry names, "." and ".." left out

 private:
  std::string path_;
};

// What a text-mode output stream makes of the text: every line feed
// written as a carriage return and line feed.
std::string crlf(const std::string& text);

std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& bytes);

}  // namespace suite_test
