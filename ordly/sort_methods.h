// The five in-memory sort methods. They move line pointers only and order
// them through the given comparison, so the order of lines that compare
// equal is exactly the one each method's steps produce.
#pragma once

#include <cstdint>

#include "ordly/settings.h"

namespace ordly {

// Entries of the quicksort's segment stack; each pending segment takes two.
constexpr std::int32_t QUICKSORT_STACK_SIZE = 51200;

// Sorts the first count pointers with the method and comparison of the
// current settings.
void sort_lines(char** items, std::int32_t count);

void quicksort(char** items, std::int32_t count, CompareFunction compare);
void heapsort(char** items, std::int32_t count, CompareFunction compare);
void shellsort(char** items, std::int32_t count, CompareFunction compare);
void insertion_sort(char** items, std::int32_t count, CompareFunction compare);
void combsort(char** items, std::int32_t count, CompareFunction compare);

// The quicksort's pivot generator: 0, 1663, 6056, 3729, ...
std::int32_t next_pivot_seed(std::int32_t seed);
// The number of halving passes of the Shell method for count items.
std::int32_t shell_pass_count(std::int32_t count);
// The next gap of the comb method (shrink factor 1.3, with the gap 11 rule).
std::int32_t next_comb_gap(std::int32_t gap);

}  // namespace ordly
