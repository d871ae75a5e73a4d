// Dupro's engine: the tree walk, the selection of files, the in-memory
// entry list, and its flushes that write (or compare) the entries, with the
// finishing steps when the list is released.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "dupro/errors.h"
#include "dupro/platform.h"

namespace dupro {

constexpr std::size_t CHUNK_SIZE = 524288;
constexpr int MAX_CHUNKS = 10;

struct Chunk {
  char* data = nullptr;
  std::size_t size = 0;
};

enum class Outcome { pending, copied, equal, not_done };

// Compare mode: what comparing the held part with the target found so
// far, and the target's stamp from when that comparing began, by which the
// flush tells whether the finding still holds.
struct CompareState {
  bool target_examined = false;   // looked at, while the source was read or at a flush
  bool target_stamped = false;    // target_stamp is taken
  platform::FileStamp target_stamp;
  std::uint64_t slice_start = 0;  // where in the file the held part begins
  int compared_chunks = 0;        // chunks held that have been compared
  bool differs = false;           // a compared chunk differs from the target
  std::optional<FileError> failure;  // the file error met, if any
  std::string failure_reason;        // its error text
};

// One selected file or directory.
struct CopyEntry {
  std::string source_path;
  std::string target_path;
  std::uint64_t size = 0;
  std::uint32_t attributes = 0;
  std::uint16_t time = 0;
  std::uint16_t date = 0;
  bool unfinished = false;   // the chunks do not hold the end of the file
  bool in_progress = false;  // handled as far as read; more of the file to come
  bool failed = false;       // skipped by the user or abandoned
  bool in_place = false;     // the target is the source file itself
  platform::Handle target_handle = platform::NO_HANDLE;
  std::uint64_t remaining = 0;  // bytes not yet written or compared
  std::array<Chunk, MAX_CHUNKS> chunks{};
  CompareState compare;
  Outcome outcome = Outcome::pending;
  // The source as it was read, which option X, a rewrite after a failed
  // write and a compare at the flush that reads it again check it against;
  // and for option X the copy as the run left it (written, or found
  // equal), with which write of the run made it. While a copy is written,
  // copy_stamp is the target file as opened.
  platform::FileStamp source_stamp;
  bool source_grew = false;  // larger when opened than listed: only its start is read
  platform::FileStamp copy_stamp;
  std::uint64_t write_order = 0;
  CopyEntry* next = nullptr;

  bool is_directory() const { return (attributes & platform::DIRECTORY) != 0; }
};

// Run state, read by the run sequence and the summary.

// The run's target directory ("" for the current one). The walk never
// enters it, so a target inside the source is not copied into itself.
extern std::string target_folder;
// True while the list holds every entry the walk of this copy cycle
// selected: no release has happened since the walk began.
extern bool whole_set_loaded;
// Compare mode with source and target on different units, copied once:
// each chunk is compared with its target as soon as it has been read, and
// only its place in the memory budget is held until the flush. The flush
// looks each target up again and reports what comparing found only when
// the target is still in the state it was compared in; otherwise it
// compares there, reading those chunks from the source once more. So
// flushes, lines, counts, file errors and deletions are those of comparing
// held data at the flush; targets are never read while a disk swap may be
// pending, nor data needed again by a later cycle, and a target whose
// attribute word is changed for reading is compared at the flush.
extern bool compare_while_reading;
extern std::uint32_t entry_count;
extern std::uint32_t dir_count;
extern std::uint32_t error_count;

// Allocates the buffer that compare mode reads targets into; false when
// there is no memory for it.
bool allocate_compare_buffer();

// Walks the folder of the search pattern (a folder path and a name
// pattern, "*.*" for every name): what matches is selected into the target
// directory, and unless option S the folders below are walked into the
// matching target directories (with option Y, into the same one).
void walk_directory(const std::string& search_pattern, const std::string& target_directory);
// Writes (or compares) every entry of the list; with release, releases it
// afterwards. True when the last entry handled was not written (or was
// found different).
bool flush_entries(bool release);
// At the end of the run: releases the list, then performs the finishing
// steps noted for the end, unless the run was cancelled.
void finish_run();
// Between copy cycles: every entry held goes back to pending with all of
// its data to write again.
void reset_entries();
// Before walking again in a later cycle: the entries left from the earlier
// one are freed, their finishing steps noted for the end of the run, since
// the walk reads their files again.
void drop_entries();

}  // namespace dupro
