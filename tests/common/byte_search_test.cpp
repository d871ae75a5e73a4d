#include "common/byte_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

// Every byte value at every place of a 64-byte stretch, and random mixes:
// the bits are exactly the places of the byte searched for (or of either
// of two).
TEST(ByteSearch, ByteBitsMarkEachPlaceOfTheByte) {
  std::mt19937 random(6464);
  for (int round = 0; round < 2000; ++round) {
    std::string stretch(64, 'x');
    for (char& c : stretch) c = static_cast<char>(random() % (round % 2 == 0 ? 256 : 4) + (round % 2 == 0 ? 0 : 9));
    char searched = round < 256 ? static_cast<char>(round) : stretch[random() % 64];
    if (round < 256) stretch[round % 64] = searched;
    char other = stretch[random() % 64];
    std::uint64_t expected = 0;
    std::uint64_t either = 0;
    for (std::size_t i = 0; i < 64; ++i) {
      if (stretch[i] == searched) expected |= std::uint64_t{1} << i;
      if (stretch[i] == searched || stretch[i] == other) either |= std::uint64_t{1} << i;
    }
    ASSERT_EQ(suite::byte_bits(stretch.data(), searched), expected) << "round " << round;
    ASSERT_EQ(suite::either_byte_bits(stretch.data(), searched, other), either) << "round " << round;
  }
}

// Spans of every length up to 80 at every start of a readable stretch that
// holds exactly the bytes that may be read (so that a read outside it is
// caught under the address checker), with the byte rare, common or absent:
// the first place found is the first place of the byte, or the end.
TEST(ByteSearch, FindByteFindsTheFirstPlaceWithinTheSpan) {
  std::mt19937 random(1616);
  for (int round = 0; round < 20000; ++round) {
    std::size_t readable_size = random() % 96;
    std::vector<char> readable(readable_size);
    unsigned spread = round % 3 == 0 ? 2 : round % 3 == 1 ? 40 : 1000;
    for (char& c : readable) c = random() % spread == 0 ? '\t' : static_cast<char>('a' + random() % 26);
    const char* begin = readable.data();
    const char* end = begin + readable_size;
    const char* from = begin + (readable_size == 0 ? 0 : random() % (readable_size + 1));
    const char* expected = std::find(from, end, '\t');
    ASSERT_EQ(suite::find_byte(from, end, '\t', begin), expected)
        << "round " << round << ", span " << (from - begin) << " to " << readable_size;
  }
}

// Every length up to 100 from and to random places of buffers that hold
// exactly the bytes of the two spans (a read or write outside them is
// caught under the address checker): the target holds the source's bytes
// and nothing around it changed.
TEST(ByteSearch, CopyBytesCopiesExactlyTheSpan) {
  std::mt19937 random(3232);
  for (std::size_t size = 0; size <= 100; ++size) {
    for (int round = 0; round < 20; ++round) {
      std::vector<char> source(size);
      for (char& c : source) c = static_cast<char>(random());
      std::size_t before = random() % 20;
      std::vector<char> target(before + size + random() % 20);
      for (char& c : target) c = '#';
      suite::copy_bytes(target.data() + before, source.data(), size);
      std::vector<char> expected(target.size(), '#');
      std::copy(source.begin(), source.end(), expected.begin() + static_cast<std::ptrdiff_t>(before));
      ASSERT_EQ(target, expected) << "size " << size;
      std::vector<char> exact(size);
      suite::copy_bytes(exact.data(), source.data(), size);
      ASSERT_EQ(exact, source) << "size " << size;
    }
  }
}

// Every length up to 200 from spans padded to exactly COPY_PADDING bytes
// (a read past that is caught under the address checker) into targets with
// exactly that room: the span arrives whole, and nothing before the target
// or past its padding changes.
TEST(ByteSearch, PaddedCopyCopiesTheSpanAndKeepsToItsPadding) {
  std::mt19937 random(6464);
  for (std::size_t size = 0; size <= 200; ++size) {
    for (int round = 0; round < 10; ++round) {
      std::size_t padded = std::max(size, suite::COPY_PADDING);
      std::vector<char> source(padded);
      for (char& c : source) c = static_cast<char>(random());
      std::size_t before = random() % 20;
      std::size_t after = random() % 20;
      std::vector<char> target(before + padded + after, '#');
      suite::copy_padded(target.data() + before, source.data(), size);
      ASSERT_TRUE(std::equal(source.begin(), source.begin() + static_cast<std::ptrdiff_t>(size),
                             target.begin() + static_cast<std::ptrdiff_t>(before)))
          << "size " << size;
      ASSERT_EQ(std::count(target.begin(), target.begin() + static_cast<std::ptrdiff_t>(before), '#'), before);
      ASSERT_EQ(std::count(target.end() - static_cast<std::ptrdiff_t>(after), target.end(), '#'), after);
    }
  }
}
