// Ordly's order under random settings: both comparisons are reflexive and
// antisymmetric in sign; the packed first codes (of the line's own bytes or
// of its padded block) and the byte-skipping loop agree with the comparison
// routine and with a byte-by-byte reading of the table, and so does the
// keyed order of any other settings; every sort method returns a
// permutation of its lines that is sorted whenever the order is consistent
// (transitive) on them; and the keyed sort leaves each line where the
// method with the comparison routine does.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fuzz/support.h"
#include "ordly/collation.h"
#include "ordly/line_order.h"
#include "ordly/line_store.h"
#include "ordly/settings.h"
#include "ordly/sort_methods.h"

namespace {

using ordly::settings;

int sign(int value) { return (value > 0) - (value < 0); }

void choose_settings(FuzzedDataProvider& choices) {
  settings = ordly::Settings{};
  const ordly::CollationTable* tables[] = {&ordly::oem_table, &ordly::ansi_table, &ordly::identity_table};
  const ordly::CollationTable& table = *tables[choices.ConsumeIntegralInRange(0, 2)];
  std::copy(table.begin(), table.end(), settings.active_table);
  settings.active_compare = choices.ConsumeBool() ? ordly::compare_plain : ordly::compare_spanish;
  // Most runs take the plain character stage alone, which has fast paths.
  if (choices.ConsumeBool()) {
    settings.skip_blanks = choices.ConsumeBool();
    settings.dictionary_order = choices.ConsumeBool();
    settings.float_key = choices.ConsumeBool();
    settings.integer_key = choices.ConsumeBool();
    settings.column_offset = choices.ConsumeIntegralInRange(0, 6);
  }
  settings.reverse_order = choices.ConsumeBool();
  settings.sort_method = static_cast<ordly::SortMethod>(choices.ConsumeIntegralInRange(0, 4));
}

// Stored lines as the line store makes them: text without NUL, a line
// feed, the NUL and the padding.
std::vector<char*> make_lines(FuzzedDataProvider& choices) {
  std::vector<char*> lines;
  std::size_t count = choices.ConsumeIntegralInRange<std::size_t>(0, 24);
  for (std::size_t i = 0; i < count && choices.remaining_bytes() > 0; ++i) {
    std::string text = choices.ConsumeRandomLengthString(40);
    text = text.substr(0, text.find('\0'));
    if (!text.empty() && text.back() == '\n') text.pop_back();
    text = text.substr(0, text.find('\n'));
    lines.push_back(ordly::new_stored_line(text.data(), text.size(), true));
    fuzz::check(lines.back() != nullptr, "a stored line");
  }
  return lines;
}

// The character stage read one byte at a time.
int byte_by_byte(const char* first, const char* second) {
  const unsigned char* a = reinterpret_cast<const unsigned char*>(first);
  const unsigned char* b = reinterpret_cast<const unsigned char*>(second);
  for (std::size_t i = 0;; ++i) {
    int ca = settings.active_table[a[i]];
    int cb = settings.active_table[b[i]];
    if (ca != cb) return settings.reverse_order ? cb - ca : ca - cb;
    if (a[i] == 0) return 0;
  }
}

void check_comparisons(const std::vector<char*>& lines) {
  const ordly::CompareFunction compare = settings.active_compare;
  const bool plain = ordly::plain_codes_apply();
  const ordly::KeyedCodeOrder keyed_order{settings.active_table, settings.reverse_order};
  const ordly::KeyedFunctionOrder function_order{compare};
  for (char* a : lines) {
    fuzz::check(compare(a, a) == 0, "a line equals itself");
    std::size_t length = ordly::stored_length(a);
    if (plain) {
      fuzz::check(keyed_order.key_of(a, length) == ordly::code_prefix(a, ordly::PADDED_LINE, settings.active_table),
                  "the packed codes of the padded block are those of the line");
    }
    for (char* b : lines) {
      int result = sign(compare(a, b));
      fuzz::check(result == -sign(compare(b, a)), "antisymmetric in sign");
      ordly::KeyedLine fa{function_order.key_of(a, length), a};
      ordly::KeyedLine fb{function_order.key_of(b, ordly::stored_length(b)), b};
      fuzz::check(result == sign(function_order(fa, fb)), "the keyed order of the comparison routine agrees");
      if (!plain) continue;
      fuzz::check(result == sign(byte_by_byte(a, b)), "the comparison reads the table byte by byte");
      ordly::KeyedLine ka{keyed_order.key_of(a, length), a};
      ordly::KeyedLine kb{keyed_order.key_of(b, ordly::stored_length(b)), b};
      fuzz::check(result == sign(keyed_order(ka, kb)), "the packed first codes agree");
    }
  }
}

bool order_is_consistent(const std::vector<char*>& lines) {
  const ordly::CompareFunction compare = settings.active_compare;
  for (char* a : lines) {
    for (char* b : lines) {
      if (compare(a, b) > 0) continue;
      for (char* c : lines) {
        if (compare(b, c) <= 0 && compare(a, c) > 0) return false;
      }
    }
  }
  return true;
}

using SortFunction = void (*)(char**, std::int32_t, ordly::CompareFunction);

void check_sorted(std::vector<char*> items, const std::vector<char*>& lines, bool consistent, const char* what) {
  std::vector<char*> expected = lines;
  std::sort(expected.begin(), expected.end());
  std::vector<char*> got = items;
  std::sort(got.begin(), got.end());
  fuzz::check(got == expected, what);
  if (!consistent) return;
  for (std::size_t i = 1; i < items.size(); ++i) {
    fuzz::check(settings.active_compare(items[i - 1], items[i]) <= 0, what);
  }
}

void check_sorts(const std::vector<char*>& lines) {
  const bool consistent = order_is_consistent(lines);
  const SortFunction methods[] = {ordly::quicksort, ordly::heapsort, ordly::shellsort, ordly::insertion_sort,
                                  ordly::combsort};
  const std::int32_t count = static_cast<std::int32_t>(lines.size());
  for (SortFunction method : methods) {
    std::vector<char*> items = lines;
    method(items.data(), count, settings.active_compare);
    check_sorted(items, lines, consistent, "a sort method sorts a permutation of its lines");
  }
  std::vector<char*> items = lines;
  ordly::sort_lines(items.data(), count);
  check_sorted(items, lines, consistent, "sort_lines sorts a permutation of its lines");
  // The keyed sort takes the steps of the method on the bare pointers.
  std::vector<char*> plain = lines;
  methods[static_cast<int>(settings.sort_method)](plain.data(), count, settings.active_compare);
  fuzz::check(items == plain, "sort_lines leaves the lines where the method with the comparison routine does");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider choices(data, size);
  choose_settings(choices);
  std::vector<char*> lines = make_lines(choices);
  check_comparisons(lines);
  check_sorts(lines);
  ordly::free_stored_lines();
  return 0;
}
