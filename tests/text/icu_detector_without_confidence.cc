// A stand-in ICU i18n library that exports ucsdet_open, ucsdet_close,
// ucsdet_setText, ucsdet_detect and ucsdet_getName with the suffix "_fake",
// but no ucsdet_getConfidence. Each call is counted, so a test can tell that an
// unusable binding never calls through.
#include <cstdint>

#define SUB_FAKE_ICU_API extern "C" SUB_TEST_EXPORT

namespace {
int gCalls = 0;
int gObject = 0;
}  // namespace

SUB_FAKE_ICU_API int fakeIcuCalls() { return gCalls; }

SUB_FAKE_ICU_API void* ucsdet_open_fake(int* status) {
  ++gCalls;
  if (status != nullptr) *status = 0;
  return &gObject;
}

SUB_FAKE_ICU_API void ucsdet_close_fake(void*) { ++gCalls; }

SUB_FAKE_ICU_API void ucsdet_setText_fake(void*, const char*, std::int32_t, int*) { ++gCalls; }

SUB_FAKE_ICU_API const void* ucsdet_detect_fake(void*, int*) {
  ++gCalls;
  return &gObject;
}

SUB_FAKE_ICU_API const char* ucsdet_getName_fake(const void*, int*) {
  ++gCalls;
  return "windows-1251";
}
