// The framework's polymorphic allocator: one process-wide object per element
// type, created on first use and destroyed when the module unloads. Strings and
// lists record the allocator that made their memory and give it back to that
// object, so a block always returns to the module that allocated it.
// Stateless; any thread may use it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <new>

namespace Kelvo {

template <typename T>
class StandardAllocator {
 public:
  virtual ~StandardAllocator() = default;

  // Returns an uninitialised array of `count` objects. Throws std::bad_alloc
  // when memory runs out or the byte size of `count` objects overflows; never
  // returns null. The caller gives the block back through deallocate().
  virtual T* allocate(std::uint32_t count) {
    if (count > std::numeric_limits<std::size_t>::max() / sizeof(T)) throw std::bad_alloc();
    return static_cast<T*>(::operator new[](static_cast<std::size_t>(count) * sizeof(T)));
  }

  // Releases a block obtained from allocate(); null is ignored.
  virtual void deallocate(T* block) { ::operator delete[](block); }

  // The process-wide instance for T (one per module). Created once even when
  // two threads ask first; never null; callers never delete it.
  static StandardAllocator* instance() {
    static StandardAllocator allocator;
    return &allocator;
  }
};

}  // namespace Kelvo
