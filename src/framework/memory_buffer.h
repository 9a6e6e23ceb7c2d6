// ortl::MemoryBuffer<T>: a self-owning raw array that absorbs allocation
// failure. Callers test `storage` after resize() to learn whether it worked.
// No lock of its own.
#pragma once

#include <cstdint>
#include <cstring>
#include <new>

namespace ortl {

template <typename T>
class MemoryBuffer {
 public:
  MemoryBuffer() = default;
  MemoryBuffer(const MemoryBuffer&) = delete;
  MemoryBuffer& operator=(const MemoryBuffer&) = delete;
  virtual ~MemoryBuffer() { resize(0, false); }

  // Makes the buffer hold `count` elements. A different size releases the old
  // block and allocates a new one, uninitialised; a failed allocation leaves
  // the buffer empty (storage null, storageSize 0) instead of throwing. The
  // same size keeps the block and its contents. With `zeroFill` every element
  // of the resulting block is cleared.
  void resize(std::uint32_t count, bool zeroFill) {
    if (count != storageSize) {
      delete[] storage;
      storage = nullptr;
      storageSize = 0;
      if (count > 0) {
        try {
          storage = new T[count];
        } catch (const std::bad_alloc&) {
          storage = nullptr;
        }
      }
      if (storage != nullptr) storageSize = count;
    }
    if (zeroFill && storage != nullptr) std::memset(static_cast<void*>(storage), 0, sizeof(T) * storageSize);
  }

  T* storage = nullptr;
  std::uint32_t storageSize = 0;
};

}  // namespace ortl
