// Small text helpers that several programs share. Text is 8-bit bytes in the
// console's code page; these helpers touch only the ASCII letters, whatever
// the locale.
#pragma once

namespace suite {

// 'a' to 'z' become 'A' to 'Z'; every other byte stays as it is.
constexpr char upper_ascii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace suite
