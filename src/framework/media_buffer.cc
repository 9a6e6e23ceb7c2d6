#include "framework/media_buffer.h"

#include "framework/media_buffer_allocator.h"

namespace Kelvo {

IBufferAllocator::~IBufferAllocator() = default;

bool IBufferAllocator::accepts(String<unsigned char> /*value*/) { return false; }

void IBufferAllocator::setOption(std::int32_t value) { option = value; }

MediaBuffer::MediaBuffer() = default;

MediaBuffer::~MediaBuffer() {
  // A destruction waits for a thread that still holds the lock.
  mutex.lock();
  mutex.unlock();
}

void MediaBuffer::setBuffer(std::uint8_t* block, std::uint32_t size) {
  payload = block;
  bufferSize = size;
}

void MediaBuffer::dispose() {
  mutex.lock();
  mutex.unlock();
}

std::uint8_t* MediaBuffer::lockData() {
  mutex.lock();
  return payload;
}

void MediaBuffer::unlockData() { mutex.unlock(); }

void MediaBuffer::lock() { mutex.lock(); }

void MediaBuffer::unlock() { mutex.unlock(); }

MediaChunk::MediaChunk(IBufferAllocator* owner) : allocator(owner) {}

MediaChunk::~MediaChunk() = default;

void MediaChunk::dispose() { allocator->releaseBuffer(this); }

MediaBufferAllocator::MediaBufferAllocator() { option = 8; }

MediaBufferAllocator::~MediaBufferAllocator() = default;

MediaBuffer* MediaBufferAllocator::acquire(std::uint32_t, std::uint32_t, std::uint32_t) { return nullptr; }

void MediaBufferAllocator::releaseBuffer(MediaBuffer* buffer) {
  if (buffer == nullptr) return;
  // Every block is freed, a zero-sized one included, so none is ever lost.
  delete[] buffer->lockData();
  buffer->unlockData();
  delete buffer;
}

MediaChunk* MediaBufferAllocator::createChunk(std::uint8_t* block, std::uint32_t size) {
  auto* chunk = new MediaChunk(this);
  chunk->setBuffer(block, size);
  return chunk;
}

}  // namespace Kelvo
