// A stand-in ICU common library that exports ucnv_open, ucnv_close and
// ucnv_toUnicode with the suffix "_fake", but no ucnv_fromUnicode. Each call
// is counted, so a test can tell that an unusable binding never calls through.
#include <cstdint>

#define SUB_FAKE_ICU_API extern "C" SUB_TEST_EXPORT

namespace {
int gCalls = 0;
int gConverter = 0;
}  // namespace

SUB_FAKE_ICU_API int fakeIcuCalls() { return gCalls; }

SUB_FAKE_ICU_API void* ucnv_open_fake(const char*, int* status) {
  ++gCalls;
  if (status != nullptr) *status = 0;
  return &gConverter;
}

SUB_FAKE_ICU_API void ucnv_close_fake(void*) { ++gCalls; }

SUB_FAKE_ICU_API void ucnv_toUnicode_fake(void*, char16_t** target, const char16_t*, const char** source, const char*,
                                          std::int32_t*, std::int8_t, int* status) {
  ++gCalls;
  *(*target)++ = u'X';
  ++*source;
  *status = 0;
}
