// Media buffers and chunks: lockable byte blocks that carry subtitle entries to
// the host. A chunk is made by an IBufferAllocator and ends only through its
// dispose(), which hands it back to that allocator; it has one owner at a time.
// Any thread may lock, read and dispose of a chunk; the owner fills it before
// sharing it. The host calls these operations by position: keep their order.
#pragma once

#include <cstdint>
#include <mutex>

#include "framework/portable_string.h"
#include "framework/properties.h"

namespace Kelvo {

class MediaBuffer;

// Makes and frees media buffers for one module.
class IBufferAllocator {
 public:
  IBufferAllocator() = default;
  IBufferAllocator(const IBufferAllocator&) = delete;
  IBufferAllocator& operator=(const IBufferAllocator&) = delete;
  virtual ~IBufferAllocator();
  // Answers false; releases its by-value argument.
  virtual bool accepts(String<unsigned char> value);
  // Stores `option`.
  virtual void setOption(std::int32_t value);
  virtual MediaBuffer* acquire(std::uint32_t a, std::uint32_t b, std::uint32_t c) = 0;
  // Frees `buffer`'s block and the buffer itself; null is ignored.
  virtual void releaseBuffer(MediaBuffer* buffer) = 0;

  std::int32_t option = 0;
};

// A byte block guarded by a recursive lock.
class MediaBuffer {
 public:
  MediaBuffer();
  MediaBuffer(const MediaBuffer&) = delete;
  MediaBuffer& operator=(const MediaBuffer&) = delete;
  // Waits for a thread that holds the lock; does not free `payload`.
  virtual ~MediaBuffer();
  // Stores the block and its size; takes no lock, frees no previous block.
  virtual void setBuffer(std::uint8_t* block, std::uint32_t size);
  // Gives the buffer back; a plain buffer only takes and drops its lock.
  virtual void dispose();
  // Takes the lock (recursively) and returns `payload`; pair with unlockData().
  virtual std::uint8_t* lockData();
  virtual void unlockData();
  virtual void lock();
  virtual void unlock();

  std::uint32_t dataLength = 0;  // meaningful bytes in `payload`
  std::uint32_t bufferSize = 0;  // size of the block at `payload`, in bytes
  std::uint8_t* payload = nullptr;
  std::recursive_mutex mutex;
  String<unsigned char> auxText;
};

// A timed media buffer bound to the allocator that made it.
class MediaChunk final : public MediaBuffer {
 public:
  explicit MediaChunk(IBufferAllocator* owner);
  ~MediaChunk() override;
  // Hands the chunk to its allocator's releaseBuffer(); the chunk is gone after.
  void dispose() override;

  std::uint32_t timestamp = 0;  // milliseconds from the start of the media
  std::uint32_t duration = 0;   // milliseconds
  std::uint32_t reserved[2] = {0, 0};
  IBufferAllocator* allocator;
  ImageProperties imageProperties;
  AudioProperties audioProperties;
};

}  // namespace Kelvo
