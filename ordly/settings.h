// Ordly's process-wide settings, filled from the command line before any
// input line is read and fixed afterwards.
#pragma once

#include <cstdint>

namespace ordly {

enum class SortMethod { QUICKSORT = 0, HEAPSORT = 1, SHELLSORT = 2, INSERTION_SORT = 3, COMBSORT = 4 };

// Orders two stored lines: negative when the first goes before the second,
// 0 when they are equal in this order, positive when it goes after.
using CompareFunction = int (*)(const char* first, const char* second);

constexpr std::uint32_t DEFAULT_MAX_LINE = 10242;

struct Settings {
  Settings();

  SortMethod sort_method = SortMethod::QUICKSORT;
  bool pure_order = false;
  bool skip_blanks = false;
  bool dictionary_order = false;
  bool float_key = false;
  bool integer_key = false;
  bool reverse_order = false;
  std::int32_t column_offset = 0;
  unsigned char active_table[256];
  CompareFunction active_compare;
  bool merge_only = false;
  bool debug_info = false;
  bool append_ctrl_z = false;
  std::uint32_t max_line = DEFAULT_MAX_LINE;
};

extern Settings settings;

}  // namespace ordly
