// Runs one shell command and prints its wall time and CPU time (user plus
// system, of every process it started) in seconds, the peak resident
// memory, in KiB, of the largest of those processes, and its exit status.
#include <chrono>
#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

double seconds_of(const timeval& time) { return static_cast<double>(time.tv_sec) + time.tv_usec / 1e6; }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "use: bench_measure 'command'\n");
    return 2;
  }
  auto start = std::chrono::steady_clock::now();
  pid_t pid = fork();
  if (pid == 0) {
    execl("/bin/sh", "sh", "-c", argv[1], static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  struct rusage usage;
  getrusage(RUSAGE_CHILDREN, &usage);
  double cpu = seconds_of(usage.ru_utime) + seconds_of(usage.ru_stime);
  std::printf("%.4f %.4f %ld %d\n", seconds, cpu, usage.ru_maxrss, WIFEXITED(status) ? WEXITSTATUS(status) : 128);
  return 0;
}
