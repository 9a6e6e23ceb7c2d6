#include "text/ucsdet_library.h"

#include <string>

namespace Quarnel {

namespace {

template <typename Fn>
Fn lookUp(const Kelvo::platform::DynamicLibrary& library, const char* name, const char* suffix) {
  return reinterpret_cast<Fn>(library.find((std::string(name) + suffix).c_str()));
}

// The result of an operation that an unusable binding cannot perform.
template <typename Result>
Result refuse(UErrorCode* status, Result result) {
  if (status != nullptr) *status = kUInternalProgramError;
  return result;
}

}  // namespace

// SUB_ICU_I18N_FILE and SUB_ICU_SUFFIX come from the build: the ICU i18n
// library of the converter library's release and its entry points' suffix.
UCSDetLibrary::UCSDetLibrary() : UCSDetLibrary(SUB_ICU_I18N_FILE, SUB_ICU_SUFFIX) {}

UCSDetLibrary::UCSDetLibrary(const char* fileName, const char* suffix)
    : library(Kelvo::platform::DynamicLibrary::load(fileName)) {
  if (!library.loaded()) return;
  // A missing name neither stops the other look-ups nor unloads the library.
  openFn = lookUp<OpenFn>(library, "ucsdet_open", suffix);
  closeFn = lookUp<CloseFn>(library, "ucsdet_close", suffix);
  setTextFn = lookUp<SetTextFn>(library, "ucsdet_setText", suffix);
  detectFn = lookUp<DetectFn>(library, "ucsdet_detect", suffix);
  getNameFn = lookUp<GetNameFn>(library, "ucsdet_getName", suffix);
  getConfidenceFn = lookUp<GetConfidenceFn>(library, "ucsdet_getConfidence", suffix);
}

UCSDetLibrary::~UCSDetLibrary() {
  getConfidenceFn = nullptr;
  getNameFn = nullptr;
  detectFn = nullptr;
  setTextFn = nullptr;
  closeFn = nullptr;
  openFn = nullptr;
  library.unload();
}

UCSDetLibrary* UCSDetLibrary::instance() {
  // Never destroyed: ICU stays loaded while the plug-in is.
  static UCSDetLibrary* const binding = new UCSDetLibrary();
  return binding;
}

bool UCSDetLibrary::isUsable() const {
  return library.loaded() && openFn != nullptr && closeFn != nullptr && setTextFn != nullptr && detectFn != nullptr &&
         getNameFn != nullptr && getConfidenceFn != nullptr;
}

UCharsetDetector* UCSDetLibrary::open(UErrorCode* status) const {
  if (isUsable()) return openFn(status);
  return refuse<UCharsetDetector*>(status, nullptr);
}

void UCSDetLibrary::close(UCharsetDetector* detector) const {
  if (isUsable()) closeFn(detector);
}

void UCSDetLibrary::setText(UCharsetDetector* detector, const char* text, std::int32_t length,
                            UErrorCode* status) const {
  if (isUsable()) {
    setTextFn(detector, text, length, status);
  } else if (status != nullptr) {
    *status = kUInternalProgramError;
  }
}

const UCharsetMatch* UCSDetLibrary::detect(UCharsetDetector* detector, UErrorCode* status) const {
  if (isUsable()) return detectFn(detector, status);
  return refuse<const UCharsetMatch*>(status, nullptr);
}

const char* UCSDetLibrary::getName(const UCharsetMatch* match, UErrorCode* status) const {
  if (isUsable()) return getNameFn(match, status);
  return refuse<const char*>(status, nullptr);
}

std::int32_t UCSDetLibrary::getConfidence(const UCharsetMatch* match, UErrorCode* status) const {
  if (isUsable()) return getConfidenceFn(match, status);
  return refuse<std::int32_t>(status, 0);
}

}  // namespace Quarnel
