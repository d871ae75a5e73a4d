// Buffered input and output streams with the suite's text-mode rules.
//
// Text mode, on every platform: reading drops every carriage-return byte and
// ends the input at the first Ctrl-Z byte (0x1A); writing turns every line
// feed into a carriage return and line feed. Binary mode moves bytes
// unchanged. The conversions are applied to whole buffer blocks, so reading
// a byte or a line never costs a system call of its own.
#pragma once

#include <bit>
#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>

#include "common/byte_search.h"
#include "common/platform.h"

namespace suite {

// A stream's buffer. It starts on a page boundary: the kernel copies to and
// from a buffer off the cache-line alignment several times slower.
struct FreeStreamBuffer {
  void operator()(char* buffer) const;
};
using StreamBuffer = std::unique_ptr<char[], FreeStreamBuffer>;
// Allocated by new, so a program's new handler sees a failure as usual.
StreamBuffer make_stream_buffer(std::size_t size);

enum class StreamMode { text, binary };

constexpr char CTRL_Z = 0x1A;

class InputStream {
 public:
  static constexpr int END = -1;
  static constexpr std::size_t BLOCK_SIZE = 256 * 1024;

  InputStream() = default;
  // A stream with a buffer of block_size bytes instead of BLOCK_SIZE, for a
  // program that keeps many inputs open at once.
  explicit InputStream(std::size_t block_size) : block_size_(block_size) {}
  ~InputStream();
  InputStream(const InputStream&) = delete;
  InputStream& operator=(const InputStream&) = delete;

  // Opens a file; on failure the stream stays closed and false is returned.
  bool open(const std::string& path, StreamMode mode);
  // Reads from an existing handle that the stream does not own.
  void attach(platform::Handle handle, StreamMode mode);
  void close();
  bool is_open() const { return handle_ != platform::NO_HANDLE; }
  platform::Handle handle() const { return handle_; }

  // The next byte (0 to 255), or END.
  int get() {
    if (position_ < filled_) return static_cast<unsigned char>(buffer_[position_++]);
    return get_after_refill();
  }
  // Reads like the C library's line reader: at most size - 1 bytes, stopping
  // after the first line feed, which is kept; a NUL follows the bytes read.
  // Returns the number of bytes read; 0 means nothing was read (end of input).
  std::size_t read_line(char* buffer, std::size_t size);
  // The next line as read_line(buffer, size) would read it, taken where it
  // lies when the whole of it is in the buffer: the view stays valid until
  // the next read. Empty when the line is not all there or the input is at
  // its end (nothing is taken then): read_line it.
  std::string_view buffered_line(std::size_t size);
  // The next line where it lies when it is whole in the buffer, else read
  // into `spare` (of `size` bytes) by read_line; empty at the end of the
  // input.
  std::string_view read_line_in_place(char* spare, std::size_t size) {
    std::string_view line = buffered_line(size);
    if (!line.empty()) return line;
    return {spare, read_line(spare, size)};
  }
  // Hands each line that lies whole in the buffer, line feed included and
  // at most size - 1 bytes long, to `take`, as read_line would read them,
  // and takes them; stops at the first line that is not all there or is
  // longer, or after a line for which `take` gives false (when it gives a
  // bool). Only while no NUL has come into the buffer (a line then is its
  // own text): false, with nothing taken, once one has (or when size is 0).
  template <typename Take>
  bool take_buffered_lines(std::size_t size, Take take);
  // Lists in `ends` where each line that lies whole in the buffer ends (one
  // past its line feed), as read_line would read them and at most size - 1
  // bytes long, and takes them; gives how many. Once `most` are listed no
  // further stretch is looked at, so that `ends` needs room for fewer than
  // most + LineFeedSearch::STRETCH. 0, with nothing taken, once a NUL has
  // come into the buffer.
  std::size_t take_line_ends(std::size_t size, const char** ends, std::size_t most);
  // The text of a line read from this stream: its bytes up to the first
  // NUL, searched for only once a NUL has come into the buffer.
  std::string_view text_of(std::string_view line) const {
    if (!nul_seen_) return line;
    const void* nul = std::memchr(line.data(), '\0', line.size());
    if (nul == nullptr) return line;
    return line.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - line.data()));
  }
  // Reads up to size bytes; fewer only at the end of the input.
  std::size_t read(char* buffer, std::size_t size);
  // The end-of-file indicator: set once a read has met the end of the input.
  bool end_seen() const { return end_seen_; }
  // True once a NUL byte has come into the buffer: until then the bytes read
  // hold none, and a line read holds no NUL before its end.
  bool nul_seen() const { return nul_seen_; }
  // Goes back to the start of a file and clears the end-of-file indicator.
  bool rewind();
  // Before the first read of a binary stream on a regular file: passes over
  // all but its last `count` bytes without reading them. False, with nothing
  // passed over, in text mode (where bytes read are not bytes of the file),
  // on a pipe or a terminal, or once reading has begun.
  bool keep_only_last(std::uint64_t count);

  // Direct access to the bytes already converted and waiting in the buffer.
  const char* buffered_data() const { return buffer_.get() + position_; }
  std::size_t buffered_size() const { return filled_ - position_; }
  void consume(std::size_t count) { position_ += count; }
  // Brings more bytes into the buffer; false (and the end-of-file indicator
  // set) when the input has none left. Bytes still waiting are kept.
  bool refill();

 private:
  int get_after_refill();
  void reset(platform::Handle handle, bool owned, StreamMode mode);
  std::size_t convert_text(char* data, std::size_t size);
  std::size_t read_source(char* target, std::size_t size);

  platform::Handle handle_ = platform::NO_HANDLE;
  bool owned_ = false;
  StreamMode mode_ = StreamMode::text;
  std::size_t block_size_ = BLOCK_SIZE;
  // Whole stretches of the block, then COPY_PADDING bytes more, so that
  // any line or part of one in it may be written by a padded copy.
  StreamBuffer buffer_;
  std::size_t position_ = 0;
  std::size_t filled_ = 0;
  bool source_done_ = false;  // the handle gave its last byte, or Ctrl-Z was met
  bool end_seen_ = false;
  bool nul_seen_ = false;
  // Kept from one line's search to the next; a refill, which changes the
  // bytes, makes it forget.
  LineFeedSearch line_feeds_;
};

// Inline: the streaming programs take every line through it.
inline std::string_view InputStream::buffered_line(std::size_t size) {
  if (size == 0) return {};
  std::size_t wanted = size - 1;
  std::size_t available = filled_ - position_;
  std::size_t take = wanted < available ? wanted : available;
  std::size_t newline = line_feeds_.find(buffer_.get(), position_, position_ + take);
  if (newline != LineFeedSearch::NOT_FOUND) {
    take = newline - position_ + 1;
  } else if (take < wanted) {
    return {};
  }
  const char* from = buffer_.get() + position_;
  position_ += take;
  return {from, take};
}

template <typename Take>
bool InputStream::take_buffered_lines(std::size_t size, Take take) {
  if (nul_seen_ || size == 0) return false;
  // Listed first, a few hundred at a time, so that the loop that hands
  // them over takes no branch on how many lines a stretch holds.
  constexpr std::size_t MOST = 256;
  const char* ends[MOST + LineFeedSearch::STRETCH];
  std::size_t count = MOST;
  while (count >= MOST) {
    const char* line = buffer_.get() + position_;
    count = take_line_ends(size, ends, MOST);
    for (std::size_t i = 0; i < count; ++i) {
      std::string_view whole(line, static_cast<std::size_t>(ends[i] - line));
      line = ends[i];
      if constexpr (std::is_same_v<decltype(take(whole)), bool>) {
        if (!take(whole)) {
          position_ = static_cast<std::size_t>(line - buffer_.get());
          return true;
        }
      } else {
        take(whole);
      }
    }
  }
  return true;
}

// Lists where the lines marked in a stretch's bits end, from `base` (one
// past the stretch's first byte) on, into `ends`, and gives how many. The
// first four are listed whatever their number, so that a stretch of up to
// four lines, most stretches, takes no branch on it.
inline std::size_t list_line_ends(std::uint64_t bits, const char* base, const char** ends) {
  const auto count = static_cast<std::size_t>(bits_set(bits));
  // The top bit set keeps the count of trailing zeros defined, with no
  // branch, where the stretch has fewer lines: those ends are not counted.
  constexpr std::uint64_t TOP = std::uint64_t{1} << 63;
  for (std::size_t i = 0; i < 4; ++i) {
    ends[i] = base + std::countr_zero(bits | TOP);
    bits &= bits - 1;
  }
  for (std::size_t i = 4; i < count; ++i) {
    ends[i] = base + std::countr_zero(bits);
    bits &= bits - 1;
  }
  return count;
}

inline std::size_t InputStream::take_line_ends(std::size_t size, const char** ends, std::size_t most) {
  if (nul_seen_ || size == 0) return 0;
  const char* const buffer = buffer_.get();
  const std::size_t first = position_;
  const std::size_t filled = filled_;
  std::size_t count = 0;
  for (std::size_t stretch = first / LineFeedSearch::STRETCH * LineFeedSearch::STRETCH;
       stretch < filled && count < most; stretch += LineFeedSearch::STRETCH) {
    std::uint64_t bits = byte_bits(buffer + stretch, '\n');
    if (first > stretch) bits &= ~std::uint64_t{0} << (first - stretch);
    if (filled - stretch < LineFeedSearch::STRETCH) bits &= (std::uint64_t{1} << (filled - stretch)) - 1;
    count += list_line_ends(bits, buffer + stretch + 1, ends + count);
  }
  // Only where the lines listed span more than size - 1 bytes can one of
  // them be longer: it is left, with those after it.
  if (count > 0 && static_cast<std::size_t>(ends[count - 1] - (buffer + first)) > size - 1) {
    const char* line = buffer + first;
    std::size_t fitting = 0;
    while (fitting < count && static_cast<std::size_t>(ends[fitting] - line) <= size - 1) line = ends[fitting++];
    count = fitting;
  }
  if (count > 0) position_ = static_cast<std::size_t>(ends[count - 1] - buffer);
  return count;
}

// Lines taken in batches from where they lie whole in an input stream's
// buffer, for a reader that takes one line at a time (from several inputs
// in turn, or between other work): a line then costs a step through the
// batch instead of a search of its own. The lines stay valid while the
// stream is not read otherwise, which its reader does only once next() has
// come back empty.
class LineBatch {
 public:
  // The next line as read_line(buffer, size) would read it, when it lies
  // whole in the stream's buffer and no NUL has come into it; else empty,
  // with nothing taken (the stream is then read as usual).
  std::string_view next(InputStream& input, std::size_t size) {
    if (next_ == count_) {
      start_ = input.buffered_data();
      count_ = input.take_line_ends(size, ends_, CAPACITY);
      next_ = 0;
      if (count_ == 0) return {};
    }
    const char* end = ends_[next_++];
    std::string_view line(start_, static_cast<std::size_t>(end - start_));
    start_ = end;
    return line;
  }
  // Drops the lines not taken yet, when the stream goes back to its start.
  void clear() { count_ = next_ = 0; }

 private:
  static constexpr std::size_t CAPACITY = 256;

  const char* ends_[CAPACITY + LineFeedSearch::STRETCH];
  const char* start_ = nullptr;  // where the next line begins
  std::size_t count_ = 0;
  std::size_t next_ = 0;
};

class OutputStream {
 public:
  static constexpr std::size_t BLOCK_SIZE = 256 * 1024;
  // A file made empty a moment before by the program itself (a temporary
  // file of its own) is opened with `never`: truncating it would change
  // nothing, and some file systems take a truncated file as one being
  // replaced and write it out to disk as soon as it is closed.
  enum class Truncation { now, when_output_begins, never };

  OutputStream() = default;
  ~OutputStream();
  OutputStream(const OutputStream&) = delete;
  OutputStream& operator=(const OutputStream&) = delete;

  // Creates the file or opens it for writing. With when_output_begins the
  // file's old content stays until begin_output() or the first write.
  bool open(const std::string& path, StreamMode mode, Truncation truncation = Truncation::now);
  // Writes to an existing handle that the stream does not own.
  void attach(platform::Handle handle, StreamMode mode, bool unbuffered = false);
  // Writes out what is buffered and closes; false when a write or the close
  // failed, so a caller that must know can tell a complete file from part of
  // one.
  bool close();
  bool is_open() const { return handle_ != platform::NO_HANDLE; }
  platform::Handle handle() const { return handle_; }

  // Truncates a file opened with when_output_begins, once.
  void begin_output();

  void put(char c) {
    if (filled_ + 2 <= direct_limit_) {
      if (c == '\n') {
        std::memcpy(buffer_.get() + filled_, line_end_bytes_, 2);
        filled_ += line_end_size_;
      } else {
        buffer_[filled_++] = c;
      }
      return;
    }
    put_with_checks(c);
  }
  void write(const char* data, std::size_t size);
  void write(std::string_view text) { write(text.data(), text.size()); }
  // Writes bytes that the caller knows hold no line feed, so that text mode
  // has nothing to convert: they are copied with no scan.
  void write_within_line(const char* data, std::size_t size) { write_span_by<copy_bytes>(data, size); }
  // Writes a line that holds no line feed, then the line end.
  void write_line(const char* data, std::size_t size) { write_line_by<copy_bytes>(data, size); }
  // The same for bytes that lie where the COPY_PADDING bytes from `data` on
  // may be read, whatever the size: a line or part of one in an input
  // stream's buffer, or in a line buffer COPY_PADDING bytes longer than the
  // longest line read into it.
  void write_padded_within_line(const char* data, std::size_t size) { write_span_by<copy_padded>(data, size); }
  void write_padded_line(const char* data, std::size_t size) { write_line_by<copy_padded>(data, size); }

  // Writing straight into the buffer, for loops that make their output a
  // few bytes at a time: room() gives the free rest of the buffer, at least
  // `size` bytes of it (size at most BLOCK_SIZE), written out first when
  // needed; commit() takes the bytes up to `end` in it as written. Text mode
  // converts nothing here: a line ends with line_end().
  struct Room {
    char* begin;
    char* end;
  };
  Room room(std::size_t size);
  void commit(const char* end);
  std::string_view line_end() const { return {line_end_bytes_, line_end_size_}; }
  // Writes a NUL-terminated string up to its NUL.
  void write_c_string(const char* text);
  // Formats like the C library's printf.
  void print(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void vprint(const char* format, va_list arguments);
  void flush();
  // True once a write of this stream has failed (a full disk, the file-size
  // limit, a reader that has gone): what was written is not all there.
  bool failed() const { return failed_; }

 private:
  friend struct StandardStreams;

  // The writes within a line and of a line, through the copy that the
  // caller's bytes allow.
  using Copy = void (*)(char* to, const char* from, std::size_t size);
  template <Copy COPY>
  void write_span_by(const char* data, std::size_t size) {
    if (filled_ + size <= direct_limit_) {
      COPY(buffer_.get() + filled_, data, size);
      filled_ += size;
      return;
    }
    write_unconverted(data, size);
  }
  template <Copy COPY>
  void write_line_by(const char* data, std::size_t size) {
    if (filled_ + size + 2 <= direct_limit_) {
      char* to = buffer_.get() + filled_;
      COPY(to, data, size);
      std::memcpy(to + size, line_end_bytes_, 2);
      filled_ += size + line_end_size_;
      return;
    }
    write_unconverted(data, size);
    put('\n');
  }

  void reset(platform::Handle handle, bool owned, StreamMode mode);
  void update_direct_writing();
  void put_with_checks(char c);
  void flush_buffer();
  void write_raw(const char* data, std::size_t size);
  void write_unconverted(const char* data, std::size_t size);
  void write_out(const char* data, std::size_t size);
  void report_reader_gone();

  platform::Handle handle_ = platform::NO_HANDLE;
  bool owned_ = false;
  bool unbuffered_ = false;
  bool truncate_pending_ = false;
  bool failed_ = false;
  // Standard output: its reader has gone, and the program is yet to hear it.
  bool reader_gone_ = false;
  bool reports_reader_gone_ = false;
  // Standard error: standard output is written out before each write here,
  // so messages come after the output that preceded them.
  OutputStream* written_out_first_ = nullptr;
  StreamMode mode_ = StreamMode::text;
  // BLOCK_SIZE bytes and COPY_PADDING more, which a padded copy may write.
  StreamBuffer buffer_;
  std::size_t filled_ = 0;
  // What the writes within a line may fill the buffer up to without a call:
  // the whole buffer while the stream is open, buffered and has no
  // truncation pending, else nothing, so that every write takes the full
  // path. A line end goes out as its two bytes, of which the length counts:
  // in binary mode the second line feed is written over by what follows.
  std::size_t direct_limit_ = 0;
  char line_end_bytes_[2] = {'\r', '\n'};
  std::size_t line_end_size_ = 2;
};

// The three standard streams, always in text mode. Standard error writes
// through at once, after standard output has been written out. They are
// flushed when the program ends normally or through exit(), after every exit
// handler the program registered.
InputStream& standard_input();
OutputStream& standard_output();
OutputStream& standard_error();

// Opens a file in place of standard input, in text mode, and keeps its name
// for messages. False when it cannot be opened.
bool open_standard_input(const std::string& name);
// What standard input reads, as messages name it: the file opened in its
// place, or "stdin".
const std::string& standard_input_name();

// Reopens standard output on a destination file, refusing the very file
// that standard input reads (opening it would empty the input before a byte
// of it was read). False when refused or when it cannot be opened.
bool open_standard_output_apart_from_input(const std::string& name);
// True when standard output writes into the file that standard input reads,
// where the input has not been read yet: reading on would never end.
bool standard_output_feeds_standard_input();

// What the program does when the reader of its standard output has gone
// (a closed pipe). From then on standard output drops what it is given, and
// the handler is called once, from the write that met the closed pipe. The
// default handler ends the program with status 0: its output is all the
// program was for.
using OutputGoneHandler = void (*)();
void set_output_gone_handler(OutputGoneHandler handler);
// The handler of a program whose work matters beyond its output (a copy, a
// status that tells whether files differ): it goes on to its normal end.
void go_on_without_output();

}  // namespace suite
