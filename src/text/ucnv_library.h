// Quarnel::UCNVLibrary: the run-time binding of ICU's four converter functions.
// The ICU common library is loaded by file name at the first conversion and
// its entry points are looked up under their release-suffixed names. When the
// library or any entry point is missing, the binding is unusable as a whole and
// every operation fails softly with kUInternalProgramError instead of calling
// through. The process-wide binding is made once and never destroyed; it holds
// no per-conversion state, so any thread may use it without a lock.
#pragma once

#include <cstdint>

#include "platform/dynamic_library.h"

namespace Quarnel {

// ICU's own types, declared here so that nothing includes ICU's headers. They
// match ICU's ABI: UChar is a UTF-16 code unit, UBool a signed byte,
// UErrorCode an int-sized enum, UConverter an opaque object.
using UChar = char16_t;
using UBool = std::int8_t;
using UErrorCode = int;
struct UConverter;

// U_ZERO_ERROR: no error; callers clear the status to it before open().
inline constexpr UErrorCode kUZeroError = 0;
// U_INTERNAL_PROGRAM_ERROR: what every operation of an unusable binding reports.
inline constexpr UErrorCode kUInternalProgramError = 5;
// U_BUFFER_OVERFLOW_ERROR: the target is full; call again to convert the rest.
inline constexpr UErrorCode kUBufferOverflowError = 15;

// ICU's test for an error code: positive values are failures.
inline bool isFailure(UErrorCode status) { return status > kUZeroError; }

class UCNVLibrary {
 public:
  using OpenFn = UConverter* (*)(const char* converterName, UErrorCode* status);
  using CloseFn = void (*)(UConverter* converter);
  using ToUnicodeFn = void (*)(UConverter* converter, UChar** target, const UChar* targetLimit, const char** source,
                               const char* sourceLimit, std::int32_t* offsets, UBool flush, UErrorCode* status);
  using FromUnicodeFn = void (*)(UConverter* converter, char** target, const char* targetLimit, const UChar** source,
                                 const UChar* sourceLimit, std::int32_t* offsets, UBool flush, UErrorCode* status);

  // Binds this platform's ICU common library and entry-point suffix.
  UCNVLibrary();
  // Binds the library `fileName` (UTF-8) with entry points named
  // "ucnv_open" + `suffix` and so on: the seam for the unusable cases.
  UCNVLibrary(const char* fileName, const char* suffix);
  UCNVLibrary(const UCNVLibrary&) = delete;
  UCNVLibrary& operator=(const UCNVLibrary&) = delete;
  // Unloads the library; the process-wide binding is never destroyed.
  virtual ~UCNVLibrary();

  // The process-wide binding, made by the first call (once, even when two
  // threads call first together); never null. Throws std::bad_alloc only.
  static UCNVLibrary* instance();

  // True when the library and all four entry points were found.
  bool isUsable() const;

  // ICU's ucnv_open. Unusable: null, and kUInternalProgramError stored in
  // `*status` when `status` is not null. The caller closes a converter it gets.
  UConverter* open(const char* converterName, UErrorCode* status) const;
  // ICU's ucnv_close. Unusable: does nothing.
  void close(UConverter* converter) const;
  // ICU's ucnv_toUnicode. Unusable: kUInternalProgramError stored in
  // `*status` when `status` is not null; nothing else is touched.
  void toUnicode(UConverter* converter, UChar** target, const UChar* targetLimit, const char** source,
                 const char* sourceLimit, std::int32_t* offsets, UBool flush, UErrorCode* status) const;
  // ICU's ucnv_fromUnicode. Unusable: as toUnicode.
  void fromUnicode(UConverter* converter, char** target, const char* targetLimit, const UChar** source,
                   const UChar* sourceLimit, std::int32_t* offsets, UBool flush, UErrorCode* status) const;

  Kelvo::platform::DynamicLibrary library;
  OpenFn openFn = nullptr;
  CloseFn closeFn = nullptr;
  ToUnicodeFn toUnicodeFn = nullptr;
  FromUnicodeFn fromUnicodeFn = nullptr;
};

}  // namespace Quarnel
