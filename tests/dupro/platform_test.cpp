#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>

#include "dupro/platform.h"

namespace {

namespace platform = dupro::platform;

TEST(DuproPlatform, DataIsAllocatedWithinTheBudgetAndItsMemoryUsedAgain) {
  platform::prepare_process();
  char* data = platform::allocate_data(1024);
  ASSERT_NE(data, nullptr);
  char* more = platform::allocate_data(1000);
  ASSERT_NE(more, nullptr);
  EXPECT_GE(more, data + 1024);
  platform::release_data(data, 1024);
  platform::release_data(more, 1000);
  // Everything released: the memory is used again from its start.
  EXPECT_EQ(platform::allocate_data(10), data);
  EXPECT_EQ(platform::allocate_data(std::size_t(1) << 62), nullptr);
}

TEST(DuproPlatform, MomentsBeforeTheWordsBeginAreTheirFirstDay) {
  std::uint16_t early_date = 0, early_time = 0;
  platform::to_date_time(0, early_date, early_time);
  EXPECT_EQ(early_date, 1 << 5 | 1);
  EXPECT_EQ(early_time, 0);
}

}  // namespace
