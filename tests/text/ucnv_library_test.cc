#include "text/ucnv_library.h"

#include <gtest/gtest.h>
#include <unicode/umachine.h>
#include <unicode/utypes.h>

#include <thread>
#include <type_traits>

#include "platform/dynamic_library.h"

namespace Quarnel {
namespace {

// Our declarations must match the ICU release the build binds.
static_assert(std::is_same_v<UChar, ::UChar>);
static_assert(std::is_same_v<UBool, ::UBool>);
static_assert(sizeof(UErrorCode) == sizeof(::UErrorCode));
static_assert(kUZeroError == ::U_ZERO_ERROR);
static_assert(kUInternalProgramError == ::U_INTERNAL_PROGRAM_ERROR);
static_assert(kUBufferOverflowError == ::U_BUFFER_OVERFLOW_ERROR);

TEST(UCNVLibrary, ProcessBindingIsMadeOnceAcrossThreads) {
  UCNVLibrary* seen[4] = {};
  std::thread threads[4];
  for (int i = 0; i < 4; ++i) threads[i] = std::thread([&seen, i] { seen[i] = UCNVLibrary::instance(); });
  for (auto& thread : threads) thread.join();
  for (UCNVLibrary* binding : seen) EXPECT_EQ(binding, UCNVLibrary::instance());
  EXPECT_TRUE(UCNVLibrary::instance()->isUsable());
}

TEST(UCNVLibrary, UsableBindingForwardsToIcu) {
  // The process-wide binding: a binding of our own would unload ICU with the
  // caches ICU made, which the leak checker then reports.
  const UCNVLibrary& icu = *UCNVLibrary::instance();
  ASSERT_TRUE(icu.isUsable());
  UErrorCode status = kUZeroError;
  UConverter* converter = icu.open("windows-1252", &status);
  ASSERT_NE(converter, nullptr);
  EXPECT_FALSE(isFailure(status));  // ICU warns that the alias is ambiguous

  const char bytes[] = "\x80\xE9";
  const char* source = bytes;
  UChar units[4] = {};
  UChar* target = units;
  status = kUZeroError;
  icu.toUnicode(converter, &target, units + 4, &source, bytes + 2, nullptr, 1, &status);
  EXPECT_EQ(status, kUZeroError);
  ASSERT_EQ(target, units + 2);
  EXPECT_EQ(units[0], u'\u20AC');
  EXPECT_EQ(units[1], u'\u00E9');
  EXPECT_EQ(source, bytes + 2);

  char back[4] = {};
  char* out = back;
  const UChar* from = units;
  status = kUZeroError;
  icu.fromUnicode(converter, &out, back + 4, &from, units + 2, nullptr, 1, &status);
  EXPECT_EQ(status, kUZeroError);
  EXPECT_EQ(std::string(back, out), std::string(bytes, 2));
  icu.close(converter);

  UErrorCode refused = kUZeroError;
  EXPECT_EQ(icu.open("no-such-code-page", &refused), nullptr);
  EXPECT_TRUE(isFailure(refused));
}

struct UnusableCase {
  const char* name;
  const char* fileName;
  const char* suffix;
  bool loaded;  // the library itself was found and stays loaded
};

// Test names and failure messages show the row by its name.
void PrintTo(const UnusableCase& row, std::ostream* out) { *out << row.name; }

class UnusableBinding : public ::testing::TestWithParam<UnusableCase> {};

TEST_P(UnusableBinding, EveryOperationFailsSoftlyWithoutCallingThrough) {
  const UCNVLibrary icu(GetParam().fileName, GetParam().suffix);
  EXPECT_FALSE(icu.isUsable());
  EXPECT_EQ(icu.library.loaded(), GetParam().loaded);

  UErrorCode status = kUZeroError;
  EXPECT_EQ(icu.open("windows-1252", &status), nullptr);
  EXPECT_EQ(status, kUInternalProgramError);
  EXPECT_EQ(icu.open("windows-1252", nullptr), nullptr);

  int someConverter = 0;
  auto* converter = reinterpret_cast<UConverter*>(&someConverter);
  icu.close(converter);

  const char bytes[] = "ab";
  const char* source = bytes;
  UChar units[4] = {u'u', u'u', u'u', u'u'};
  UChar* target = units;
  status = kUZeroError;
  icu.toUnicode(converter, &target, units + 4, &source, bytes + 2, nullptr, 1, &status);
  EXPECT_EQ(status, kUInternalProgramError);
  EXPECT_EQ(target, units);
  EXPECT_EQ(source, bytes);
  EXPECT_EQ(units[0], u'u');
  icu.toUnicode(converter, &target, units + 4, &source, bytes + 2, nullptr, 1, nullptr);
  EXPECT_EQ(target, units);

  const UChar text[] = u"ab";
  const UChar* from = text;
  char out[4] = {'u', 'u', 'u', 'u'};
  char* into = out;
  status = kUZeroError;
  icu.fromUnicode(converter, &into, out + 4, &from, text + 2, nullptr, 1, &status);
  EXPECT_EQ(status, kUInternalProgramError);
  EXPECT_EQ(into, out);
  EXPECT_EQ(from, text);
  EXPECT_EQ(out[0], 'u');
  icu.fromUnicode(converter, &into, out + 4, &from, text + 2, nullptr, 1, nullptr);
  EXPECT_EQ(into, out);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnusableBinding,
    ::testing::Values(UnusableCase{"MissingLibrary", "/nonexistent/libicuuc.so.72", SUB_ICU_SUFFIX, false},
                      UnusableCase{"LibraryWithoutFromUnicode", SUB_THREE_ENTRY_ICU_PATH, "_fake", true},
                      UnusableCase{"EntryPointsOfAnotherRelease", SUB_ICU_UC_FILE, "_0_0", true}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(UCNVLibrary, LibraryWithoutFromUnicodeIsNeverCalled) {
  const Kelvo::platform::DynamicLibrary fake = Kelvo::platform::DynamicLibrary::load(SUB_THREE_ENTRY_ICU_PATH);
  ASSERT_TRUE(fake.loaded());
  const auto calls = reinterpret_cast<int (*)()>(fake.find("fakeIcuCalls"));
  ASSERT_NE(calls, nullptr);
  const UCNVLibrary icu(SUB_THREE_ENTRY_ICU_PATH, "_fake");
  ASSERT_NE(icu.openFn, nullptr);
  ASSERT_NE(icu.closeFn, nullptr);
  ASSERT_NE(icu.toUnicodeFn, nullptr);
  EXPECT_EQ(icu.fromUnicodeFn, nullptr);

  UErrorCode status = kUZeroError;
  EXPECT_EQ(icu.open("utf8", &status), nullptr);
  UChar unit = 0;
  UChar* target = &unit;
  const char byte = 'a';
  const char* source = &byte;
  icu.toUnicode(nullptr, &target, &unit + 1, &source, &byte + 1, nullptr, 1, &status);
  icu.close(nullptr);
  EXPECT_EQ(calls(), 0);
}

}  // namespace
}  // namespace Quarnel
