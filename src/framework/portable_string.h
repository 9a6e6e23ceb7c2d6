// String<T>: the framework's portable string of `char` or `unsigned char` code
// units. It owns a block of length + 1 units from the allocator it records and
// frees it through that allocator. Copies are deep and never share or take over
// the source's allocator; only adopt() and takeOver() move a block in. Strings
// cross interfaces by value: the receiver owns its copy. No lock of its own:
// the owner guards it.
#pragma once

#include <cassert>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "framework/standard_allocator.h"

namespace Kelvo {

template <typename T>
class String {
  static_assert(sizeof(T) == 1, "String holds byte-sized code units");

 public:
  // A null string on the process-wide instance.
  String() : allocator(StandardAllocator<T>::instance()) {}

  // A copy of the zero-terminated `text`; null gives a null string, "" an
  // empty one with a one-unit block.
  String(const T* text, StandardAllocator<T>* owner) : allocator(owner) {
    if (text != nullptr) copyFrom(text, static_cast<std::uint32_t>(std::strlen(asChars(text))));
  }

  // A copy of `count` units of `text` (zero units included) and a terminator.
  // A null `text` gives a null string whatever `count` is.
  String(const T* text, std::uint32_t count, StandardAllocator<T>* owner) : allocator(owner) {
    if (text != nullptr) copyFrom(text, count);
  }

  // A copy of `other` on `owner`; a null source gives a null copy.
  String(const String& other, StandardAllocator<T>* owner) : allocator(owner) {
    if (other.chars != nullptr) copyFrom(other.chars, other.length);
  }

  // A copy of `other` on the process-wide instance.
  String(const String& other) : String(other, StandardAllocator<T>::instance()) {}

  // A copy of `text` on the process-wide instance.
  static String fromView(std::string_view text) {
    return String(reinterpret_cast<const T*>(text.data()), static_cast<std::uint32_t>(text.size()),
                  StandardAllocator<T>::instance());
  }

  String& operator=(const String&) = delete;  // assign() states whose allocator is kept

  ~String() { clear(); }

  // Releases the block; the string becomes null and keeps its allocator.
  void clear() {
    if (chars != nullptr) {
      allocator->deallocate(chars);
      chars = nullptr;
    }
    length = 0;
  }

  // Replaces the characters by a copy of `value`'s, on this string's own
  // allocator. A null `value` leaves this string null.
  void assign(const String& value) {
    if (&value == this) return;
    clear();
    if (value.chars != nullptr) copyFrom(value.chars, value.length);
  }

  // Releases the characters and takes over `block`: `count` units and a
  // terminating zero, allocated by this string's allocator.
  void adopt(T* block, std::uint32_t count) {
    clear();
    chars = block;
    length = count;
  }

  // Takes over `other`'s characters without a copy; `other` becomes null.
  // Requires: both strings have the same allocator.
  void takeOver(String& other) {
    if (&other == this) return;
    assert(other.allocator == allocator);
    adopt(other.chars, other.length);
    other.chars = nullptr;
    other.length = 0;
  }

  // The characters up to the first zero unit; a null string gives "".
  std::string toStdString() const { return chars == nullptr ? std::string() : std::string(asChars(chars)); }

  // The characters up to the first zero unit, without a copy.
  std::string_view view() const { return chars == nullptr ? std::string_view() : std::string_view(asChars(chars)); }

  // Exact, case-sensitive comparison up to the first zero unit; null and empty
  // strings and texts are all equal.
  bool equals(const T* text) const {
    return view() == (text == nullptr ? std::string_view() : std::string_view(asChars(text)));
  }
  bool equals(const String& other) const { return equals(other.chars); }
  bool notEquals(const String& other) const { return !equals(other); }

  // True when `other` orders before this string (unsigned byte order, a
  // prefix first). As a map's ordering predicate it sorts keys descending.
  bool greaterThan(const String& other) const { return other.view() < view(); }

  // The 0-based position of the last occurrence of `text`, 0xFFFFFFFF when
  // there is none, the length when `text` is empty.
  std::uint32_t findLast(const char* text) const {
    const std::size_t at = view().rfind(text);
    return at == std::string_view::npos ? 0xFFFFFFFFu : static_cast<std::uint32_t>(at);
  }

  T* chars = nullptr;
  std::uint32_t length = 0;
  StandardAllocator<T>* allocator;

 private:
  static const char* asChars(const T* text) { return reinterpret_cast<const char*>(text); }

  void copyFrom(const T* text, std::uint32_t count) {
    if (count == 0xFFFFFFFFu) throw std::bad_alloc();  // the terminator would not fit the count type
    T* block = allocator->allocate(count + 1);
    if (count != 0) std::memcpy(block, text, count);
    block[count] = 0;
    chars = block;
    length = count;
  }
};

// Orders String keys of a map descending, through greaterThan.
template <typename T>
struct StringGreater {
  bool operator()(const String<T>& a, const String<T>& b) const { return a.greaterThan(b); }
};

}  // namespace Kelvo
