#include "ordly/collation.h"

#include <cstdlib>

#include "common/numbers.h"
#include "ordly/line_order.h"
#include "ordly/settings.h"

namespace ordly {

namespace {

using Byte = unsigned char;

// Letter codes of 'a' to 'z': the plain letters leave room for ch, ll, ñ
// and ß between them.
constexpr Byte LETTER_CODES[26] = {0x41, 0x42, 0x43, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4A,
                                   0x4B, 0x4C, 0x4D, 0x4F, 0x50, 0x52, 0x53, 0x54, 0x55,
                                   0x56, 0x58, 0x59, 0x5A, 0x5B, 0x5C, 0x5D, 0x5E};
constexpr Byte ENYE_CODE = 0x51;
constexpr Byte SHARP_S_CODE = 0x57;

constexpr Byte letter(char c) { return LETTER_CODES[c - 'a']; }

// Bytes 0x00 to 0x7F, the same in both built-in tables; every byte from
// 0x80 on starts as a space.
constexpr CollationTable make_ascii_part() {
  CollationTable table{};
  for (int b = 0; b < 256; ++b) {
    if (b <= 0x04 || (b >= '0' && b <= '9')) {
      table[b] = static_cast<Byte>(b);
    } else if (b >= 'A' && b <= 'Z') {
      table[b] = LETTER_CODES[b - 'A'];
    } else if (b >= 'a' && b <= 'z') {
      table[b] = LETTER_CODES[b - 'a'];
    } else {
      table[b] = SPACE_CODE;
    }
  }
  return table;
}

constexpr CollationTable make_oem_table() {
  CollationTable table = make_ascii_part();
  // Bytes 0x80 to 0x9A, then 0xA0 to 0xA3 (0xA4 and 0xA5 are ñ and Ñ).
  const Byte bytes[] = {0x80, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x8A,
                        0x8B, 0x8C, 0x8D, 0x8E, 0x8F, 0x90, 0x91, 0x92, 0x93, 0x94, 0x95,
                        0x96, 0x97, 0x98, 0x99, 0x9A, 0xA0, 0xA1, 0xA2, 0xA3};
  const char codes[] = "cueaaaaceeeiiiaaeaaooouuyouaiou";
  for (unsigned i = 0; i < sizeof bytes; ++i) table[bytes[i]] = letter(codes[i]);
  table[0xA4] = ENYE_CODE;
  table[0xA5] = ENYE_CODE;
  return table;
}

constexpr CollationTable make_ansi_table() {
  CollationTable table = make_ascii_part();
  // Bytes 0xC0 to 0xDF; each byte from 0xE0 on is the byte 0x20 below it,
  // except 0xFF, which stays a space.
  const char letters[] = "aaaaaaaceeeeiiiidnooooo ouuuuy  ";
  for (int i = 0; i < 32; ++i) {
    Byte code = letters[i] == ' ' ? SPACE_CODE : letter(letters[i]);
    if (0xC0 + i == 0xD1) code = ENYE_CODE;
    if (0xC0 + i == 0xDF) code = SHARP_S_CODE;
    table[0xC0 + i] = code;
    if (0xE0 + i != 0xFF) table[0xE0 + i] = code;
  }
  return table;
}

constexpr CollationTable make_identity_table() {
  CollationTable table{};
  for (int b = 0; b < 256; ++b) table[b] = static_cast<Byte>(b);
  return table;
}

const Byte* skip_column(const Byte* position, std::int32_t offset) {
  for (std::int32_t i = 0; i < offset && *position != 0; ++i) ++position;
  return position;
}

const Byte* skip_space_codes(const Byte* position, const Byte* table) {
  while (table[*position] == SPACE_CODE) ++position;
  return position;
}

int signed_order(bool first_is_smaller) {
  int result = first_is_smaller ? -1 : 1;
  return settings.reverse_order ? -result : result;
}

int compare_integer_keys(const Byte*& a, const Byte*& b) {
  suite::ParsedInteger first = suite::parse_integer(reinterpret_cast<const char*>(a), 10);
  suite::ParsedInteger second = suite::parse_integer(reinterpret_cast<const char*>(b), 10);
  a = reinterpret_cast<const Byte*>(first.end);
  b = reinterpret_cast<const Byte*>(second.end);
  if (first.value == second.value) return 0;
  return signed_order(first.value < second.value);
}

double read_float(const Byte*& position) {
  char* end = nullptr;
  double value = std::strtod(reinterpret_cast<const char*>(position), &end);
  position = reinterpret_cast<const Byte*>(end);
  return value;
}

int compare_float_keys(const Byte*& a, const Byte*& b) {
  double first = read_float(a);
  double second = read_float(b);
  if (first < second) return signed_order(true);
  if (first > second) return signed_order(false);
  return 0;
}

// The stages before the character comparison: starting column, leading
// blanks, integer key and floating key. Returns a decided order, or 0 with
// both positions left where the character comparison starts.
int compare_key_stages(const Byte*& a, const Byte*& b) {
  const Settings& s = settings;
  if (s.column_offset > 0) {
    a = skip_column(a, s.column_offset);
    b = skip_column(b, s.column_offset);
  }
  if (s.skip_blanks) {
    a = skip_space_codes(a, s.active_table);
    b = skip_space_codes(b, s.active_table);
  }
  if (s.integer_key) {
    if (int result = compare_integer_keys(a, b)) return result;
  }
  if (s.float_key) {
    if (int result = compare_float_keys(a, b)) return result;
  }
  return 0;
}

bool has_key_stages() {
  const Settings& s = settings;
  return s.column_offset > 0 || s.skip_blanks || s.integer_key || s.float_key;
}

int code_difference(int a, int b) { return settings.reverse_order ? b - a : a - b; }

int compare_codes(const Byte* a, const Byte* b) {
  const Byte* table = settings.active_table;
  if (!settings.dictionary_order) return compare_codes_from(a, b, table, settings.reverse_order);
  for (;;) {
    int ca = table[*a];
    int cb = table[*b];
    if (ca != cb) return code_difference(ca, cb);
    if (*a == 0) return 0;
    a = skip_space_codes(a + 1, table);
    b = skip_space_codes(b + 1, table);
  }
}

int compare_spanish_codes(const Byte* a, const Byte* b) {
  const Byte* table = settings.active_table;
  for (;;) {
    int ca = next_code(a);
    int cb = next_code(b);
    if (ca != cb) return code_difference(ca, cb);
    if (*a == 0) return 0;
    ++a;
    ++b;
    if (settings.dictionary_order) {
      a = skip_space_codes(a, table);
      b = skip_space_codes(b, table);
    }
  }
}

// The key stages, then the character stage given.
template <typename CodeStage>
int compare_lines(const char* first, const char* second, CodeStage code_stage) {
  const Byte* a = reinterpret_cast<const Byte*>(first);
  const Byte* b = reinterpret_cast<const Byte*>(second);
  if (has_key_stages()) {
    if (int result = compare_key_stages(a, b)) return result;
  }
  return code_stage(a, b);
}

}  // namespace

const CollationTable oem_table = make_oem_table();
const CollationTable ansi_table = make_ansi_table();
const CollationTable identity_table = make_identity_table();

unsigned char next_code(const unsigned char*& position) {
  const Byte* table = settings.active_table;
  Byte code = table[*position];
  if (code == letter('c') && table[position[1]] == letter('h')) {
    ++position;
    return CH_CODE;
  }
  if (code == letter('l') && table[position[1]] == letter('l')) {
    ++position;
    return LL_CODE;
  }
  return code;
}

bool plain_codes_apply() {
  return settings.active_compare == compare_plain && !has_key_stages() && !settings.dictionary_order;
}

int compare_plain(const char* first, const char* second) { return compare_lines(first, second, compare_codes); }

int compare_spanish(const char* first, const char* second) {
  return compare_lines(first, second, compare_spanish_codes);
}

}  // namespace ordly
