#include "ordly/runs.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "ordly/coded_heap.h"
#include "ordly/errors.h"
#include "ordly/line_order.h"
#include "ordly/line_store.h"
#include "ordly/output.h"
#include "ordly/platform.h"
#include "ordly/run_reader.h"
#include "ordly/settings.h"

namespace ordly {

FileEntry file_list[MAX_FILES];
int file_count = 0;

namespace {

std::uint16_t temporary_counter = 0;

// Every input of a merge reads through a buffer of its own, and a merge
// keeps up to 255 of them at once beside their current-line buffers of
// max_line bytes: a page each is enough for reading lines in large steps.
constexpr std::size_t MERGE_INPUT_BLOCK_SIZE = 4096;

void open_intermediate_output() {
  const char* name = add_temporary_file(TemporaryUse::merge_output);
  if (!run_output().open(name, suite::StreamMode::text, suite::OutputStream::Truncation::never)) {
    error_exit(ErrorCode::CANNOT_OPEN, "(TEMPORARY)");
  }
}

// An intermediate output that lacks lines would lose them from the result.
void close_intermediate_output() {
  if (!run_output().close()) error_exit(ErrorCode::CANNOT_OPEN, "(TEMPORARY)");
}

// The state of one k-way merge: a heap of list positions and, for each
// input taking part, its current line with the key the order keeps for it.
// A run is read in place by its reader; a file of the user's is read like
// any input into a line buffer of its own.
struct MergeState {
  int heap[MAX_FILES];
  int count = 0;
  KeyedLine current[MAX_FILES] = {};
  std::size_t length[MAX_FILES] = {};
  RunReader reader[MAX_FILES];
  char* line_buffer[MAX_FILES] = {};
};

// Orders the heap by straight insertion; equal lines keep list order.
template <typename Order>
void order_heap(MergeState& state, Order compare) {
  for (int k = 1; k < state.count; ++k) {
    int held = state.heap[k];
    int j = k - 1;
    while (j >= 0 && compare(state.current[state.heap[j]], state.current[held]) > 0) {
      state.heap[j + 1] = state.heap[j];
      --j;
    }
    state.heap[j + 1] = held;
  }
}

// Moves the top element down to its place; ties take the left child.
template <typename Order>
void sift_down(MergeState& state, Order compare) {
  int i = 0;
  int child = 1;
  while (child < state.count) {
    if (child + 1 < state.count &&
        compare(state.current[state.heap[child]], state.current[state.heap[child + 1]]) > 0) {
      ++child;
    }
    if (compare(state.current[state.heap[i]], state.current[state.heap[child]]) <= 0) break;
    std::swap(state.heap[i], state.heap[child]);
    i = child;
    child = 2 * child + 1;
  }
}

// Readies input i for reading; error 64 when its buffer cannot be had.
void start_input(MergeState& state, int i) {
  if (file_list[i].is_temporary) {
    if (!state.reader[i].start(settings.max_line)) error_exit(ErrorCode::MEMORY_EXHAUSTED);
  } else {
    state.line_buffer[i] = static_cast<char*>(std::calloc(settings.max_line + LINE_PADDING, 1));
    if (state.line_buffer[i] == nullptr) error_exit(ErrorCode::MEMORY_EXHAUSTED);
  }
}

void finish_input(MergeState& state, int i) {
  state.reader[i].release();
  std::free(state.line_buffer[i]);
  state.line_buffer[i] = nullptr;
}

// Makes the next line of input i its current line; false at its end. The
// user's files are read like any input, the runs as they were written.
bool read_next_line(MergeState& state, int i) {
  suite::InputStream& input = *file_list[i].stream;
  if (file_list[i].is_temporary) {
    state.current[i].line = state.reader[i].next_line(input, state.length[i]);
    return state.current[i].line != nullptr;
  }
  state.current[i].line = state.line_buffer[i];
  state.length[i] = read_stored_line(input, state.line_buffer[i]);
  return state.length[i] != 0;
}

// Inputs that yield no line take no further part.
void load_first_lines(MergeState& state, int first, int end) {
  for (int i = first; i < end; ++i) {
    start_input(state, i);
    if (read_next_line(state, i)) {
      state.heap[state.count++] = i;
    } else {
      finish_input(state, i);
    }
  }
}

// Writes the top line and makes its input's next line current; an input
// at its end leaves the heap, the last element taking the top. True when
// the top stays with the same input.
bool replace_top(MergeState& state, suite::OutputStream& output) {
  int top = state.heap[0];
  write_stored_line(output, state.current[top].line, state.length[top]);
  if (read_next_line(state, top)) return true;
  finish_input(state, top);
  state.heap[0] = state.heap[--state.count];
  return false;
}

template <typename Order>
void order_first_lines(MergeState& state, Order compare) {
  for (int k = 0; k < state.count; ++k) {
    int i = state.heap[k];
    state.current[i].key = compare.key_of(state.current[i].line, state.length[i]);
  }
  order_heap(state, compare);
}

template <typename Order>
void merge_lines(MergeState& state, suite::OutputStream& output, Order compare) {
  order_first_lines(state, compare);
  while (state.count > 0) {
    int top = state.heap[0];
    if (replace_top(state, output)) {
      state.current[top].key = compare.key_of(state.current[top].line, state.length[top]);
    }
    sift_down(state, compare);
  }
}

// The same merge under the order of the codes alone, through the coded
// heap, which needs no keys after the first lines.
void merge_coded_lines(MergeState& state, suite::OutputStream& output, KeyedCodeOrder compare) {
  order_first_lines(state, compare);
  CodedHeap heap(compare.table, compare.reverse);
  heap.start(state.heap, state.count, state.current);
  while (state.count > 0) {
    replace_top(state, output);
    heap.sift_down(state.heap, state.count, state.current);
  }
}

void close_and_remove(int first, int end) {
  for (int i = first; i < end; ++i) {
    FileEntry& entry = file_list[i];
    entry.stream.reset();
    if (entry.is_temporary) suite::platform::delete_file(entry.name);
    entry.is_temporary = false;
  }
}

// Merges the open entries first to end - 1 into the output, then closes
// them and deletes the temporary ones. Equal lines from an earlier entry
// are written first.
void merge_range(int first, int end, suite::OutputStream& output) {
  MergeState state;
  load_first_lines(state, first, end);
  with_keyed_line_order([&](auto order) {
    if constexpr (decltype(order)::CODES_ALONE) {
      merge_coded_lines(state, output, order);
    } else {
      merge_lines(state, output, order);
    }
  });
  close_and_remove(first, end);
}

}  // namespace

// Once every number has been tried and each name is taken, no name is left:
// that is a file that cannot be made, not a reason to try for ever.
std::string make_temporary_file(const std::string& folder, const char* failure_text) {
  std::string name;
  for (int tried = 0; tried <= UINT16_MAX; ++tried) {
    ++temporary_counter;
    name = folder + "TMP" + std::to_string(temporary_counter) + ".$$$";
    switch (platform::claim_new_name(name)) {
      case platform::NameClaim::made: return name;
      case platform::NameClaim::taken: break;
      case platform::NameClaim::failed: error_exit(ErrorCode::CANNOT_OPEN, failure_text != nullptr ? failure_text : name.c_str());
    }
  }
  error_exit(ErrorCode::CANNOT_OPEN, failure_text != nullptr ? failure_text : name.c_str());
}

void spill_lines() { write_sorted(add_temporary_file(TemporaryUse::run)); }

void add_file(const char* name) {
  if (file_count == MAX_FILES) error_exit(ErrorCode::TOO_MANY_FILES);
  FileEntry& entry = file_list[file_count];
  entry.is_temporary = false;
  entry.name = name;
  ++file_count;
}

const char* add_temporary_file(TemporaryUse use) {
  if (file_count == MAX_FILES) error_exit(ErrorCode::TOO_MANY_FILES);
  FileEntry& entry = file_list[file_count];
  entry.name = make_temporary_file("", use == TemporaryUse::run ? nullptr : "(TEMPORARY)");
  entry.is_temporary = true;
  ++file_count;
  return entry.name.c_str();
}

void merge_files() {
  open_intermediate_output();
  int first = 0;
  for (int i = 0; i < file_count - 1;) {
    FileEntry& entry = file_list[i];
    entry.stream = std::make_unique<suite::InputStream>(MERGE_INPUT_BLOCK_SIZE);
    // Runs and merge outputs are read as they were written (see RunReader).
    suite::StreamMode mode = entry.is_temporary ? suite::StreamMode::binary : suite::StreamMode::text;
    if (entry.stream->open(entry.name, mode)) {
      protect_input_from_output(entry.stream->handle(), entry.name.c_str());
      ++i;
      continue;
    }
    entry.stream.reset();
    if (suite::platform::last_open_failure() != suite::platform::OpenFailure::too_many_open) {
      error_exit(ErrorCode::CANNOT_OPEN, entry.name.c_str());
    }
    if (i < first + 2) error_exit(ErrorCode::NO_FILE_HANDLES);
    // Merge what is open into the current intermediate output, which later
    // comes up in this loop as an input like any other.
    merge_range(first, i, run_output());
    close_intermediate_output();
    open_intermediate_output();
    first = i;
  }
  // The last intermediate output was never written.
  run_output().close();
  --file_count;
  suite::platform::delete_file(file_list[file_count].name);
  merge_range(first, file_count, start_output());
  file_count = 0;
}

void close_every_file() {
  release_input_file();
  run_output().close();
  for (int i = 0; i < file_count; ++i) file_list[i].stream.reset();
}

void delete_temporary_files() {
  for (int i = 0; i < file_count; ++i) {
    if (file_list[i].is_temporary) suite::platform::delete_file(file_list[i].name);
  }
}

}  // namespace ordly
