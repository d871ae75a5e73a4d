// Runs one shell command and prints its wall time and CPU time (user plus
// system, of every process it started) in seconds, the peak resident
// memory, in KiB, of the largest of those processes, and its exit status.
//
// A simple command (plain words, with leading NAME=value assignments, $NAME
// at the start of a word, and redirections of standard output and standard
// error to files or to each other) is started directly; anything else (a
// pipe, quotes, substitutions, patterns) runs under /bin/sh. The shell that
// would start a simple command is part of neither program measured, and on
// a run of a millisecond or two it is a third of the time.
#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

double seconds_of(const timeval& time) { return static_cast<double>(time.tv_sec) + time.tv_usec / 1e6; }

struct SimpleCommand {
  std::vector<std::pair<std::string, std::string>> assignments;
  std::vector<std::string> words;
  std::string output_file;  // empty: standard output as it is
  std::string error_file;   // empty: standard error as it is
  bool error_to_output = false;
};

bool is_name_character(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_'; }

// A word with $NAME (at its start only) replaced by the variable's value;
// nothing when the word holds anything the shell would treat specially.
std::optional<std::string> plain_word(const std::string& word) {
  std::string text = word;
  if (!text.empty() && text[0] == '$') {
    std::size_t end = 1;
    while (end < text.size() && is_name_character(text[end])) ++end;
    if (end == 1) return std::nullopt;
    const char* value = std::getenv(text.substr(1, end - 1).c_str());
    text = std::string(value != nullptr ? value : "") + text.substr(end);
  }
  for (char c : text) {
    if (std::strchr("|&;<>()$`\\\"' \t*?[]{}~#=!", c) != nullptr) return std::nullopt;
  }
  return text;
}

std::optional<SimpleCommand> simple_command(const std::string& command) {
  SimpleCommand simple;
  std::vector<std::string> tokens;
  for (std::size_t at = 0; at < command.size();) {
    if (command[at] == ' ') {
      ++at;
      continue;
    }
    std::size_t end = command.find(' ', at);
    if (end == std::string::npos) end = command.size();
    tokens.push_back(command.substr(at, end - at));
    at = end;
  }
  for (const std::string& token : tokens) {
    std::size_t equals = token.find('=');
    if (simple.words.empty() && equals != std::string::npos && equals > 0 &&
        std::all_of(token.begin(), token.begin() + static_cast<long>(equals), is_name_character)) {
      std::optional<std::string> value = plain_word(token.substr(equals + 1));
      if (!value) return std::nullopt;
      simple.assignments.emplace_back(token.substr(0, equals), *value);
      continue;
    }
    if (token == "2>&1") {
      simple.error_to_output = true;
      continue;
    }
    bool to_error = token.rfind("2>", 0) == 0;
    if (to_error || token[0] == '>') {
      std::optional<std::string> file = plain_word(token.substr(to_error ? 2 : 1));
      if (!file || file->empty() || (to_error && simple.error_to_output)) return std::nullopt;
      (to_error ? simple.error_file : simple.output_file) = *file;
      continue;
    }
    std::optional<std::string> word = plain_word(token);
    if (!word || !simple.output_file.empty() || simple.error_to_output || !simple.error_file.empty()) {
      return std::nullopt;
    }
    simple.words.push_back(*word);
  }
  if (simple.words.empty()) return std::nullopt;
  return simple;
}

void redirect(const std::string& file, int descriptor) {
  if (file.empty()) return;
  int opened = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
  if (opened < 0 || dup2(opened, descriptor) < 0) _exit(127);
  close(opened);
}

[[noreturn]] void start(const SimpleCommand& simple) {
  for (const auto& [name, value] : simple.assignments) setenv(name.c_str(), value.c_str(), 1);
  redirect(simple.output_file, 1);
  if (simple.error_to_output && dup2(1, 2) < 0) _exit(127);
  redirect(simple.error_file, 2);
  std::vector<char*> arguments;
  for (const std::string& word : simple.words) arguments.push_back(const_cast<char*>(word.c_str()));
  arguments.push_back(nullptr);
  execvp(arguments[0], arguments.data());
  _exit(127);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "use: bench_measure 'command'\n");
    return 2;
  }
  std::optional<SimpleCommand> simple = simple_command(argv[1]);
  auto start_time = std::chrono::steady_clock::now();
  pid_t pid = fork();
  if (pid == 0) {
    if (simple) start(*simple);
    execl("/bin/sh", "sh", "-c", argv[1], static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_time).count();
  struct rusage usage;
  getrusage(RUSAGE_CHILDREN, &usage);
  double cpu = seconds_of(usage.ru_utime) + seconds_of(usage.ru_stime);
  std::printf("%.4f %.4f %ld %d\n", seconds, cpu, usage.ru_maxrss, WIFEXITED(status) ? WEXITSTATUS(status) : 128);
  return 0;
}
