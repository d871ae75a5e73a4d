#include "tail/windows.h"

#include <cstring>
#include <iterator>
#include <string_view>

namespace tail {

void LastLines::add_current_line() {
  if (current_.empty() || current_[0] == '\0') return;
  if (held_ < limit_) {
    lines_.push_front(std::move(current_));
    current_ = std::string();
    ++held_;
    return;
  }
  // The window is full: the oldest node moves to the head and takes the new
  // text, and the oldest text is reused for the next line.
  lines_.splice(lines_.begin(), lines_, std::prev(lines_.end()));
  lines_.front().swap(current_);
}

const char* LastLines::first_line_to_keep(const char* begin, const char* end) const {
  if (limit_ > static_cast<std::size_t>(end - begin)) return begin;
  std::string_view text(begin, static_cast<std::size_t>(end - begin));
  std::uint32_t counted = 0;
  std::size_t line_end = text.size();  // just after a line feed
  while (line_end > 0) {
    std::size_t previous = line_end >= 2 ? text.rfind('\n', line_end - 2) : std::string_view::npos;
    std::size_t start = previous == std::string_view::npos ? 0 : previous + 1;
    if (text[start] != '\0' && ++counted == limit_) return begin + start;
    line_end = start;
  }
  return begin;
}

void LastLines::append_to_current(const char* data, std::size_t size) {
  if (current_ends_at_nul_) return;
  const void* nul = std::memchr(data, '\0', size);
  if (nul != nullptr) {
    size = static_cast<std::size_t>(static_cast<const char*>(nul) - data) + 1;
    current_ends_at_nul_ = true;
  }
  current_.append(data, size);
}

void LastLines::start_new_line() {
  current_.clear();
  current_ends_at_nul_ = false;
}

void LastLines::add_text(const char* data, std::size_t size) {
  const char* end = data + size;
  const char* newline = static_cast<const char*>(std::memchr(data, '\n', size));
  if (newline == nullptr) {
    append_to_current(data, size);
    return;
  }
  append_to_current(data, static_cast<std::size_t>(newline + 1 - data));
  add_current_line();
  start_new_line();
  const char* rest = newline + 1;
  std::size_t last = std::string_view(rest, static_cast<std::size_t>(end - rest)).rfind('\n');
  if (last != std::string_view::npos) {
    const char* complete_end = rest + last + 1;
    for (const char* line = first_line_to_keep(rest, complete_end); line < complete_end;) {
      const char* line_end = static_cast<const char*>(std::memchr(line, '\n', static_cast<std::size_t>(complete_end - line))) + 1;
      current_.assign(line, static_cast<std::size_t>(line_end - line));
      add_current_line();
      line = line_end;
    }
    start_new_line();
    rest = complete_end;
  }
  append_to_current(rest, static_cast<std::size_t>(end - rest));
}

void LastLines::finish() {
  add_current_line();
  start_new_line();
}

void LastLines::write_to(suite::OutputStream& out) const {
  for (auto line = lines_.rbegin(); line != lines_.rend(); ++line) {
    const void* nul = std::memchr(line->data(), '\0', line->size());
    std::size_t length = nul == nullptr ? line->size() : static_cast<std::size_t>(static_cast<const char*>(nul) - line->data());
    out.write(line->data(), length);
  }
}

ByteRing::ByteRing(std::size_t size) : bytes_(std::make_unique_for_overwrite<char[]>(size)), size_(size) {}

void ByteRing::add(const char* data, std::size_t size) {
  if (size > size_) {
    // Only the last size_ bytes can stay; the ones before them pass through
    // the ring without being looked at again.
    std::size_t skipped = size - size_;
    position_ = (position_ + skipped) % size_;
    wrapped_ = true;
    data += skipped;
    size = size_;
  }
  while (size > 0) {
    std::size_t take = size_ - position_ < size ? size_ - position_ : size;
    std::memcpy(bytes_.get() + position_, data, take);
    position_ += take;
    data += take;
    size -= take;
    if (position_ == size_) {
      position_ = 0;
      wrapped_ = true;
    }
  }
}

void ByteRing::write_to(suite::OutputStream& out) const {
  if (wrapped_) out.write(bytes_.get() + position_, size_ - position_);
  out.write(bytes_.get(), position_);
}

}  // namespace tail
