#include "ordly/line_store.h"

#include <cstdlib>
#include <cstring>

#include "ordly/errors.h"
#include "ordly/line_order.h"
#include "ordly/runs.h"
#include "ordly/settings.h"
#include "ordly/sort_methods.h"

namespace ordly {

LineStore store;

namespace {

suite::InputStream named_input;
suite::OutputStream named_output;

void take_reserve_block() {
  store.reserve_block = static_cast<char*>(std::malloc(settings.max_line));
  if (store.reserve_block == nullptr) error_exit(ErrorCode::MEMORY_EXHAUSTED);
}

void release_reserve_block() {
  std::free(store.reserve_block);
  store.reserve_block = nullptr;
}

void shrink_line_array() {
  void* smaller = std::realloc(store.line_array, LINE_ARRAY_STEP * sizeof(char*));
  if (smaller == nullptr) error_exit(ErrorCode::MEMORY_EXHAUSTED);
  store.line_array = static_cast<char**>(smaller);
  store.line_capacity = LINE_ARRAY_STEP;
  // The run output gets its buffer now, while memory is plentiful: a spill
  // forced by full memory could not find it. A stream keeps its buffer
  // when it is closed.
  named_output.attach(suite::platform::standard_output_handle(), suite::StreamMode::text);
  named_output.close();
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

// Stores the line in the read buffer. When memory is full the store is
// spilled to a run and the allocation tried again.
char* allocate_line(std::size_t length) {
  for (;;) {
    if (char* line = new_stored_line(store.read_buffer, length)) return line;
    release_reserve_block();
    if (settings.debug_info) suite::standard_error().write("No RAM for more lines. Using temporary file.\n");
    // With nothing in the store a spill frees nothing.
    if (store.line_count == 0) error_exit(ErrorCode::MEMORY_EXHAUSTED);
    spill_lines();
    take_reserve_block();
  }
}

void store_line(std::size_t length) {
  if (store.line_count == store.line_capacity) make_room_for_a_line();
  store.line_array[store.line_count++] = allocate_line(length);
}

}  // namespace

char* new_stored_line(const char* text, std::size_t length) {
  char* block = static_cast<char*>(std::malloc(sizeof(std::uint32_t) + length + LINE_PADDING));
  if (block == nullptr) return nullptr;
  std::uint32_t stored = static_cast<std::uint32_t>(length);
  std::memcpy(block, &stored, sizeof stored);
  char* line = block + sizeof stored;
  std::memcpy(line, text, length);
  std::memset(line + length, 0, LINE_PADDING);
  return line;
}

std::size_t stored_length(const char* line) {
  std::uint32_t length;
  std::memcpy(&length, line - sizeof length, sizeof length);
  return length;
}

void free_stored_line(char* line) { std::free(line - sizeof(std::uint32_t)); }

suite::InputStream& input_file() { return named_input; }
suite::OutputStream& run_output() { return named_output; }

void allocate_store() {
  store.read_buffer = static_cast<char*>(std::malloc(settings.max_line));
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
  store.read_buffer = static_cast<char*>(std::malloc(size));
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
    if (!named_input.open(name, suite::StreamMode::text)) error_exit(ErrorCode::CANNOT_OPEN, name);
    input = &named_input;
  }
  while (std::size_t length = read_stored_line(*input, store.read_buffer)) store_line(length);
  if (name != nullptr) named_input.close();
  store.input_seen = true;
  release_reserve_block();
}

void write_sorted(const char* name) {
  sort_lines(store.line_array, store.line_count);
  suite::OutputStream* output = &suite::standard_output();
  bool to_file = name != nullptr && *name != '\0';
  if (to_file) {
    if (!named_output.open(name, suite::StreamMode::text)) error_exit(ErrorCode::CANNOT_OPEN, name);
    output = &named_output;
  } else {
    output->begin_output();
  }
  for (std::int32_t i = 0; i < store.line_count; ++i) {
    char* line = store.line_array[i];
    output->write(line, stored_length(line));
    free_stored_line(line);
    store.line_array[i] = nullptr;
  }
  store.line_count = 0;
  if (to_file) named_output.close();
}

}  // namespace ordly
