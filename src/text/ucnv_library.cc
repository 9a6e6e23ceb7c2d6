#include "text/ucnv_library.h"

#include <string>

namespace Quarnel {

namespace {

template <typename Fn>
Fn lookUp(const Kelvo::platform::DynamicLibrary& library, const char* name, const char* suffix) {
  return reinterpret_cast<Fn>(library.find((std::string(name) + suffix).c_str()));
}

}  // namespace

// SUB_ICU_UC_FILE and SUB_ICU_SUFFIX come from the build: the ICU common
// library found at configure time and the release suffix of its entry points.
UCNVLibrary::UCNVLibrary() : UCNVLibrary(SUB_ICU_UC_FILE, SUB_ICU_SUFFIX) {}

UCNVLibrary::UCNVLibrary(const char* fileName, const char* suffix)
    : library(Kelvo::platform::DynamicLibrary::load(fileName)) {
  if (!library.loaded()) return;
  // A missing name neither stops the other look-ups nor unloads the library.
  openFn = lookUp<OpenFn>(library, "ucnv_open", suffix);
  closeFn = lookUp<CloseFn>(library, "ucnv_close", suffix);
  toUnicodeFn = lookUp<ToUnicodeFn>(library, "ucnv_toUnicode", suffix);
  fromUnicodeFn = lookUp<FromUnicodeFn>(library, "ucnv_fromUnicode", suffix);
}

UCNVLibrary::~UCNVLibrary() {
  fromUnicodeFn = nullptr;
  toUnicodeFn = nullptr;
  closeFn = nullptr;
  openFn = nullptr;
  library.unload();
}

UCNVLibrary* UCNVLibrary::instance() {
  // Never destroyed: ICU stays loaded while the plug-in is.
  static UCNVLibrary* const binding = new UCNVLibrary();
  return binding;
}

bool UCNVLibrary::isUsable() const {
  return library.loaded() && openFn != nullptr && closeFn != nullptr && toUnicodeFn != nullptr &&
         fromUnicodeFn != nullptr;
}

UConverter* UCNVLibrary::open(const char* converterName, UErrorCode* status) const {
  if (isUsable()) return openFn(converterName, status);
  if (status != nullptr) *status = kUInternalProgramError;
  return nullptr;
}

void UCNVLibrary::close(UConverter* converter) const {
  if (isUsable()) closeFn(converter);
}

void UCNVLibrary::toUnicode(UConverter* converter, UChar** target, const UChar* targetLimit, const char** source,
                            const char* sourceLimit, std::int32_t* offsets, UBool flush, UErrorCode* status) const {
  if (isUsable()) {
    toUnicodeFn(converter, target, targetLimit, source, sourceLimit, offsets, flush, status);
  } else if (status != nullptr) {
    *status = kUInternalProgramError;
  }
}

void UCNVLibrary::fromUnicode(UConverter* converter, char** target, const char* targetLimit, const UChar** source,
                              const UChar* sourceLimit, std::int32_t* offsets, UBool flush, UErrorCode* status) const {
  if (isUsable()) {
    fromUnicodeFn(converter, target, targetLimit, source, sourceLimit, offsets, flush, status);
  } else if (status != nullptr) {
    *status = kUInternalProgramError;
  }
}

}  // namespace Quarnel
