// The text of one line: how it is shown, how it is compared, and the key
// that stands for it in the line tables.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "difra/settings.h"

namespace difra {

// Lines are read into buffers of this size, so a line is at most
// LINE_BUFFER_SIZE - 1 characters; a longer physical line is read as several.
constexpr std::size_t LINE_BUFFER_SIZE = 102400;
// A tab-expanded line: every character of a line can become at most 8.
constexpr std::size_t EXPANDED_BUFFER_SIZE = 8 * LINE_BUFFER_SIZE;

constexpr int TAB_WIDTH = 8;

// Copies the line to `out` with each tab replaced by blanks up to the next
// multiple of 8 (at least one blank), then a NUL. Returns the length.
std::size_t expand_tab_characters(std::string_view line, char* out);

// Copies the line to `out` without its blanks and tabs. Returns the length.
std::size_t remove_blanks_and_tabs(std::string_view line, char* out);

// Writes the text to `out` with 'a'-'z' turned into 'A'-'Z' and nothing
// else changed; `out` may be where the text is.
void fold_to_upper_case(std::string_view text, char* out);

// The length of the line without its newline and the blanks (not tabs)
// before it.
std::size_t length_without_trailing_blanks(std::string_view line);

// The text a line is shown with: the line's text (as read, up to its first
// NUL, newline kept), tab-expanded under /T into `expanded`. Inline, with
// the line itself as the usual answer: every line of both files is shown
// or compared through it.
inline std::string_view display_text(std::string_view line, char* expanded) {
  if (settings.expand_tabs) return {expanded, expand_tab_characters(line, expanded)};
  return line;
}

// The text a line is compared by, made from its display text under /S, /C
// and /B; `work` (EXPANDED_BUFFER_SIZE bytes) receives it when it must be
// changed.
std::string_view changed_compared_text(std::string_view display, char* work);
inline std::string_view compared_text(std::string_view display, char* work) {
  if (!settings.squeeze_blanks && !settings.fold_case && !settings.trim_trailing_blanks) return display;
  return changed_compared_text(display, work);
}

// Rotate-xor hash: for each byte, rotate left by one bit, then xor the byte
// in. A hash of 0 becomes 1. Reads up to 63 bytes past the end of the
// text, which must be readable (what they hold does not matter).
std::uint32_t line_hash(std::string_view text);

// The key of a hash: the hash when it is negative as a signed number, else
// its negation. A key is always negative.
inline std::int32_t line_key(std::uint32_t hash) {
  auto value = static_cast<std::int32_t>(hash);
  return value < 0 ? value : -value;
}

// The occurrence bucket of a key: the low 15 bits of its absolute value.
constexpr int BUCKET_COUNT = 32768;
inline int key_bucket(std::int32_t key) {
  return static_cast<int>((0u - static_cast<std::uint32_t>(key)) & (BUCKET_COUNT - 1));
}

}  // namespace difra
