// The tree walk and the selection of files: which listed entries the
// options let through, into which target path each one goes.
#include <vector>

#include "dupro/engine_parts.h"
#include "dupro/options.h"
#include "dupro/prompt.h"

namespace dupro {

namespace {

// True when the first stamp (date word, then time word) is later.
bool is_later(const FileInfo& first, const FileInfo& second) {
  if (first.date != second.date) return first.date > second.date;
  return first.time > second.time;
}

// True for the run's target directory met inside the source: walking it
// would copy the copies again, one level deeper each time they are made.
bool is_target_folder(const std::string& folder) {
  return platform::name_one_file(folder, target_folder.empty() ? "." : target_folder);
}

// The filters that look at the target copy (options D, N, M, O).
bool passes_target_filters(const FileInfo& source, const std::string& target_path) {
  if (!options.only_existing && !options.only_missing && !options.only_newer && !options.only_older) return true;
  FileInfo target;
  bool found = platform::look_up(target_path, target, platform::ArchiveBit::assumed_set);
  if (options.only_existing && !found) return false;
  if (options.only_missing && found) return false;
  if (options.only_newer && found && !is_later(source, target)) return false;
  if (options.only_older && (!found || !is_later(target, source))) return false;
  return true;
}

// Takes the listed entry, found in the folder, when the options let it
// through; a file is read at once.
void select_file(const FileInfo& info, const std::string& folder, const std::string& target_directory) {
  if (options.archive_only && (info.attributes & platform::ARCHIVE) == 0) return;
  std::string source_path = folder + info.name;
  std::string target_path = target_directory + info.name;
  if (!passes_target_filters(info, target_path)) return;
  if (options.date_filter && options.filter_date > info.date) return;
  if (options.confirm_each) {
    err().print("%s\t(Y/N): ", source_path.c_str());
    if (!answered_yes("")) return;
  }
  CopyEntry* entry = new_entry();
  entry->source_path = source_path;
  entry->target_path = target_path;
  entry->size = info.size;
  entry->attributes = info.attributes;
  entry->time = info.time;
  entry->date = info.date;
  if (entry->is_directory()) return;
  read_source_file(entry);
  if (options.one_at_a_time) flush_entries(true);
}

// The files pass of walking one directory: every listed entry that
// matches the pattern is selected. The listing is gone before the walk
// enters the subdirectories.
void select_listed_files(const std::string& search_pattern, const std::string& folder,
                         const std::string& target_directory) {
  std::uint32_t mask = (options.include_hidden ? platform::HIDDEN | platform::SYSTEM : 0) |
                       (options.void_dirs ? platform::DIRECTORY : 0);
  std::vector<FileInfo> listed;
  // Compare mode ignores the archive bit unless option A selects by it or
  // the attribute word is written back (hidden files).
  bool archive_ignored = options.compare_only && !options.archive_only;
  platform::list_directory(search_pattern, mask, listed,
                           archive_ignored ? platform::ArchiveBit::hidden_only : platform::ArchiveBit::read);
  for (const FileInfo& info : listed) {
    // A hidden directory passes the mask too, but only option V makes
    // directories entries of their own; otherwise it is just entered below.
    bool is_directory = (info.attributes & platform::DIRECTORY) != 0;
    if (is_directory && !options.void_dirs) continue;
    select_file(info, folder, target_directory);
    insert_source_disk();
  }
}

}  // namespace

void walk_directory(const std::string& search_pattern, const std::string& target_directory) {
  std::size_t name_position = search_pattern.rfind(platform::SEPARATOR) + 1;
  std::string folder = search_pattern.substr(0, name_position);
  insert_source_disk();
  select_listed_files(search_pattern, folder, target_directory);
  if (options.no_subdirs) return;
  std::string name_pattern = search_pattern.substr(name_position);
  std::vector<std::string> subdirectories;
  platform::list_subdirectories(folder, subdirectories);
  for (const std::string& name : subdirectories) {
    if (is_target_folder(folder + name)) continue;
    std::string subdirectory_target = options.flatten ? target_directory : target_directory + name + platform::SEPARATOR;
    walk_directory(folder + name + platform::SEPARATOR + name_pattern, subdirectory_target);
  }
}

}  // namespace dupro
