// Quarnel::UCSDetLibrary: the run-time binding of ICU's charset detector. The
// ICU i18n library of the same release as the converter library is loaded by
// file name at the first detection and its six entry points are looked up
// under their release-suffixed names. When the library or any entry point is
// missing, the binding is unusable as a whole and every operation fails softly
// with kUInternalProgramError instead of calling through. The process-wide
// binding is made once and never destroyed; it holds no per-detection state,
// so any thread may use it without a lock.
#pragma once

#include <cstdint>

#include "platform/dynamic_library.h"
#include "text/ucnv_library.h"

namespace Quarnel {

// ICU's opaque detector and match objects.
struct UCharsetDetector;
struct UCharsetMatch;

class UCSDetLibrary {
 public:
  using OpenFn = UCharsetDetector* (*)(UErrorCode* status);
  using CloseFn = void (*)(UCharsetDetector* detector);
  using SetTextFn = void (*)(UCharsetDetector* detector, const char* text, std::int32_t length, UErrorCode* status);
  using DetectFn = const UCharsetMatch* (*)(UCharsetDetector* detector, UErrorCode* status);
  using GetNameFn = const char* (*)(const UCharsetMatch* match, UErrorCode* status);
  using GetConfidenceFn = std::int32_t (*)(const UCharsetMatch* match, UErrorCode* status);

  // Binds this platform's ICU i18n library and entry-point suffix.
  UCSDetLibrary();
  // Binds the library `fileName` (UTF-8) with entry points named
  // "ucsdet_open" + `suffix` and so on: the seam for the unusable cases.
  UCSDetLibrary(const char* fileName, const char* suffix);
  UCSDetLibrary(const UCSDetLibrary&) = delete;
  UCSDetLibrary& operator=(const UCSDetLibrary&) = delete;
  // Unloads the library; the process-wide binding is never destroyed.
  virtual ~UCSDetLibrary();

  // The process-wide binding, made by the first call (once, even when two
  // threads call first together); never null. Throws std::bad_alloc only.
  static UCSDetLibrary* instance();

  // True when the library and all six entry points were found.
  bool isUsable() const;

  // ICU's ucsdet_open. Unusable: null, and kUInternalProgramError stored in
  // `*status` when `status` is not null. The caller closes a detector it gets.
  UCharsetDetector* open(UErrorCode* status) const;
  // ICU's ucsdet_close. Unusable: does nothing.
  void close(UCharsetDetector* detector) const;
  // ICU's ucsdet_setText; the detector keeps the pointer, so `text` must
  // outlive its use. Unusable: kUInternalProgramError stored in `*status`
  // when `status` is not null.
  void setText(UCharsetDetector* detector, const char* text, std::int32_t length, UErrorCode* status) const;
  // ICU's ucsdet_detect: the best match, owned by the detector and valid until
  // it is closed or given another text. Unusable: null, status as setText.
  const UCharsetMatch* detect(UCharsetDetector* detector, UErrorCode* status) const;
  // ICU's ucsdet_getName: the match's converter name, owned by ICU, valid as
  // the match is. Unusable: null, status as setText.
  const char* getName(const UCharsetMatch* match, UErrorCode* status) const;
  // ICU's ucsdet_getConfidence: 0 to 100. Unusable: 0, status as setText.
  std::int32_t getConfidence(const UCharsetMatch* match, UErrorCode* status) const;

  Kelvo::platform::DynamicLibrary library;
  OpenFn openFn = nullptr;
  CloseFn closeFn = nullptr;
  SetTextFn setTextFn = nullptr;
  DetectFn detectFn = nullptr;
  GetNameFn getNameFn = nullptr;
  GetConfidenceFn getConfidenceFn = nullptr;
};

}  // namespace Quarnel
