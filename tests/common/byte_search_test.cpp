#include "common/byte_search.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

// Every byte value at every place of a 64-byte stretch, and random mixes:
// the bits are exactly the places of the byte searched for.
TEST(ByteSearch, ByteBitsMarkEachPlaceOfTheByte) {
  std::mt19937 random(6464);
  for (int round = 0; round < 2000; ++round) {
    std::string stretch(64, 'x');
    for (char& c : stretch) c = static_cast<char>(random() % (round % 2 == 0 ? 256 : 4) + (round % 2 == 0 ? 0 : 9));
    char searched = round < 256 ? static_cast<char>(round) : stretch[random() % 64];
    if (round < 256) stretch[round % 64] = searched;
    std::uint64_t expected = 0;
    for (std::size_t i = 0; i < 64; ++i) {
      if (stretch[i] == searched) expected |= std::uint64_t{1} << i;
    }
    ASSERT_EQ(suite::byte_bits(stretch.data(), searched), expected) << "round " << round;
  }
}
