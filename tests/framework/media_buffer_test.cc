#include "framework/media_buffer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "framework/media_buffer_allocator.h"
#include "framework/properties.h"

namespace Kelvo {
namespace {

using namespace std::chrono_literals;

std::uint8_t* block(std::uint32_t size) { return new std::uint8_t[size](); }

// Records the buffers handed back to it, then frees them the real way.
class RecordingAllocator final : public IBufferAllocator {
 public:
  MediaBuffer* acquire(std::uint32_t, std::uint32_t, std::uint32_t) override { return nullptr; }
  void releaseBuffer(MediaBuffer* buffer) override {
    released.push_back(buffer);
    real.releaseBuffer(buffer);
  }
  std::vector<MediaBuffer*> released;
  MediaBufferAllocator real;
};

TEST(MediaChunk, StartsEmptyWithDefaultProperties) {
  MediaBufferAllocator allocator;
  MediaChunk* chunk = allocator.createChunk(block(5), 5);
  EXPECT_EQ(chunk->bufferSize, 5u);
  EXPECT_EQ(chunk->dataLength, 0u);
  EXPECT_EQ(chunk->timestamp, 0u);
  EXPECT_EQ(chunk->duration, 0u);
  EXPECT_EQ(chunk->allocator, &allocator);
  EXPECT_EQ(chunk->imageProperties.width, 0);
  EXPECT_EQ(chunk->imageProperties.factorA, 1);
  EXPECT_EQ(chunk->audioProperties.valueB, 0);
  EXPECT_EQ(allocator.option, 8);
  EXPECT_EQ(allocator.acquire(1, 2, 3), nullptr);
  chunk->dispose();
}

TEST(MediaChunk, DisposeReturnsItToItsOwnAllocator) {
  RecordingAllocator allocator;
  auto* chunk = new MediaChunk(&allocator);
  chunk->setBuffer(block(3), 3);
  chunk->dispose();
  ASSERT_EQ(allocator.released.size(), 1u);
  EXPECT_EQ(allocator.released[0], chunk);
}

TEST(MediaBuffer, PlainDisposeFreesNothing) {
  MediaBuffer buffer;
  std::uint8_t bytes[4] = {1, 2, 3, 4};
  buffer.setBuffer(bytes, 4);
  buffer.dispose();
  EXPECT_EQ(buffer.payload, bytes);
  EXPECT_EQ(buffer.lockData(), bytes);
  buffer.unlockData();
}

TEST(MediaBuffer, LockIsRecursiveAndHoldsOffOtherThreadsUntilFullyReleased) {
  MediaBuffer buffer;
  buffer.lockData();
  buffer.lockData();
  std::atomic<bool> otherGotIt{false};
  std::thread other([&] {
    buffer.lockData();
    otherGotIt = true;
    buffer.unlockData();
  });
  buffer.unlockData();
  std::this_thread::sleep_for(50ms);
  EXPECT_FALSE(otherGotIt);  // one hold is still left
  buffer.unlockData();
  other.join();
  EXPECT_TRUE(otherGotIt);
}

TEST(MediaBufferAllocator, ReleaseWaitsForAReaderBetweenLockAndUnlock) {
  MediaBufferAllocator allocator;
  MediaChunk* chunk = allocator.createChunk(block(8), 8);
  std::uint8_t* data = chunk->lockData();
  std::atomic<bool> released{false};
  std::thread releaser([&] {
    allocator.releaseBuffer(chunk);
    released = true;
  });
  std::this_thread::sleep_for(50ms);
  EXPECT_FALSE(released);
  data[7] = 42;  // still ours: the block was not freed under the reader
  chunk->unlockData();
  releaser.join();
  EXPECT_TRUE(released);
}

TEST(MediaBufferAllocator, FreesAZeroSizedBlockToo) {
  MediaBufferAllocator allocator;
  MediaChunk* chunk = allocator.createChunk(new std::uint8_t[0], 0);
  allocator.releaseBuffer(chunk);  // the leak checker of the sanitizer build sees a loss here
  SUCCEED();
}

TEST(IBufferAllocator, DefaultsRefuseAndStoreTheOption) {
  MediaBufferAllocator allocator;
  EXPECT_FALSE(allocator.accepts(String<unsigned char>::fromView("anything")));
  allocator.setOption(3);
  EXPECT_EQ(allocator.option, 3);
}

TEST(Properties, RectanglesMeasurePixelsAndDistances) {
  const ImageProperties image;
  EXPECT_EQ(image.pixelArea.width(), 1);
  EXPECT_EQ(image.pixelArea.height(), 1);
  EXPECT_EQ(image.area.width(), 0.0);
  EXPECT_EQ(image.area.height(), 0.0);
  EXPECT_EQ(RectInt(10, 0, 19, 0).width(), 10);
  EXPECT_EQ(RectFloat(10.0, 0.0, 19.0, 0.0).width(), 9.0);
  EXPECT_EQ(RectInt(10, 0, 9, 0).width(), 0);
  EXPECT_EQ(RectInt(10, 0, 5, 0).width(), -4);
  EXPECT_EQ(RectFloat(10.0, 0.0, 5.0, 0.0).width(), -5.0);
  EXPECT_EQ(RectInt(0, 0, 0, 0x7FFFFFFF).height(), static_cast<std::int32_t>(0x80000000u));
}

}  // namespace
}  // namespace Kelvo
