// The platform layer shared by the programs: the command line, raw file
// handles for the streams, directory listing for wildcard expansion, and a
// few path tests.
// Only the platform files implement these; the programs never call the
// operating system directly for what is declared here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace suite::platform {

using Handle = std::intptr_t;
constexpr Handle NO_HANDLE = -1;

enum class OpenFailure { none, no_such_file, path_not_found, permission_denied, too_many_open, other };
enum class WriteFailure { none, reader_gone, other };

// The arguments after the program name. Where the shell hands them over
// split, as it split them; where the platform hands over one command-line
// string, as the suite's argument builder splits it.
std::vector<std::string> program_arguments(int argc, char** argv);
// True when an argument that begins with '/' is a path rather than an
// option. Where paths use '\' and drive letters, never.
bool slash_argument_is_path(const std::string& argument);

// Makes a write to a pipe whose reader has gone, or past the file-size
// limit, fail as a write instead of ending the process, so that every
// program ends its run in its own way.
void keep_failed_writes_from_ending_the_process();

// Gives each standard handle that the caller left closed a handle on the
// null device, so that no file the program opens takes its place and
// receives messages or output meant for that stream.
void keep_standard_handles_taken();
Handle standard_input_handle();
Handle standard_output_handle();
Handle standard_error_handle();

// Opens an existing file for reading. A folder is refused, as on the
// console platform.
Handle open_for_reading(const std::string& path);
// Creates a file or opens an existing one for writing; truncates it when
// asked. A folder is refused.
Handle open_for_writing(const std::string& path, bool truncate);
// Kind of the last failure of an open, for callers that must tell them apart.
OpenFailure last_open_failure();
// Reads up to size bytes; returns the count, 0 at the end or on an error.
std::size_t read_bytes(Handle handle, char* buffer, std::size_t size);
// Writes every byte it can; returns the count written.
std::size_t write_bytes(Handle handle, const char* data, std::size_t size);
// Kind of the last failure of a write: reader_gone when the handle is a
// pipe that nobody reads any more.
WriteFailure last_write_failure();
bool seek_to_start(Handle handle);
// On a regular file, moves to `count` bytes before its end, or to its start
// when it holds fewer; false, with nothing moved, on a pipe, a terminal or
// anything else that is not a regular file.
bool seek_to_last_bytes(Handle handle, std::uint64_t count);
bool truncate_to_empty(Handle handle);
// When the handle is a pipe, asks for a larger pipe buffer, so that its
// writer waits less often and each read of it takes more; does nothing on
// anything else, or when the system refuses.
void widen_pipe(Handle handle);
// False when the close reports that written data was lost.
bool close_handle(Handle handle);

// True when both name the same file (same device and inode).
bool same_file(Handle handle, const std::string& path);
// True when the output handle writes to the very file that the input handle
// reads, where the input has not been read yet (it appends, or writes before
// the end): reading on would never end.
bool output_feeds_input(Handle output, Handle input);
// True when the path names an existing entry: a file, a folder, or a
// symbolic link, also one whose target is missing.
bool path_exists(const std::string& path);
// True when the root folder holds an entry of that name.
bool root_folder_holds(const std::string& name);
// A path argument written with the platform's separator: here every '\'
// is read as '/', so that paths written for the console platform work.
std::string native_path(std::string path);
// The separator that joins a folder and a name in a path the program
// composes: '\' where paths use '\' and drive letters, otherwise '/'.
char path_separator();
// True when a path begins with a drive (a letter and ':') that the system
// does not have; such a path names nothing, whatever is on disk.
bool names_missing_drive(const std::string& path);
bool delete_file(const std::string& path);

// The folder part of a path: everything up to and including its last
// separator ('/' or '\', and where paths have drives the ':' after one),
// written as the platform reads it: where '/' alone separates, a '\' in it
// becomes '/'.
std::string folder_part(const std::string& path);

struct DirectoryEntry {
  std::string name;
  bool is_directory = false;
  bool is_hidden = false;  // the attribute, or a name that begins with '.'
  bool is_system = false;
};

// Lists a folder ("" means the current one) in the platform's own order,
// "." and ".." included when the platform lists them (they are hidden
// names then). False when the folder cannot be read.
bool list_directory(const std::string& folder, std::vector<DirectoryEntry>& entries);

}  // namespace suite::platform
