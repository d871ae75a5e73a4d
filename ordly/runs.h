// Spilling the store to temporary run files and merging files: the list
// of files to merge, the k-way merge of a group of files and the merge of
// the whole list in as many passes as the open file limit needs.
#pragma once

#include <memory>
#include <string>

#include "common/streams.h"

namespace ordly {

constexpr int MAX_FILES = 256;

struct FileEntry {
  std::unique_ptr<suite::InputStream> stream;  // open while the entry is merged
  std::string name;
  // A run or merge output of our own, on disk until it is merged. Once
  // deleted it is no longer marked: its name may be another run's by then.
  bool is_temporary = false;
};

extern FileEntry file_list[MAX_FILES];
extern int file_count;

// What a temporary file is made for; a name that cannot be made for a run
// is reported by that name, one for a merge output as "(TEMPORARY)".
enum class TemporaryUse { run, merge_output };

// Makes a new empty file under a fresh temporary name, "TMP<n>.$$$", in
// the folder (given with its separator; empty for the current folder) and
// returns its name. Names already taken by any entry are passed over. When
// a name cannot be made for another reason, nothing is made: error 4
// quoting failure_text, or the name tried when failure_text is null.
std::string make_temporary_file(const std::string& folder, const char* failure_text);

// Sorts the store into a new temporary run file and empties it.
void spill_lines();
// Appends one of the user's files to the merge list.
void add_file(const char* name);
// Makes a new temporary file under a fresh name and appends it to the merge
// list, marked as Ordly's own; returns the name as listed. The entry is
// listed only once the file is made, so the error routine never deletes a
// file that Ordly did not create.
const char* add_temporary_file(TemporaryUse use);
// Merges every listed file to standard output and empties the list.
void merge_files();

// For the error routine: closes every file Ordly opened, then deletes every
// listed temporary file.
void close_every_file();
void delete_temporary_files();

}  // namespace ordly
