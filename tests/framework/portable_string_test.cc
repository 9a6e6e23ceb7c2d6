#include "framework/portable_string.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <new>

#include "framework/memory_buffer.h"

namespace Kelvo {
namespace {

// An allocator of its own, to tell which allocator a string's block came from.
class CountingAllocator final : public StandardAllocator<char> {
 public:
  char* allocate(std::uint32_t count) override {
    ++allocations;
    return StandardAllocator<char>::allocate(count);
  }
  void deallocate(char* block) override {
    if (block != nullptr) ++releases;
    StandardAllocator<char>::deallocate(block);
  }
  int allocations = 0;
  int releases = 0;
};

TEST(String, NullAndEmptyAreDistinctStatesThatCompareEqual) {
  const String<char> null(nullptr, StandardAllocator<char>::instance());
  const String<char> empty("", StandardAllocator<char>::instance());
  EXPECT_EQ(null.chars, nullptr);
  EXPECT_EQ(null.length, 0u);
  ASSERT_NE(empty.chars, nullptr);
  EXPECT_EQ(empty.chars[0], '\0');
  EXPECT_EQ(empty.length, 0u);
  EXPECT_TRUE(null.equals(empty));
  EXPECT_TRUE(empty.equals(null));
  EXPECT_TRUE(null.equals(""));
  EXPECT_TRUE(empty.equals(static_cast<const char*>(nullptr)));
  EXPECT_FALSE(null.notEquals(empty));
}

TEST(String, CopyOfNullIsNullWhateverTheSourceLengthSays) {
  String<char> source;
  source.length = 7;  // a stale length on a null string
  const String<char> copy(source);
  EXPECT_EQ(copy.chars, nullptr);
  EXPECT_EQ(copy.length, 0u);
}

TEST(String, CopiesNeverShareOrTakeOverTheSourceAllocator) {
  CountingAllocator mine;
  {
    const String<char> source("abc", &mine);
    const String<char> copy(source);
    EXPECT_EQ(copy.allocator, StandardAllocator<char>::instance());
    EXPECT_NE(copy.chars, source.chars);
    EXPECT_EQ(copy.toStdString(), "abc");
    CountingAllocator other;
    {
      const String<char> chosen(source, &other);
      EXPECT_EQ(chosen.allocator, &other);
      EXPECT_EQ(other.allocations, 1);
    }
    EXPECT_EQ(other.releases, 1);
  }
  EXPECT_EQ(mine.allocations, 1);
  EXPECT_EQ(mine.releases, 1);
}

TEST(String, AssignKeepsTheTargetAllocator) {
  CountingAllocator mine;
  String<char> target("old", &mine);
  target.assign(String<char>::fromView("new value"));
  EXPECT_EQ(target.allocator, &mine);
  EXPECT_EQ(target.toStdString(), "new value");
  EXPECT_EQ(mine.allocations, 2);
  EXPECT_EQ(mine.releases, 1);
  target.assign(String<char>());
  EXPECT_EQ(target.chars, nullptr);
  EXPECT_EQ(target.allocator, &mine);
  EXPECT_EQ(mine.releases, 2);
  target.assign(target);  // assigning itself keeps it
  EXPECT_EQ(target.chars, nullptr);
}

TEST(String, AdoptAndTakeOverMoveABlockInWithoutACopy) {
  CountingAllocator mine;
  {
    String<char> target("old", &mine);
    char* block = mine.allocate(4);
    std::memcpy(block, "new", 4);
    target.adopt(block, 3);
    EXPECT_EQ(target.chars, block);
    EXPECT_EQ(target.length, 3u);
    EXPECT_EQ(mine.releases, 1);  // the old characters

    String<char> taker("other", &mine);
    taker.takeOver(target);
    EXPECT_EQ(taker.chars, block);
    EXPECT_EQ(taker.length, 3u);
    EXPECT_EQ(target.chars, nullptr);
    EXPECT_EQ(target.length, 0u);
    EXPECT_EQ(mine.releases, 2);
    taker.takeOver(taker);  // taking itself over keeps it
    EXPECT_EQ(taker.chars, block);
  }
  EXPECT_EQ(mine.allocations, 3);
  EXPECT_EQ(mine.releases, 3);
}

TEST(String, ZeroInsideKeepsItsLengthButStopsTheTextOperations) {
  const char bytes[] = {'a', '.', 'b', '\0', 'c', '.', 'd'};
  String<char> text(bytes, sizeof bytes, StandardAllocator<char>::instance());
  EXPECT_EQ(text.length, 7u);
  EXPECT_EQ(text.chars[7], '\0');
  EXPECT_EQ(text.toStdString(), "a.b");
  EXPECT_TRUE(text.equals("a.b"));
  EXPECT_EQ(text.findLast("."), 1u);
  String<char> copy(nullptr, StandardAllocator<char>::instance());
  copy.assign(text);
  EXPECT_EQ(copy.length, 7u);
  EXPECT_EQ(copy.chars[4], 'c');
}

TEST(String, GreaterThanOrdersByUnsignedBytesWithPrefixFirst) {
  struct Case {
    const char* a;
    const char* b;
    bool aGreater;
  };
  const Case cases[] = {
      {"text/x-sub", "text/plain", true},
      {"text/plain", "text/x-sub", false},
      {"abc", "ab", true},
      {"ab", "abc", false},
      {"same", "same", false},
      {"\xC3\xA9", "z", true},
      {"", "a", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.a) + " vs " + c.b);
    EXPECT_EQ(String<unsigned char>::fromView(c.a).greaterThan(String<unsigned char>::fromView(c.b)), c.aGreater);
  }
}

TEST(String, FindLastGivesTheLastPositionOrAllOnes) {
  const auto name = String<unsigned char>::fromView("movie.part1.sub");
  EXPECT_EQ(name.findLast("."), 11u);
  EXPECT_EQ(name.findLast("/"), 0xFFFFFFFFu);
  EXPECT_EQ(name.findLast(""), 15u);
  EXPECT_EQ(name.findLast("movie.part1.sub!"), 0xFFFFFFFFu);
  EXPECT_EQ(String<unsigned char>().findLast("."), 0xFFFFFFFFu);
}

TEST(StandardAllocator, InstanceIsOnePerElementType) {
  EXPECT_EQ(StandardAllocator<char>::instance(), StandardAllocator<char>::instance());
  EXPECT_NE(static_cast<void*>(StandardAllocator<char>::instance()),
            static_cast<void*>(StandardAllocator<unsigned char>::instance()));
}

// Big enough that a few of them overflow the size type.
struct Huge {
  char bytes[std::numeric_limits<std::size_t>::max() / 16];
};

TEST(StandardAllocator, RefusesACountWhoseByteSizeOverflows) {
  EXPECT_THROW(StandardAllocator<Huge>::instance()->allocate(17), std::bad_alloc);
}

TEST(MemoryBuffer, ResizeAllocatesKeepsClearsAndFrees) {
  ortl::MemoryBuffer<char> buffer;
  buffer.resize(4, true);
  ASSERT_NE(buffer.storage, nullptr);
  EXPECT_EQ(buffer.storageSize, 4u);
  EXPECT_EQ(std::string(buffer.storage, 4), std::string(4, '\0'));
  // Kept as a number: GCC's -Wuse-after-free cannot see that a same-size
  // resize never frees the block.
  const auto block = reinterpret_cast<std::uintptr_t>(buffer.storage);
  buffer.storage[0] = 'x';
  buffer.resize(4, false);  // same size: same block, contents kept
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(buffer.storage), block);
  EXPECT_EQ(buffer.storage[0], 'x');
  buffer.resize(4, true);  // same size with zeroFill: cleared in place
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(buffer.storage), block);
  EXPECT_EQ(buffer.storage[0], '\0');
  buffer.resize(0, false);
  EXPECT_EQ(buffer.storage, nullptr);
  EXPECT_EQ(buffer.storageSize, 0u);
}

TEST(MemoryBuffer, AbsorbsAFailedAllocationAndStaysEmpty) {
  ortl::MemoryBuffer<Huge> buffer;
  buffer.resize(17, true);  // more bytes than the address space holds
  EXPECT_EQ(buffer.storage, nullptr);
  EXPECT_EQ(buffer.storageSize, 0u);
}

}  // namespace
}  // namespace Kelvo
