// The finishing steps of an entry that leaves the list: clearing the
// archive bit of its source (option B) and deleting the source (option X),
// at once or, where a later write of the run may replace the copy, at the
// end of the run.
#include <map>
#include <unordered_map>
#include <utility>
#include <vector>

#include "dupro/engine_parts.h"
#include "dupro/options.h"
#include "dupro/prompt.h"

namespace dupro {

namespace {

// A source the run has handled, as its finishing steps need it.
struct Finishing {
  std::string source_path;
  std::string target_path;
  std::uint32_t attributes = 0;
  bool done = false;  // copied, or found equal, when last handled
  bool in_place = false;
  platform::FileStamp source_stamp;  // the source as it was read
  bool source_grew = false;          // only its start was read
  platform::FileStamp copy_stamp;    // its copy as the run left it
  std::uint64_t write_order = 0;     // which write of the run made the copy
};

// Option X: the last write of the run into each target file (by device
// and inode), so that a copy written over by a later one of the run never
// lets its source be deleted, whatever the sizes.
using FileKey = std::pair<std::uint64_t, std::uint64_t>;
std::uint64_t writes_finished = 0;
std::map<FileKey, std::uint64_t> last_writes;

FileKey file_key(const platform::FileStamp& stamp) { return {stamp.device, stamp.inode}; }

// The sources whose finishing steps wait for the end of the run, in the
// order they were first handled, each as it was last left; with option K,
// where each source's note is kept.
std::vector<Finishing> waiting;
std::unordered_map<std::string, std::size_t> waiting_place;

Finishing finishing_of(const CopyEntry& entry) {
  Finishing source;
  source.source_path = entry.source_path;
  source.target_path = entry.target_path;
  source.attributes = entry.attributes;
  source.done = entry.outcome == Outcome::copied || entry.outcome == Outcome::equal;
  source.in_place = entry.in_place;
  source.source_stamp = entry.source_stamp;
  source.source_grew = entry.source_grew;
  source.copy_stamp = entry.copy_stamp;
  source.write_order = entry.write_order;
  return source;
}

// The finishing steps wait for the end of the run when a later write of the
// run may still replace a copy: every cycle of option K writes its files
// again (and a cycle that walks again must find them all), and flattened
// files of one name share one target, which matters to option X alone.
bool finishing_waits() {
  return (options.multiple_copies && (options.update_archive || options.delete_source)) ||
         (options.flatten && options.delete_source);
}

// Once an entry is finished, its write matters no more: a later write into
// the same file is judged by its own place among the writes.
void forget_write(const CopyEntry& entry) {
  auto last = last_writes.find(file_key(entry.copy_stamp));
  if (last != last_writes.end() && last->second == entry.write_order) last_writes.erase(last);
}

// True when the source holds data its copy lacks: it had grown between
// its listing and its reading, which took the listed size, or it differs
// from what was read.
bool changed_since_read(const Finishing& source) {
  platform::FileStamp now;
  return platform::stamp_of(source.source_path, now) && (source.source_grew || !(now == source.source_stamp));
}

// True when the target is not the copy the run left: it was removed
// or changed since, or a later write of the run went into it.
bool copy_not_as_left(const Finishing& source) {
  platform::FileStamp now;
  if (!platform::stamp_of(source.target_path, now) || !(now == source.copy_stamp)) return true;
  auto last = last_writes.find(file_key(now));
  return last != last_writes.end() && last->second != source.write_order;
}

// True when the source is the only copy of its data there is: it is its
// own target, it changed after it was read, or its copy is not as left.
bool only_copy(const Finishing& source) {
  return source.in_place || platform::name_one_file(source.source_path, source.target_path) ||
         changed_since_read(source) || copy_not_as_left(source);
}

// Deletes the source unless it must be kept; a read-only source is offered
// for deleting, and is judged again once the question is answered, since
// its copy may have changed while the question waited.
void delete_source(const Finishing& source, bool keep) {
  const char* path = source.source_path.c_str();
  if (!keep && platform::delete_unless_read_only(source.source_path)) return;
  if (!keep) {
    err().print("Delete the read-only file: %s", path);
    if (!answered_yes("? (Y/N): ")) return;
    keep = only_copy(source);
  }
  if (!keep) {
    platform::set_attributes(source.source_path, source.attributes & platform::ARCHIVE);
    if (platform::delete_unless_read_only(source.source_path)) return;
  }
  out().print("Could not delete %s\n", path);
}

void finish(Finishing source) {
  insert_source_disk();
  // A directory is not a file to delete. Whether the source must stay is
  // judged before option B changes its attribute word, which then gives
  // the source the stamp it is judged by again.
  bool deleting = options.delete_source && (source.attributes & platform::DIRECTORY) == 0;
  bool keep = deleting && only_copy(source);
  if (options.update_archive) {
    platform::set_attributes(source.source_path, source.attributes & ~platform::ARCHIVE);
    if (deleting && !keep) platform::stamp_of(source.source_path, source.source_stamp);
  }
  if (deleting) delete_source(source, keep);
}

}  // namespace

// Notes that the copy of the entry has just been written completely.
void note_copy_written(CopyEntry& entry) {
  if (!options.delete_source || !platform::stamp_of(entry.target_path, entry.copy_stamp)) return;
  entry.write_order = ++writes_finished;
  last_writes[file_key(entry.copy_stamp)] = entry.write_order;
}

// An entry leaves the list: its finishing steps are done at once, or noted to
// be done at the end of the run (where a later note of the same source,
// read again by a later cycle, takes the earlier one's place).
void settle_finishing(const CopyEntry& entry) {
  if (!options.update_archive && !options.delete_source) return;
  if (!finishing_waits()) {
    Finishing source = finishing_of(entry);
    if (source.done && !cancelled) finish(source);
    forget_write(entry);
    return;
  }
  // Only a later cycle of option K handles a source a second time.
  if (options.multiple_copies) {
    auto [place, added] = waiting_place.try_emplace(entry.source_path, waiting.size());
    if (!added) {
      waiting[place->second] = finishing_of(entry);
      return;
    }
  }
  waiting.push_back(finishing_of(entry));
}

void finish_run() {
  release_entries();
  if (cancelled) return;
  for (const Finishing& source : waiting) {
    if (source.done) finish(source);
  }
}

}  // namespace dupro
