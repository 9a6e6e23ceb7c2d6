// The plug-in's allocator of media chunks. A container owns one and must keep
// it alive until every chunk it made, the host's included, has been released.
#pragma once

#include <cstdint>

#include "framework/media_buffer.h"

namespace Kelvo {

class MediaBufferAllocator final : public IBufferAllocator {
 public:
  MediaBufferAllocator();
  ~MediaBufferAllocator() override;
  // Answers null for any arguments.
  MediaBuffer* acquire(std::uint32_t a, std::uint32_t b, std::uint32_t c) override;
  // Frees the buffer's block (array form, under the buffer's lock, so it waits
  // for a reader between lockData and unlockData) and then the buffer.
  void releaseBuffer(MediaBuffer* buffer) override;

  // Returns a new chunk over `block` (allocated with new[]; the chunk owns it
  // from now on) with bufferSize `size`; dataLength, timestamp and duration
  // are 0 for the caller to set. Throws std::bad_alloc, and the caller still
  // owns `block`, when memory runs out.
  MediaChunk* createChunk(std::uint8_t* block, std::uint32_t size);
};

}  // namespace Kelvo
