// What the parts of Dupro's engine share: the entry record, the entry list,
// the disk prompts, comparing, and the finishing steps, each defined in the
// file named for it. The run sequence uses dupro/engine.h alone.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "common/streams.h"
#include "dupro/engine.h"
#include "dupro/errors.h"
#include "dupro/platform.h"

namespace dupro {

using platform::FileInfo;

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

// Compare mode reads and compares a target a piece of this size at a time.
constexpr std::size_t COMPARE_PIECE = 64 * 1024;
// The attribute bits a file keeps while it is read; the others are cleared
// for reading and given back afterwards.
constexpr std::uint32_t KEPT_BY_READING = platform::READ_ONLY | platform::ARCHIVE;

// How much of the `left` bytes of a file the next chunk takes.
inline std::size_t next_chunk_size(std::uint64_t left) {
  return left < CHUNK_SIZE ? static_cast<std::size_t>(left) : CHUNK_SIZE;
}

inline suite::OutputStream& out() { return suite::standard_output(); }
inline suite::OutputStream& err() { return message_stream(); }

// entries.cpp: the list and its chunks.
CopyEntry* first_entry();
// A new entry at the end of the list; when memory is full, the list is
// flushed and released first, and a second failure ends the run.
CopyEntry* new_entry();
std::uint64_t held_bytes(const CopyEntry& entry);
// True when reading the entry's file takes its attribute word down to the
// bits that reading keeps, and back afterwards.
bool needs_attribute_juggling(const CopyEntry& entry);
// The entry was not written, or differs: it gets no finishing step, and a
// flush that leaves the file being read so stops its reading.
void mark_failed(CopyEntry& entry);
// The part of the file held has been written or compared; more is to come.
void mark_part_handled(CopyEntry& entry);
// Room for one chunk of the entry's data; nullptr when memory is full.
char* allocate_chunk(const CopyEntry& entry, std::size_t size);
// Frees the entries and performs their finishing steps (options B and X),
// or notes them for the end of the run when a later write of the run may
// still replace a copy (option K, and option Y with X). The file being
// read across flushes stays as the only entry.
void release_entries();
// With source and target on one unit, asks for the other disk when the
// one in the drive is not the one needed next.
void insert_target_disk();
void insert_source_disk();

// read.cpp: reads the selected file into the entry, flushing the list as
// memory and the chunks run out; the entry may be freed by a flush.
void read_source_file(CopyEntry* entry);
// True when the open file is the source as it was read.
bool is_source_as_read(const CopyEntry& entry, platform::Handle source);

// write.cpp: writes every entry held; true when the last one handled was
// not written.
bool write_entries();

// compare.cpp: compares every entry held with its target and reports it;
// true when the last one handled differs.
bool compare_entries();

// compare_reading.cpp: the source piece every chunk compared while reading
// is read to, and the comparing both kinds share.
extern char* source_piece;
bool compared_as_read(const CopyEntry& entry);
// True while comparing the entry with its target goes on: the target is
// open, and no difference or file error has been met.
bool comparing(const CopyEntry& entry);
const char* metadata_difference(const CopyEntry& entry, bool found, const FileInfo& target);
void close_compared_target(CopyEntry& entry);
void note_failure(CopyEntry& entry, FileError error);
bool target_piece_matches(CopyEntry& entry, const char* data, std::size_t n);
void end_chunk_comparison(CopyEntry& entry, std::size_t size, bool same);
void examine_as_read(CopyEntry& entry);
void read_and_compare_chunk(CopyEntry& entry, platform::Handle source, std::size_t size);
// After a flush: a file error met while reading did not come again, so
// comparing while reading goes on.
void resume_examining();

// finishing.cpp: the copy of the entry has just been written completely.
void note_copy_written(CopyEntry& entry);
// The entry leaves the list: its finishing steps are done at once, or noted for
// the end of the run.
void settle_finishing(const CopyEntry& entry);

}  // namespace dupro
