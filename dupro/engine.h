// Dupro's engine, as the run sequence sees it: the tree walk that selects
// and reads the files into the in-memory entry list, the flushes that write
// (or compare) the entries, and the finishing steps when the list is
// released.
#pragma once

#include <cstdint>
#include <string>

namespace dupro {

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
