#include "paste/paste.h"

namespace paste {

namespace {

int digit_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

// The byte of a one-letter escape; -1 when the letter is not one.
int letter_escape(char letter) {
  switch (letter) {
    case 'a': return 7;
    case 'b': return 8;
    case 'e': return 27;
    case 'f': return 12;
    case 'n': return 10;
    case 'r': return 13;
    case 't': return 9;
    case 'v': return 11;
    case 'z': return 0;
    default: return -1;
  }
}

}  // namespace

unsigned char read_escape_number(const char* text, const char* end, int base, int most, const char*& after) {
  unsigned char value = 0;
  int taken = 0;
  while (taken < most && text < end && digit_value(*text) < base) {
    value = static_cast<unsigned char>(value * base + digit_value(*text));
    ++text;
    ++taken;
  }
  after = text;
  return value;
}

// A backslash before any other character stands for that character (so a
// doubled backslash gives one); a backslash at the very end stays as it is.
void decode_escapes(std::string& text) {
  const char* in = text.data();
  const char* const end = in + text.size();
  std::size_t out = 0;
  while (in < end) {
    char c = *in++;
    if (c == '\\' && in < end) {
      char next = *in;
      int letter = letter_escape(next);
      if (letter >= 0) {
        c = static_cast<char>(letter);
        ++in;
      } else if (next >= '0' && next <= '9') {
        c = static_cast<char>(read_escape_number(in, end, 10, 3, in));
      } else if (next == 'o') {
        c = static_cast<char>(read_escape_number(in + 1, end, 8, 3, in));
      } else if (next == 'x') {
        c = static_cast<char>(read_escape_number(in + 1, end, 16, 2, in));
      } else {
        c = next;
        ++in;
      }
    }
    if (c == '\0') break;
    text[out++] = c;
  }
  text.resize(out);
}

}  // namespace paste
