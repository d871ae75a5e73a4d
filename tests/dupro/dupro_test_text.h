// Texts that Dupro writes, as they reach a test through the text-mode
// standard streams (every line feed arrives as CR LF).
#pragma once

#include <string>

namespace dupro_test {

inline const std::string BANNER_LINE = "DUPRO 3.01 - copies and compares directory trees";
inline const std::string BANNER = BANNER_LINE + "\r\n";

inline const std::string USAGE =
    "\tUse:\tDUPRO [options] source [target]\r\n"
    "\r\n"
    "Copies the 'source' directory or files to the 'target' directory.\r\n"
    "Options are case insensitive, may be grouped and start with '/' or '-'.\r\n"
    "They may appear anywhere in the command line and are as follows:\r\n"
    "-? (or any error) open this help topic -1 One file each time (what for?!)\r\n"
    "-A Only files modified after copy      -B Update ARCHIVE flag\r\n"
    "-C Confirm each file                   -R Overwrite read-only files\r\n"
    "-D Only files exiting in destination   -N Only files not existing in target\r\n"
    "-Y Put all files in the same directory\r\n"
    "-F mm-dd-yy Only files from this date on\r\n"
    "-E Check only if files are equal\r\n"
    "-K Multiple copies\r\n"
    "-M Only modified or missing files      -O Only older files!\r\n"
    "-H Exclude hidden and system files\r\n"
    "-P Pause before start copying\r\n"
    "-S Do not follow into subdirectories   -V Copy void directories\r\n"
    "-U Source and target unit are the same\r\n"
    "-X Delete source after copy\r\n"
    "-W Wait for a key before exiting\r\n"
    "-T directory Another way to indicate the target directory";

// The line wipe written when a prompt ends.
inline const std::string WIPE = std::string("\r") + std::string(79, ' ') + "\r";

}  // namespace dupro_test
