// The argument builder: splitting one command-line string into arguments,
// wildcard expansion of file-name arguments, and the shared rule that tells
// an option from a path.
#pragma once

#include <string>
#include <vector>

namespace suite {

// Splits a command line at runs of blanks and tabs. A double quote starts
// and ends a quoted stretch in which blanks and tabs are ordinary characters
// (the quotes are dropped; a quote left open runs to the end of the line);
// backslash followed by a double quote stands for one literal double quote.
std::vector<std::string> split_command_line(const std::string& line);

// Matches a name against a pattern without regard to letter case: '*'
// matches any run of characters, '?' exactly one; a pattern ending in ".*"
// also matches names without an extension, so "*.*" matches every name.
bool wildcard_match(const std::string& pattern, const std::string& name);

bool has_wildcard(const std::string& argument);

// Replaces every argument that holds '*' or '?' by the names of the folder
// entries that match it, in the folder's own order, each with the
// pattern's folder part in front. Hidden entries (names beginning with '.')
// and folders are left out; an argument that matches nothing stays as it is.
std::vector<std::string> expand_wildcards(const std::vector<std::string>& arguments);

// True when an argument is an option: at least two characters, beginning
// with '-', or beginning with '/' and not an absolute path. An argument
// that begins with '/' is an absolute path when it names an existing
// entry, or when it holds a second '/' and the text between the first two
// names an entry of the root folder: so '/tmp/new.txt' names a file that
// does not exist yet, while '/O/tmp/out.txt' and '/R' stay options.
bool is_option_argument(const std::string& argument);

// True for the help request of the programs that look for it in their
// first argument alone: "?", or the option "/?" or "-?".
bool is_help_request(const std::string& argument);

// The arguments after the program name, as the platform handed them over:
// split by the shell, or split here from the one string of the command line.
std::vector<std::string> program_arguments(int argc, char** argv);

}  // namespace suite
