#include "common/streams.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace suite {

namespace {
constexpr std::align_val_t PAGE{4096};
}  // namespace

void FreeStreamBuffer::operator()(char* buffer) const { ::operator delete[](buffer, PAGE); }

StreamBuffer make_stream_buffer(std::size_t size) {
  return StreamBuffer(static_cast<char*>(::operator new[](size, PAGE)));
}

// ---------------------------------------------------------------- input

InputStream::~InputStream() { close(); }

void InputStream::reset(platform::Handle handle, bool owned, StreamMode mode) {
  close();
  handle_ = handle;
  owned_ = owned;
  mode_ = mode;
  if (!buffer_) buffer_ = make_stream_buffer(LineFeedSearch::whole_stretches(block_size_) + COPY_PADDING);
  position_ = filled_ = 0;
  source_done_ = end_seen_ = nul_seen_ = false;
  line_feeds_.forget();
}

bool InputStream::open(const std::string& path, StreamMode mode) {
  platform::Handle handle = platform::open_for_reading(path);
  if (handle == platform::NO_HANDLE) return false;
  reset(handle, true, mode);
  return true;
}

void InputStream::attach(platform::Handle handle, StreamMode mode) { reset(handle, false, mode); }

void InputStream::close() {
  if (owned_) platform::close_handle(handle_);
  handle_ = platform::NO_HANDLE;
  owned_ = false;
  position_ = filled_ = 0;
}

// Applies the text-mode reading rules to freshly read bytes in place:
// everything from the first Ctrl-Z on is dropped (and the source counts as
// finished), and every carriage return is removed. Returns the new size.
std::size_t InputStream::convert_text(char* data, std::size_t size) {
  if (void* stop = std::memchr(data, CTRL_Z, size)) {
    size = static_cast<std::size_t>(static_cast<char*>(stop) - data);
    source_done_ = true;
  }
  char* out = static_cast<char*>(std::memchr(data, '\r', size));
  if (out == nullptr) return size;
  // Moves each stretch between carriage returns down over the gaps.
  const char* end = data + size;
  for (const char* in = out + 1; in < end;) {
    const char* cr = static_cast<const char*>(std::memchr(in, '\r', static_cast<std::size_t>(end - in)));
    const char* stretch_end = cr != nullptr ? cr : end;
    std::size_t length = static_cast<std::size_t>(stretch_end - in);
    std::memmove(out, in, length);
    out += length;
    if (cr == nullptr) break;
    in = cr + 1;
  }
  return static_cast<std::size_t>(out - data);
}

// Reads at most size bytes of the source into target, as the mode has
// them; 0 only at the end of the source.
std::size_t InputStream::read_source(char* target, std::size_t size) {
  while (!source_done_) {
    std::size_t got = platform::read_bytes(handle_, target, size);
    if (got == 0) {
      source_done_ = true;
      break;
    }
    if (mode_ == StreamMode::text) got = convert_text(target, got);
    if (!nul_seen_ && std::memchr(target, '\0', got) != nullptr) nul_seen_ = true;
    if (got > 0) return got;
  }
  return 0;
}

bool InputStream::refill() {
  if (!is_open()) {
    end_seen_ = true;
    return false;
  }
  line_feeds_.forget();
  if (position_ > 0) {
    std::memmove(buffer_.get(), buffer_.get() + position_, filled_ - position_);
    filled_ -= position_;
    position_ = 0;
  }
  if (filled_ < block_size_) filled_ += read_source(buffer_.get() + filled_, block_size_ - filled_);
  if (filled_ > position_) return true;
  end_seen_ = true;
  return false;
}

int InputStream::get_after_refill() {
  if (!refill()) return END;
  return static_cast<unsigned char>(buffer_[position_++]);
}

std::size_t InputStream::read_line(char* buffer, std::size_t size) {
  if (size == 0) return 0;
  std::size_t wanted = size - 1;
  std::size_t copied = 0;
  while (copied < wanted) {
    if (position_ == filled_ && !refill()) break;
    std::size_t available = filled_ - position_;
    std::size_t take = wanted - copied < available ? wanted - copied : available;
    const char* from = buffer_.get() + position_;
    const void* newline = std::memchr(from, '\n', take);
    if (newline != nullptr) take = static_cast<std::size_t>(static_cast<const char*>(newline) - from) + 1;
    std::memcpy(buffer + copied, from, take);
    copied += take;
    position_ += take;
    if (newline != nullptr) break;
  }
  buffer[copied] = '\0';
  return copied;
}

std::size_t InputStream::read(char* buffer, std::size_t size) {
  std::size_t copied = 0;
  while (copied < size) {
    // With nothing buffered, a block or more goes straight to the caller.
    if (position_ == filled_ && size - copied >= block_size_ && is_open()) {
      std::size_t got = read_source(buffer + copied, size - copied);
      if (got == 0) {
        end_seen_ = true;
        break;
      }
      copied += got;
      continue;
    }
    if (position_ == filled_ && !refill()) break;
    std::size_t available = filled_ - position_;
    std::size_t take = size - copied < available ? size - copied : available;
    std::memcpy(buffer + copied, buffer_.get() + position_, take);
    copied += take;
    position_ += take;
  }
  return copied;
}

bool InputStream::rewind() {
  if (!is_open() || !platform::seek_to_start(handle_)) return false;
  position_ = filled_ = 0;
  source_done_ = end_seen_ = false;
  line_feeds_.forget();
  return true;
}

bool InputStream::keep_only_last(std::uint64_t count) {
  if (!is_open() || mode_ != StreamMode::binary || filled_ > 0 || source_done_) return false;
  return platform::seek_to_last_bytes(handle_, count);
}

// ---------------------------------------------------------------- output

OutputStream::~OutputStream() { close(); }

void OutputStream::reset(platform::Handle handle, bool owned, StreamMode mode) {
  close();
  handle_ = handle;
  owned_ = owned;
  mode_ = mode;
  unbuffered_ = false;
  truncate_pending_ = false;
  failed_ = false;
  if (!buffer_) buffer_ = make_stream_buffer(BLOCK_SIZE + COPY_PADDING);
  filled_ = 0;
  bool text = mode == StreamMode::text;
  line_end_bytes_[0] = text ? '\r' : '\n';
  line_end_size_ = text ? 2 : 1;
  update_direct_writing();
}

void OutputStream::update_direct_writing() {
  direct_limit_ = is_open() && !truncate_pending_ && !unbuffered_ ? BLOCK_SIZE : 0;
}

bool OutputStream::open(const std::string& path, StreamMode mode, Truncation truncation) {
  platform::Handle handle = platform::open_for_writing(path, truncation == Truncation::now);
  if (handle == platform::NO_HANDLE) return false;
  reset(handle, true, mode);
  truncate_pending_ = truncation == Truncation::when_output_begins;
  update_direct_writing();
  return true;
}

void OutputStream::attach(platform::Handle handle, StreamMode mode, bool unbuffered) {
  reset(handle, false, mode);
  unbuffered_ = unbuffered;
  update_direct_writing();
}

bool OutputStream::close() {
  if (!is_open()) return !failed_;
  flush_buffer();
  if (owned_ && !platform::close_handle(handle_)) failed_ = true;
  handle_ = platform::NO_HANDLE;
  owned_ = false;
  truncate_pending_ = false;
  update_direct_writing();
  return !failed_;
}

void OutputStream::begin_output() {
  if (!truncate_pending_) return;
  truncate_pending_ = false;
  update_direct_writing();
  platform::truncate_to_empty(handle_);
}

void OutputStream::put_with_checks(char c) {
  if (!is_open()) return;
  if (truncate_pending_) begin_output();
  if (mode_ == StreamMode::text && c == '\n') {
    if (filled_ + 2 > BLOCK_SIZE) flush();
    buffer_[filled_++] = '\r';
  } else if (filled_ == BLOCK_SIZE) {
    flush();
  }
  buffer_[filled_++] = c;
  if (unbuffered_) flush();
}

void OutputStream::write_raw(const char* data, std::size_t size) {
  if (filled_ + size > BLOCK_SIZE) flush_buffer();
  if (size >= BLOCK_SIZE) {
    write_out(data, size);
    return;
  }
  std::memcpy(buffer_.get() + filled_, data, size);
  filled_ += size;
}

void OutputStream::write_unconverted(const char* data, std::size_t size) {
  if (!is_open()) return;
  if (truncate_pending_) begin_output();
  write_raw(data, size);
  if (unbuffered_ || reader_gone_) flush();
}

void OutputStream::write(const char* data, std::size_t size) {
  if (mode_ == StreamMode::binary) {
    write_unconverted(data, size);
    return;
  }
  if (!is_open()) return;
  if (truncate_pending_) begin_output();
  const char* end = data + size;
  while (data < end) {
    const char* newline = static_cast<const char*>(std::memchr(data, '\n', static_cast<std::size_t>(end - data)));
    if (newline == nullptr) {
      write_raw(data, static_cast<std::size_t>(end - data));
      break;
    }
    write_raw(data, static_cast<std::size_t>(newline - data));
    write_raw("\r\n", 2);
    data = newline + 1;
  }
  if (unbuffered_ || reader_gone_) flush();
}

// Bytes given to a stream that is not open are dropped, as by write().
OutputStream::Room OutputStream::room(std::size_t size) {
  if (truncate_pending_) begin_output();
  if (!is_open()) {
    if (!buffer_) buffer_ = make_stream_buffer(BLOCK_SIZE + COPY_PADDING);
    filled_ = 0;
  } else if (filled_ + size > BLOCK_SIZE) {
    flush_buffer();
    if (reader_gone_) flush();
  }
  return {buffer_.get() + filled_, buffer_.get() + BLOCK_SIZE};
}

void OutputStream::commit(const char* end) {
  if (!is_open()) return;
  filled_ = static_cast<std::size_t>(end - buffer_.get());
  if (unbuffered_) flush();
}

void OutputStream::write_c_string(const char* text) { write(text, std::strlen(text)); }

void OutputStream::print(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  vprint(format, arguments);
  va_end(arguments);
}

void OutputStream::vprint(const char* format, va_list arguments) {
  char small[512];
  va_list copy;
  va_copy(copy, arguments);
  int length = std::vsnprintf(small, sizeof small, format, arguments);
  if (length < 0) {
    va_end(copy);
    return;
  }
  if (static_cast<std::size_t>(length) < sizeof small) {
    write(small, static_cast<std::size_t>(length));
  } else {
    std::vector<char> large(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(large.data(), large.size(), format, copy);
    write(large.data(), static_cast<std::size_t>(length));
  }
  va_end(copy);
}

void OutputStream::flush_buffer() {
  if (filled_ > 0) write_out(buffer_.get(), filled_);
  filled_ = 0;
}

void OutputStream::write_out(const char* data, std::size_t size) {
  if (written_out_first_ != nullptr) written_out_first_->flush_buffer();
  if (platform::write_bytes(handle_, data, size) == size) return;
  failed_ = true;
  if (reports_reader_gone_ && platform::last_write_failure() == platform::WriteFailure::reader_gone) {
    reader_gone_ = true;
    handle_ = platform::NO_HANDLE;
    update_direct_writing();
  }
}

// A file whose truncation is still pending is left as it was: nothing has
// been written to it.
void OutputStream::flush() {
  if (is_open()) flush_buffer();
  if (reader_gone_) report_reader_gone();
}

// ---------------------------------------------------------------- standard streams

namespace {

void end_as_after_normal_end() { std::exit(0); }

OutputGoneHandler output_gone_handler = end_as_after_normal_end;

}  // namespace

void set_output_gone_handler(OutputGoneHandler handler) { output_gone_handler = handler; }

namespace {

std::string input_name = "stdin";

}  // namespace

bool open_standard_input(const std::string& name) {
  if (!standard_input().open(name, StreamMode::text)) return false;
  input_name = name;
  return true;
}

const std::string& standard_input_name() { return input_name; }

bool open_standard_output_apart_from_input(const std::string& name) {
  if (platform::same_file(standard_input().handle(), name)) return false;
  return standard_output().open(name, StreamMode::text);
}

bool standard_output_feeds_standard_input() {
  return platform::output_feeds_input(standard_output().handle(), standard_input().handle());
}

void go_on_without_output() {}

// Called once. Standard output is closed to further writes before the
// handler runs, so an exit from the handler flushes nothing more there.
void OutputStream::report_reader_gone() {
  reader_gone_ = false;
  reports_reader_gone_ = false;
  filled_ = 0;
  output_gone_handler();
}

// Constructed before main, so their destructors (which flush) run after
// every exit handler that the program registers.
struct StandardStreams {
  InputStream input;
  OutputStream output;
  OutputStream error;
  StandardStreams() {
    platform::keep_standard_handles_taken();
    platform::keep_failed_writes_from_ending_the_process();
    platform::widen_pipe(platform::standard_input_handle());
    input.attach(platform::standard_input_handle(), StreamMode::text);
    platform::widen_pipe(platform::standard_output_handle());
    output.attach(platform::standard_output_handle(), StreamMode::text);
    output.reports_reader_gone_ = true;
    error.attach(platform::standard_error_handle(), StreamMode::text, true);
    error.written_out_first_ = &output;
  }
};

namespace {

StandardStreams standard_streams;

}  // namespace

InputStream& standard_input() { return standard_streams.input; }
OutputStream& standard_output() { return standard_streams.output; }
OutputStream& standard_error() { return standard_streams.error; }

}  // namespace suite
