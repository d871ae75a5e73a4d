// POSIX implementation of the shared platform layer.
#include "common/platform.h"

#include <cerrno>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace suite::platform {

namespace {

OpenFailure last_failure = OpenFailure::none;
WriteFailure last_write = WriteFailure::none;

OpenFailure failure_from_errno(int error) {
  switch (error) {
    case ENOENT: return OpenFailure::no_such_file;
    case ENOTDIR: return OpenFailure::path_not_found;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return OpenFailure::permission_denied;
    case EMFILE:
    case ENFILE: return OpenFailure::too_many_open;
    default: return OpenFailure::other;
  }
}

Handle finish_open(int fd) {
  if (fd < 0) {
    last_failure = failure_from_errno(errno);
    return NO_HANDLE;
  }
  struct stat info;
  if (fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
    ::close(fd);
    errno = EISDIR;
    last_failure = OpenFailure::permission_denied;
    return NO_HANDLE;
  }
  last_failure = OpenFailure::none;
  return fd;
}

// A handle inherited in non-blocking mode (a pipe or terminal that another
// process set so) has, at times, nothing to give or no room to take. That is
// neither the end of the input nor a failed write: wait until it is ready.
bool wait_until_ready(Handle handle, short events) {
  struct pollfd entry = {static_cast<int>(handle), events, 0};
  for (;;) {
    int ready = ::poll(&entry, 1, -1);
    if (ready > 0) return true;
    if (ready < 0 && errno != EINTR) return false;
  }
}

bool must_wait(int error) { return error == EAGAIN || error == EWOULDBLOCK; }

}  // namespace

std::vector<std::string> program_arguments(int argc, char** argv) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
  return arguments;
}

// An absolute path begins with '/' too. It is a path when it names an
// existing entry, or when it holds a second '/' and the text between the
// first two names an entry of the root folder: so '/tmp/new.txt' names a
// file that does not exist yet, while '/O/tmp/out.txt' and '/R' stay options.
bool slash_argument_is_path(const std::string& argument) {
  if (path_exists(argument)) return true;
  std::size_t second_slash = argument.find('/', 1);
  return second_slash != std::string::npos && root_folder_holds(argument.substr(1, second_slash - 1));
}

void keep_failed_writes_from_ending_the_process() {
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGXFSZ, SIG_IGN);
}

void keep_standard_handles_taken() {
  // A new handle takes the lowest free number, which is the closed one,
  // since the lower ones are taken by then.
  for (int handle = 0; handle <= 2; ++handle) {
    if (fcntl(handle, F_GETFD) == -1) ::open("/dev/null", O_RDWR);
  }
}

Handle standard_input_handle() { return STDIN_FILENO; }
Handle standard_output_handle() { return STDOUT_FILENO; }
Handle standard_error_handle() { return STDERR_FILENO; }

Handle open_for_reading(const std::string& path) {
  return finish_open(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
}

Handle open_for_writing(const std::string& path, bool truncate) {
  int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (truncate ? O_TRUNC : 0);
  return finish_open(::open(path.c_str(), flags, 0666));
}

OpenFailure last_open_failure() { return last_failure; }

std::size_t read_bytes(Handle handle, char* buffer, std::size_t size) {
  for (;;) {
    ssize_t got = ::read(static_cast<int>(handle), buffer, size);
    if (got >= 0) return static_cast<std::size_t>(got);
    if (errno == EINTR) continue;
    if (!must_wait(errno) || !wait_until_ready(handle, POLLIN)) return 0;
  }
}

std::size_t write_bytes(Handle handle, const char* data, std::size_t size) {
  std::size_t done = 0;
  last_write = WriteFailure::none;
  while (done < size) {
    ssize_t put = ::write(static_cast<int>(handle), data + done, size - done);
    if (put < 0) {
      if (errno == EINTR) continue;
      if (must_wait(errno) && wait_until_ready(handle, POLLOUT)) continue;
      last_write = errno == EPIPE ? WriteFailure::reader_gone : WriteFailure::other;
      break;
    }
    done += static_cast<std::size_t>(put);
  }
  return done;
}

WriteFailure last_write_failure() { return last_write; }

bool seek_to_start(Handle handle) { return ::lseek(static_cast<int>(handle), 0, SEEK_SET) == 0; }

bool seek_to_last_bytes(Handle handle, std::uint64_t count) {
  struct stat status;
  if (::fstat(static_cast<int>(handle), &status) != 0 || !S_ISREG(status.st_mode)) return false;
  std::uint64_t size = static_cast<std::uint64_t>(status.st_size);
  off_t start = size > count ? static_cast<off_t>(size - count) : 0;
  return ::lseek(static_cast<int>(handle), start, SEEK_SET) == start;
}

void widen_pipe(Handle handle) {
#if defined(F_SETPIPE_SZ)
  // One block of the streams, which then goes through in one piece. The
  // system counts the pipe buffers of each user against an allowance past
  // which new pipes are made small; a quarter of what an unprivileged
  // process may ask for keeps many programs at once well inside it.
  constexpr int WIDE_PIPE = 256 * 1024;
  struct stat status;
  int descriptor = static_cast<int>(handle);
  if (::fstat(descriptor, &status) != 0 || !S_ISFIFO(status.st_mode)) return;
  if (::fcntl(descriptor, F_GETPIPE_SZ) < WIDE_PIPE) ::fcntl(descriptor, F_SETPIPE_SZ, WIDE_PIPE);
#else
  (void)handle;
#endif
}

bool truncate_to_empty(Handle handle) { return ::ftruncate(static_cast<int>(handle), 0) == 0; }

bool close_handle(Handle handle) {
  if (handle == NO_HANDLE) return true;
  return ::close(static_cast<int>(handle)) == 0 || errno == EINTR;
}

bool same_file(Handle handle, const std::string& path) {
  struct stat open_info, path_info;
  if (fstat(static_cast<int>(handle), &open_info) != 0) return false;
  if (stat(path.c_str(), &path_info) != 0) return false;
  return open_info.st_dev == path_info.st_dev && open_info.st_ino == path_info.st_ino;
}

bool output_feeds_input(Handle output, Handle input) {
  int out = static_cast<int>(output);
  struct stat input_info, output_info;
  if (fstat(static_cast<int>(input), &input_info) != 0 || fstat(out, &output_info) != 0) return false;
  if (!S_ISREG(output_info.st_mode)) return false;
  if (input_info.st_dev != output_info.st_dev || input_info.st_ino != output_info.st_ino) return false;
  int flags = fcntl(out, F_GETFL);
  if (flags != -1 && (flags & O_APPEND) != 0) return true;
  off_t position = ::lseek(out, 0, SEEK_CUR);
  return position >= 0 && position < output_info.st_size;
}

bool path_exists(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0;
}

bool root_folder_holds(const std::string& name) {
  return !name.empty() && name.find('/') == std::string::npos && path_exists("/" + name);
}

std::string native_path(std::string path) {
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  return path;
}

char path_separator() { return '/'; }

// There are no drives here: a letter and ':' name one that does not exist.
bool names_missing_drive(const std::string& path) {
  return path.size() >= 2 && path[1] == ':' &&
         ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

bool delete_file(const std::string& path) { return ::unlink(path.c_str()) == 0; }

std::string folder_part(const std::string& path) {
  std::size_t last = path.find_last_of("/\\");
  return last == std::string::npos ? "" : native_path(path.substr(0, last + 1));
}

bool list_directory(const std::string& folder, std::vector<DirectoryEntry>& entries) {
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return false;
  while (struct dirent* item = readdir(dir)) {
    DirectoryEntry entry;
    entry.name = item->d_name;
    entry.is_hidden = entry.name[0] == '.';
    if (item->d_type == DT_DIR) {
      entry.is_directory = true;
    } else if (item->d_type == DT_UNKNOWN || item->d_type == DT_LNK) {
      struct stat info;
      std::string full = folder.empty() ? entry.name : folder + "/" + entry.name;
      entry.is_directory = stat(full.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    }
    entries.push_back(std::move(entry));
  }
  closedir(dir);
  return true;
}

}  // namespace suite::platform
