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
  bool is_temporary = false;  // a run or merge output of our own, deleted once merged
};

extern FileEntry file_list[MAX_FILES];
extern int file_count;

// Sorts the store into a new temporary run file and empties it.
void spill_lines();
// Appends a file to the merge list; with no name, a fresh temporary name is
// made and the entry marked temporary. Returns the name as listed.
const char* add_file(const char* name);
// Merges every listed file to standard output and empties the list.
void merge_files();

// For the error routine: closes every file Ordly opened, then deletes every
// listed temporary file.
void close_every_file();
void delete_temporary_files();

}  // namespace ordly
