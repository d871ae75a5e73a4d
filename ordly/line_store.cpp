#include "ordly/line_store.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

#include "ordly/errors.h"
#include "ordly/line_order.h"
#include "ordly/output.h"
#include "ordly/runs.h"
#include "ordly/settings.h"
#include "ordly/sort_methods.h"

namespace ordly {

LineStore store;

namespace {

std::unique_ptr<suite::InputStream> named_input;
suite::OutputStream named_output;

void take_reserve_block() {
  store.reserve_block = static_cast<char*>(std::malloc(settings.max_line));
  if (store.reserve_block == nullptr) error_exit(ErrorCode::MEMORY_EXHAUSTED);
}

void release_reserve_block() {
  std::free(store.reserve_block);
  store.reserve_block = nullptr;
}

// Gives the line table LINE_ARRAY_STEP more slots; false (nothing changed)
// when the table would reach LINE_ARRAY_LIMIT slots or the memory is not
// there.
bool grow_line_array() {
  std::int32_t new_capacity = store.line_capacity + LINE_ARRAY_STEP;
  if (new_capacity >= LINE_ARRAY_LIMIT) {
    if (settings.debug_info) suite::standard_error().write("Over 64Kb lines. Using temporary file.\n");
    return false;
  }
  void* larger = std::realloc(store.line_array, static_cast<std::size_t>(new_capacity) * sizeof(char*));
  if (larger == nullptr) {
    if (settings.debug_info) suite::standard_error().write("No RAM for more line numbers. Using temporary file.\n");
    return false;
  }
  store.line_array = static_cast<char**>(larger);
  store.line_capacity = new_capacity;
  return true;
}

void shrink_line_array() {
  void* smaller = std::realloc(store.line_array, LINE_ARRAY_STEP * sizeof(char*));
  if (smaller == nullptr) error_exit(ErrorCode::MEMORY_EXHAUSTED);
  store.line_array = static_cast<char**>(smaller);
  store.line_capacity = LINE_ARRAY_STEP;
}

// Makes a free slot in a full line table: the table grows, or the store is
// spilled to a run and the table starts small again.
void make_room_for_a_line() {
  if (grow_line_array()) return;
  release_reserve_block();
  spill_lines();
  shrink_line_array();
  take_reserve_block();
}

// Stores a line of length bytes, with a line feed added when asked. When
// memory is full the store is spilled to a run and the allocation tried
// again.
char* allocate_line(const char* text, std::size_t length, bool add_line_feed) {
  for (;;) {
    if (char* line = new_stored_line(text, length, add_line_feed)) return line;
    release_reserve_block();
    if (settings.debug_info) suite::standard_error().write("No RAM for more lines. Using temporary file.\n");
    // With nothing in the store a spill frees nothing.
    if (store.line_count == 0) error_exit(ErrorCode::MEMORY_EXHAUSTED);
    spill_lines();
    take_reserve_block();
  }
}

// Stores a piece of input as read_stored_line would give it: its text up to
// a NUL byte, with a line feed added when it has none.
void store_piece(std::string_view text) {
  bool add_line_feed = text.empty() || text.back() != '\n';
  if (store.line_count == store.line_capacity) make_room_for_a_line();
  store.line_array[store.line_count++] = allocate_line(text.data(), text.size(), add_line_feed);
}

// Pieces are taken as the line reader takes them (up to and including the
// first line feed, at most limit bytes): where they lie in the stream's
// buffer when they are whole there, else through the read buffer.
void read_pieces(suite::InputStream& input) {
  std::size_t limit = settings.max_line - 2;
  for (std::string_view piece; !(piece = input.read_line_in_place(store.read_buffer, limit + 1)).empty();) {
    store_piece(input.text_of(piece));
  }
}

// Stored lines are carved one after another out of blocks of
// LINE_BLOCK_SIZE bytes, which all go back together once the store has been
// written out. A line that no shared block can be had for gets a block of
// its own size, so the store fills memory as far as blocks of single lines
// go: a spill begins only when that allocation fails too.
constexpr std::size_t LINE_BLOCK_SIZE = 64 * 1024;
// Lines above this size get a block of their own, so that a block's unused
// rest stays small.
constexpr std::size_t LARGEST_SHARED_LINE = LINE_BLOCK_SIZE / 16;

struct LineBlock {
  LineBlock* older;
};

struct LineBlocks {
  LineBlock* newest = nullptr;
  char* free_space = nullptr;  // the unused rest of the newest shared block
  std::size_t free_size = 0;
};

LineBlocks line_blocks;

char* new_line_block(std::size_t size) {
  LineBlock* block = static_cast<LineBlock*>(std::malloc(sizeof(LineBlock) + size));
  if (block == nullptr) return nullptr;
  block->older = line_blocks.newest;
  line_blocks.newest = block;
  return reinterpret_cast<char*>(block + 1);
}

// Space for one stored line of size bytes, or null when the memory is not
// there.
char* take_line_space(std::size_t size) {
  if (size <= line_blocks.free_size) {
    char* space = line_blocks.free_space;
    line_blocks.free_space += size;
    line_blocks.free_size -= size;
    return space;
  }
  if (size <= LARGEST_SHARED_LINE) {
    if (char* shared = new_line_block(LINE_BLOCK_SIZE)) {
      line_blocks.free_space = shared + size;
      line_blocks.free_size = LINE_BLOCK_SIZE - size;
      return shared;
    }
  }
  return new_line_block(size);
}

}  // namespace

char* new_stored_line(const char* text, std::size_t length, bool add_line_feed) {
  std::size_t stored_size = length + (add_line_feed ? 1 : 0);
  char* block = take_line_space(sizeof(std::uint32_t) + stored_size + LINE_PADDING);
  if (block == nullptr) return nullptr;
  std::uint32_t stored = static_cast<std::uint32_t>(stored_size);
  std::memcpy(block, &stored, sizeof stored);
  char* line = block + sizeof stored;
  std::memcpy(line, text, length);
  if (add_line_feed) line[length] = '\n';
  std::memset(line + stored_size, 0, LINE_PADDING);
  return line;
}

std::size_t stored_length(const char* line) {
  std::uint32_t length;
  std::memcpy(&length, line - sizeof length, sizeof length);
  return length;
}

void free_stored_lines() {
  while (LineBlock* block = line_blocks.newest) {
    line_blocks.newest = block->older;
    std::free(block);
  }
  line_blocks.free_space = nullptr;
  line_blocks.free_size = 0;
}

void release_input_file() { named_input.reset(); }
suite::OutputStream& run_output() { return named_output; }

void allocate_store() {
  store.read_buffer = static_cast<char*>(std::malloc(std::size_t{settings.max_line} + 1));
  store.line_array = static_cast<char**>(std::calloc(LINE_ARRAY_STEP, sizeof(char*)));
  if (store.read_buffer == nullptr || store.line_array == nullptr) error_exit(ErrorCode::MEMORY_EXHAUSTED);
  store.line_capacity = LINE_ARRAY_STEP;
  // The run output gets its buffer now, while memory is plentiful: a spill
  // forced by full memory could not find it. A stream keeps its buffer
  // when it is closed.
  named_output.attach(suite::platform::standard_output_handle(), suite::StreamMode::text);
  named_output.close();
}

bool resize_read_buffer(std::uint32_t size) {
  std::free(store.read_buffer);
  store.read_buffer = static_cast<char*>(std::malloc(std::size_t{size} + 1));
  return store.read_buffer != nullptr;
}

std::size_t read_stored_line(suite::InputStream& input, char* buffer) {
  std::size_t length = input.read_line(buffer, settings.max_line - 1);
  if (length == 0) return 0;
  if (const void* nul = std::memchr(buffer, '\0', length)) {
    length = static_cast<std::size_t>(static_cast<const char*>(nul) - buffer);
  }
  if (length == 0 || buffer[length - 1] != '\n') {
    buffer[length++] = '\n';
    buffer[length] = '\0';
  }
  return length;
}

void read_input(const char* name) {
  take_reserve_block();
  suite::InputStream* input = &suite::standard_input();
  if (name != nullptr) {
    if (!named_input) named_input = std::make_unique<suite::InputStream>();
    if (!named_input->open(name, suite::StreamMode::text)) error_exit(ErrorCode::CANNOT_OPEN, name);
    input = named_input.get();
  }
  protect_input_from_output(input->handle(), name);
  read_pieces(*input);
  if (name != nullptr) named_input->close();
  store.input_seen = true;
  release_reserve_block();
}

void write_sorted(const char* name) {
  sort_lines(store.line_array, store.line_count);
  bool to_file = name != nullptr && *name != '\0';
  // A run goes to a temporary file just made.
  if (to_file && !named_output.open(name, suite::StreamMode::text, suite::OutputStream::Truncation::never)) {
    error_exit(ErrorCode::CANNOT_OPEN, name);
  }
  suite::OutputStream& output = to_file ? named_output : start_output();
  for (std::int32_t i = 0; i < store.line_count; ++i) {
    const char* line = store.line_array[i];
    write_stored_line(output, line, stored_length(line));
    store.line_array[i] = nullptr;
  }
  store.line_count = 0;
  free_stored_lines();
  // A run that lacks lines would lose them from the result.
  if (to_file && !named_output.close()) error_exit(ErrorCode::CANNOT_OPEN, name);
}

}  // namespace ordly
