#include "ordly/sort_methods.h"

#include <cmath>
#include <utility>

#include "ordly/errors.h"
#include "ordly/line_order.h"
#include "ordly/line_store.h"

namespace ordly {

namespace {

// Straight insertion of positions low to high: an item only moves past
// items that are strictly greater, so equal items keep their order.
template <typename Item, typename Order>
void insert_range(Item* items, std::int32_t low, std::int32_t high, Order compare) {
  for (std::int32_t k = low + 1; k <= high; ++k) {
    Item held = items[k];
    std::int32_t j = k - 1;
    while (j >= low && compare(items[j], held) > 0) {
      items[j + 1] = items[j];
      --j;
    }
    items[j + 1] = held;
  }
}

// Takes out the pivot that the seed picks from positions low to high and
// puts the item at low in its place, which leaves a hole at low.
template <typename Item>
Item take_pivot(Item* items, std::int32_t low, std::int32_t high, std::int32_t seed) {
  std::int32_t middle = low + static_cast<std::int32_t>(static_cast<std::int64_t>(high - low + 1) * seed / 7875);
  Item pivot = items[middle];
  items[middle] = items[low];
  return pivot;
}

// Splits positions low to high around a pivot taken from the position the
// seed picks; returns the pivot's final position. A scan down from high
// stops at an item not greater than the pivot and moves it into the hole
// on the left; a scan up from there stops at an item not less than the
// pivot and moves it into the hole the other left; the two take turns
// until they meet, where the pivot goes.
template <typename Item, typename Order>
std::int32_t partition(Item* items, std::int32_t low, std::int32_t high, std::int32_t seed, Order compare) {
  Item pivot = take_pivot(items, low, high, seed);
  std::int32_t i = low;
  std::int32_t j = high;
  for (;;) {
    while (j > i && compare(items[j], pivot) > 0) --j;
    if (j == i) break;
    items[i++] = items[j];
    while (i < j && compare(items[i], pivot) < 0) ++i;
    if (i == j) break;
    items[j--] = items[i];
  }
  items[i] = pivot;
  return i;
}

// The stops of one scan of partition_in_blocks, found a block of positions
// at a time: each comparison adds its position to the list or not without
// a branch, so that the outcome of a comparison, which no branch predictor
// can guess, costs no mispredicted jump.
class ScanStops {
 public:
  static constexpr std::int32_t BLOCK = 32;

  // step is -1 for the scan down, +1 for the scan up.
  ScanStops(std::int32_t first, std::int32_t step) : next_(first), step_(step) {}

  // The scan's next stop short of bound (not at or past it), or bound when
  // there is none. Stops found earlier stay valid: no item between the
  // two holes has been moved.
  template <typename Item, typename IsStop>
  std::int32_t next_before(const Item* items, std::int32_t bound, IsStop is_stop) {
    for (;;) {
      if (taken_ < count_) {
        std::int32_t position = stops_[taken_];
        if ((position - bound) * step_ >= 0) return bound;
        ++taken_;
        return position;
      }
      std::int32_t left = (bound - next_) * step_;
      if (left <= 0) return bound;
      std::int32_t size = left < BLOCK ? left : BLOCK;
      taken_ = count_ = 0;
      for (std::int32_t k = 0; k < size; ++k, next_ += step_) {
        stops_[count_] = next_;
        count_ += is_stop(items[next_]) ? 1 : 0;
      }
    }
  }

 private:
  std::int32_t stops_[BLOCK];
  std::int32_t count_ = 0;
  std::int32_t taken_ = 0;
  std::int32_t next_;
  std::int32_t step_;
};

// The same split as partition, item for item, for orders whose comparison
// is cheap enough that its mispredicted outcomes are most of the cost. The
// scans look at their positions in blocks ahead of the moves; a position
// looked at early holds the item it held at the start, since the moves
// only fill the holes, which lie outside the stretch between them.
template <typename Item, typename Order>
std::int32_t partition_in_blocks(Item* items, std::int32_t low, std::int32_t high, std::int32_t seed,
                                 Order compare) {
  Item pivot = take_pivot(items, low, high, seed);
  auto not_greater = [&](const Item& item) { return compare(item, pivot) <= 0; };
  auto not_less = [&](const Item& item) { return compare(item, pivot) >= 0; };
  ScanStops down(high, -1);
  ScanStops up(low + 1, 1);
  std::int32_t hole = low;
  for (;;) {
    std::int32_t stop = down.next_before(items, hole, not_greater);
    if (stop == hole) break;
    items[hole] = items[stop];
    hole = stop;
    stop = up.next_before(items, hole, not_less);
    if (stop == hole) break;
    items[hole] = items[stop];
    hole = stop;
  }
  items[hole] = pivot;
  return hole;
}

// The first code position from `from` on where two stored lines differ in
// their codes or the first ends; they have the same codes before from.
std::size_t common_codes(const char* first, const char* second, std::size_t from, const unsigned char* table) {
  const unsigned char* a = reinterpret_cast<const unsigned char*>(first) + from;
  const unsigned char* b = reinterpret_cast<const unsigned char*>(second) + from;
  skip_equal_codes(a, b, table);
  return static_cast<std::size_t>(a - reinterpret_cast<const unsigned char*>(first));
}

// A segment of the quicksort lies between the pivots placed on either side
// of it (where it does not reach an end), and every item in it is ordered
// between them, so it has the codes both pivots have in common. Once they
// have four or more codes in common beyond where the keys begin, the
// segment's items are keyed afresh from the first code where the pivots
// differ: keys that the items all share would decide nothing, and each tie
// costs a comparison of the lines. The order gives every comparison of two
// of its items the same outcome as before, so the steps are the same.
constexpr std::size_t REKEY_GAIN = 4;

KeyedCodeOrder rekeyed_segment(KeyedLine* items, std::int32_t low, std::int32_t high, std::int32_t count,
                               KeyedCodeOrder order) {
  if (high - low < 1 || low == 0 || high == count - 1) return order;
  std::size_t common = common_codes(items[low - 1].line, items[high + 1].line, order.key_offset, order.table);
  if (common < order.key_offset + REKEY_GAIN) return order;
  for (std::int32_t i = low; i <= high; ++i) {
    items[i].key = code_prefix(items[i].line + common, PADDED_LINE, order.table);
  }
  order.key_offset = common;
  return order;
}

template <typename Item, typename Order>
void sort_quicksort(Item* items, std::int32_t count, Order compare) {
  static std::int32_t stack[QUICKSORT_STACK_SIZE];
  // Where the keys of each waiting segment begin (keyed items only). The
  // larger side waits and each segment taken on is under half the one it
  // came from, so no more segments wait than the count has bits.
  std::size_t key_offsets[32];
  std::int32_t fill = 0;
  std::int32_t low = 0;
  std::int32_t high = count - 1;
  std::int32_t seed = 0;
  for (;;) {
    if constexpr (Order::CODES_ALONE) compare = rekeyed_segment(items, low, high, count, compare);
    if (high - low < 7) {
      insert_range(items, low, high, compare);
      if (fill == 0) return;
      high = stack[--fill];
      low = stack[--fill];
      if constexpr (Order::CODES_ALONE) compare.key_offset = key_offsets[fill / 2];
      continue;
    }
    seed = next_pivot_seed(seed);
    std::int32_t pivot = 0;
    if constexpr (Order::CODES_ALONE) {
      pivot = partition_in_blocks(items, low, high, seed, compare);
    } else {
      pivot = partition(items, low, high, seed, compare);
    }
    if (fill + 2 > QUICKSORT_STACK_SIZE) error_exit(ErrorCode::STACK_OVERFLOW);
    // The larger side waits on the stack, so the stack stays shallow.
    if constexpr (Order::CODES_ALONE) key_offsets[fill / 2] = compare.key_offset;
    if (high - pivot >= pivot - low) {
      stack[fill++] = pivot + 1;
      stack[fill++] = high;
      high = pivot - 1;
    } else {
      stack[fill++] = low;
      stack[fill++] = pivot - 1;
      low = pivot + 1;
    }
  }
}

template <typename Item, typename Order>
void sort_heapsort(Item* items, std::int32_t count, Order compare) {
  if (count < 2) return;
  std::int32_t left = count / 2;
  std::int32_t right = count - 1;
  for (;;) {
    Item held;
    if (left > 0) {
      held = items[--left];
    } else {
      held = items[right];
      items[right] = items[0];
      if (--right == 0) {
        items[0] = held;
        return;
      }
    }
    std::int32_t i = left;
    std::int32_t child = 2 * left + 1;
    while (child <= right) {
      if (child < right && compare(items[child], items[child + 1]) < 0) ++child;
      if (compare(held, items[child]) >= 0) break;
      items[i] = items[child];
      i = child;
      child = 2 * child + 1;
    }
    items[i] = held;
  }
}

template <typename Item, typename Order>
void sort_shellsort(Item* items, std::int32_t count, Order compare) {
  std::int32_t passes = shell_pass_count(count);
  std::int32_t gap = count;
  for (std::int32_t pass = 0; pass < passes; ++pass) {
    gap /= 2;
    for (std::int32_t k = gap; k < count; ++k) {
      Item held = items[k];
      std::int32_t j = k - gap;
      while (j >= 0 && compare(items[j], held) > 0) {
        items[j + gap] = items[j];
        j -= gap;
      }
      items[j + gap] = held;
    }
  }
}

template <typename Item, typename Order>
void sort_by_insertion(Item* items, std::int32_t count, Order compare) {
  insert_range(items, 0, count - 1, compare);
}

template <typename Item, typename Order>
void sort_combsort(Item* items, std::int32_t count, Order compare) {
  std::int32_t gap = count;
  bool swapped;
  do {
    gap = next_comb_gap(gap);
    swapped = false;
    for (std::int32_t k = 0; k < count - gap; ++k) {
      if (compare(items[k], items[k + gap]) > 0) {
        std::swap(items[k], items[k + gap]);
        swapped = true;
      }
    }
  } while (swapped || gap > 1);
}

}  // namespace

std::int32_t next_pivot_seed(std::int32_t seed) { return (seed * 211 + 1663) % 7875; }

void quicksort(char** items, std::int32_t count, CompareFunction compare) {
  sort_quicksort(items, count, FunctionOrder{compare});
}

void heapsort(char** items, std::int32_t count, CompareFunction compare) {
  sort_heapsort(items, count, FunctionOrder{compare});
}

std::int32_t shell_pass_count(std::int32_t count) {
  if (count <= 1) return 0;
  return static_cast<std::int32_t>(std::log(static_cast<double>(count)) * 1.442695022 + 0.00001);
}

void shellsort(char** items, std::int32_t count, CompareFunction compare) {
  sort_shellsort(items, count, FunctionOrder{compare});
}

void insertion_sort(char** items, std::int32_t count, CompareFunction compare) {
  sort_by_insertion(items, count, FunctionOrder{compare});
}

// The gap times the double nearest to 1 / 1.3, rounded down exactly: that
// factor lies just below 10 / 13, so a multiple of 13 gives one less than
// gap * 10 / 13 (26 gives 19).
std::int32_t next_comb_gap(std::int32_t gap) {
  std::int64_t tenfold = static_cast<std::int64_t>(gap) * 10;
  gap = static_cast<std::int32_t>(tenfold % 13 == 0 && tenfold > 0 ? tenfold / 13 - 1 : tenfold / 13);
  if (gap == 0) return 1;
  if (gap == 9 || gap == 10) return 11;
  return gap;
}

void combsort(char** items, std::int32_t count, CompareFunction compare) {
  sort_combsort(items, count, FunctionOrder{compare});
}

namespace {

template <typename Item, typename Order>
void sort_with_method(Item* items, std::int32_t count, Order compare) {
  switch (settings.sort_method) {
    case SortMethod::QUICKSORT: sort_quicksort(items, count, compare); break;
    case SortMethod::HEAPSORT: sort_heapsort(items, count, compare); break;
    case SortMethod::SHELLSORT: sort_shellsort(items, count, compare); break;
    case SortMethod::INSERTION_SORT: sort_by_insertion(items, count, compare); break;
    case SortMethod::COMBSORT: sort_combsort(items, count, compare); break;
  }
}

// Sorts lines under the character stage alone with their first codes kept
// beside the pointers, so that most comparisons need not reach the lines.
// The method takes the same steps as on the bare pointers.
void sort_keyed(char** items, std::int32_t count) {
  static KeyedLine keyed[MAX_STORED_LINES];
  const unsigned char* table = settings.active_table;
  for (std::int32_t i = 0; i < count; ++i) keyed[i] = {code_prefix(items[i], PADDED_LINE, table), items[i]};
  sort_with_method(keyed, count, KeyedCodeOrder{table, settings.reverse_order});
  for (std::int32_t i = 0; i < count; ++i) items[i] = keyed[i].line;
}

}  // namespace

void sort_lines(char** items, std::int32_t count) {
  if (plain_codes_apply() && count <= MAX_STORED_LINES) {
    sort_keyed(items, count);
  } else {
    sort_with_method(items, count, FunctionOrder{settings.active_compare});
  }
}

}  // namespace ordly
