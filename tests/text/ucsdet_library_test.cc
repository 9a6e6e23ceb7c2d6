#include "text/ucsdet_library.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "platform/dynamic_library.h"

namespace Quarnel {
namespace {

TEST(UCSDetLibrary, ProcessBindingIsMadeOnceAcrossThreads) {
  UCSDetLibrary* seen[4] = {};
  std::thread threads[4];
  for (int i = 0; i < 4; ++i) threads[i] = std::thread([&seen, i] { seen[i] = UCSDetLibrary::instance(); });
  for (auto& thread : threads) thread.join();
  for (UCSDetLibrary* binding : seen) EXPECT_EQ(binding, UCSDetLibrary::instance());
  EXPECT_TRUE(UCSDetLibrary::instance()->isUsable());
}

TEST(UCSDetLibrary, UsableBindingForwardsToIcu) {
  // The process-wide binding: a binding of our own would unload ICU with the
  // caches ICU made, which the leak checker then reports.
  const UCSDetLibrary& icu = *UCSDetLibrary::instance();
  ASSERT_TRUE(icu.isUsable());
  UErrorCode status = kUZeroError;
  UCharsetDetector* detector = icu.open(&status);
  ASSERT_NE(detector, nullptr);
  EXPECT_EQ(status, kUZeroError);

  const char russian[] = "\xCF\xF0\xE8\xE2\xE5\xF2";  // "Привет" in windows-1251
  icu.setText(detector, russian, 6, &status);
  const UCharsetMatch* match = icu.detect(detector, &status);
  ASSERT_NE(match, nullptr);
  const char* name = icu.getName(match, &status);
  ASSERT_NE(name, nullptr);
  EXPECT_EQ(std::string(name), "windows-1251");
  EXPECT_EQ(icu.getConfidence(match, &status), 85);
  EXPECT_EQ(status, kUZeroError);
  icu.close(detector);
}

struct UnusableCase {
  const char* name;
  const char* fileName;
  const char* suffix;
  bool loaded;  // the library itself was found and stays loaded
};

// Test names and failure messages show the row by its name.
void PrintTo(const UnusableCase& row, std::ostream* out) { *out << row.name; }

class UnusableDetector : public ::testing::TestWithParam<UnusableCase> {};

TEST_P(UnusableDetector, EveryOperationFailsSoftlyWithoutCallingThrough) {
  const UCSDetLibrary icu(GetParam().fileName, GetParam().suffix);
  EXPECT_FALSE(icu.isUsable());
  EXPECT_EQ(icu.library.loaded(), GetParam().loaded);

  UErrorCode status = kUZeroError;
  EXPECT_EQ(icu.open(&status), nullptr);
  EXPECT_EQ(status, kUInternalProgramError);
  EXPECT_EQ(icu.open(nullptr), nullptr);

  int someObject = 0;
  auto* detector = reinterpret_cast<UCharsetDetector*>(&someObject);
  auto* match = reinterpret_cast<const UCharsetMatch*>(&someObject);
  icu.close(detector);

  status = kUZeroError;
  icu.setText(detector, "ab", 2, &status);
  EXPECT_EQ(status, kUInternalProgramError);
  status = kUZeroError;
  EXPECT_EQ(icu.detect(detector, &status), nullptr);
  EXPECT_EQ(status, kUInternalProgramError);
  status = kUZeroError;
  EXPECT_EQ(icu.getName(match, &status), nullptr);
  EXPECT_EQ(status, kUInternalProgramError);
  status = kUZeroError;
  EXPECT_EQ(icu.getConfidence(match, &status), 0);
  EXPECT_EQ(status, kUInternalProgramError);

  icu.setText(detector, "ab", 2, nullptr);
  EXPECT_EQ(icu.detect(detector, nullptr), nullptr);
  EXPECT_EQ(icu.getName(match, nullptr), nullptr);
  EXPECT_EQ(icu.getConfidence(match, nullptr), 0);
  EXPECT_EQ(someObject, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnusableDetector,
    ::testing::Values(UnusableCase{"MissingLibrary", "/nonexistent/libicui18n.so.72", SUB_ICU_SUFFIX, false},
                      UnusableCase{"LibraryWithoutGetConfidence", SUB_DETECTOR_WITHOUT_CONFIDENCE_PATH, "_fake", true},
                      UnusableCase{"EntryPointsOfAnotherRelease", SUB_ICU_I18N_FILE, "_0_0", true}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(UCSDetLibrary, LibraryWithoutGetConfidenceIsNeverCalled) {
  const Kelvo::platform::DynamicLibrary fake =
      Kelvo::platform::DynamicLibrary::load(SUB_DETECTOR_WITHOUT_CONFIDENCE_PATH);
  ASSERT_TRUE(fake.loaded());
  const auto calls = reinterpret_cast<int (*)()>(fake.find("fakeIcuCalls"));
  ASSERT_NE(calls, nullptr);
  const UCSDetLibrary icu(SUB_DETECTOR_WITHOUT_CONFIDENCE_PATH, "_fake");
  ASSERT_NE(icu.openFn, nullptr);
  ASSERT_NE(icu.closeFn, nullptr);
  ASSERT_NE(icu.setTextFn, nullptr);
  ASSERT_NE(icu.detectFn, nullptr);
  ASSERT_NE(icu.getNameFn, nullptr);
  EXPECT_EQ(icu.getConfidenceFn, nullptr);

  UErrorCode status = kUZeroError;
  UCharsetDetector* detector = icu.open(&status);
  icu.setText(detector, "ab", 2, &status);
  const UCharsetMatch* match = icu.detect(detector, &status);
  icu.getName(match, &status);
  icu.getConfidence(match, &status);
  icu.close(detector);
  EXPECT_EQ(calls(), 0);
}

}  // namespace
}  // namespace Quarnel
