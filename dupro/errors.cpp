#include "dupro/errors.h"

#include "common/errors.h"
#include "dupro/platform.h"

namespace dupro {

namespace {

// The usage text follows '?' and the errors of the command line.
constexpr suite::ErrorMessage<ExitCode> USAGE_MESSAGES[] = {
    {USAGE_ONLY, nullptr, true},
    {CANCELLED, "Program cancelled.\n", false},
    {UNKNOWN_OPTION, "Unknown option.\n", true},
    {MISSING_SOURCE, "Missing source.\n", true},
    {NOT_ENOUGH_MEMORY, "Not enough memory.\n", false},
    {INVALID_DATE, "Invalid date format.\n", true},
    {INVALID_SOURCE, "Invalid source.\n", false},
    {SAME_UNIT_CONFLICT, "Options not valid when source and target are equal.\n", false},
    {FILE_ERROR, nullptr, false},
};

// Each message takes the path in place of %s.
constexpr suite::ErrorMessage<FileError> FILE_MESSAGES[] = {
    {FileError::cannot_open, "\nDUPRO:\tCould not open the file %s.\n", false},
    {FileError::memory_exhausted, "\nDUPRO:\tMemory exhausted in file %s.\n", false},
    {FileError::cannot_read, "\nDUPRO:\tError reading file %s.\n", false},
    {FileError::cannot_create_file, "\nDUPRO:\tCould not create file %s.\n", false},
    {FileError::cannot_create_directory, "\nDUPRO:\tCould not create directory %s.\n", false},
};

const char USAGE_TEXT[] =
    "\tUse:\tDUPRO [options] source [target]\n"
    "\n"
    "Copies the 'source' directory or files to the 'target' directory.\n"
    "Options are case insensitive, may be grouped and start with '/' or '-'.\n"
    "They may appear anywhere in the command line and are as follows:\n"
    "-? (or any error) open this help topic -1 One file each time (what for?!)\n"
    "-A Only files modified after copy      -B Update ARCHIVE flag\n"
    "-C Confirm each file                   -R Overwrite read-only files\n"
    "-D Only files exiting in destination   -N Only files not existing in target\n"
    "-Y Put all files in the same directory\n"
    "-F mm-dd-yy Only files from this date on\n"
    "-E Check only if files are equal\n"
    "-K Multiple copies\n"
    "-M Only modified or missing files      -O Only older files!\n"
    "-H Exclude hidden and system files\n"
    "-P Pause before start copying\n"
    "-S Do not follow into subdirectories   -V Copy void directories\n"
    "-U Source and target unit are the same\n"
    "-X Delete source after copy\n"
    "-W Wait for a key before exiting\n"
    "-T directory Another way to indicate the target directory";

}  // namespace

suite::OutputStream& message_stream() {
  suite::standard_output().flush();
  return suite::standard_error();
}

void usage_exit(ExitCode code) {
  const suite::ErrorMessage<ExitCode>& message = suite::error_message(USAGE_MESSAGES, code);
  suite::OutputStream& error = message_stream();
  if (message.format != nullptr) error.write_c_string(message.format);
  if (message.usage_follows) error.write(USAGE_TEXT);
  suite::end_program(code);
}

void fatal_file_error(FileError error, const std::string& path) {
  fatal_file_error(error, path, platform::last_error_text());
}

void fatal_file_error(FileError error, const std::string& path, const std::string& reason) {
  suite::OutputStream& stream = message_stream();
  stream.print(suite::error_message(FILE_MESSAGES, error).format, path.c_str());
  stream.print("\t%s\n", reason.c_str());
  suite::end_program(FILE_ERROR);
}

void buffer_memory_exit() {
  message_stream().write("Not enough memory\n");
  suite::end_program(FILE_ERROR);
}

}  // namespace dupro
