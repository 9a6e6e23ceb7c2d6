// Windows' own conversion, PathCreateFromUrlW, turns the file URL into a
// path: drive letters, backslashes, the files of other hosts, and a buffer
// of 260 units that bounds the path.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <string_view>

#include "text/url_path.h"

namespace Kelvo {
namespace {

// Wine implements the API, but some of its answers differ from Windows'.
bool runningUnderWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

struct UrlCase {
  const char* name;
  std::string_view url;
  std::string_view path;  // expected; "unchanged" when refused
};

// Test names and failure messages show the row by its name.
void PrintTo(const UrlCase& row, std::ostream* out) { *out << row.name; }

class ShellConversion : public ::testing::TestWithParam<UrlCase> {};

TEST_P(ShellConversion, GivesTheWindowsPathOrLeavesItUnchanged) {
  String<unsigned char> path = String<unsigned char>::fromView("unchanged");
  const Status status = urlToPath(String<unsigned char>::fromView(GetParam().url), &path);
  EXPECT_EQ(status, GetParam().path == "unchanged" ? kStatusBadUrl : kStatusOk);
  EXPECT_EQ(path.toStdString(), GetParam().path);
}

const UrlCase kUrlCases[] = {
    {"DriveLetter", "file:///C:/films/a.sub", "C:\\films\\a.sub"},
    {"LocalHost", "file://localhost/C:/films/a.sub", "C:\\films\\a.sub"},
    {"OldDriveForm", "file:///C|/films/a.sub", "C:\\films\\a.sub"},
    {"EscapesDecoded", "file:///C:/my%20films/a.sub", "C:\\my films\\a.sub"},
    {"NonAsciiIntact", "file:///C:/films/\xC3\xA9t\xC3\xA9.sub", "C:\\films\\\xC3\xA9t\xC3\xA9.sub"},
    // Another host's share is a path Windows opens.
    {"AnotherHost", "file://server/share/a.sub", "\\\\server\\share\\a.sub"},
    {"NoPath", "file:", "unchanged"},
    {"DrivePath", "C:\\films\\a.sub", "unchanged"},
};

INSTANTIATE_TEST_SUITE_P(Cases, ShellConversion, ::testing::ValuesIn(kUrlCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(ShellConversion, EscapedUtf8BecomesOneCharacterEach) {
  if (runningUnderWine()) GTEST_SKIP() << "Wine decodes each escape as a character of its own";
  String<unsigned char> path;
  ASSERT_EQ(urlToPath(String<unsigned char>::fromView("file:///C:/films/%C3%A9t%C3%A9.sub"), &path), kStatusOk);
  EXPECT_EQ(path.toStdString(), "C:\\films\\\xC3\xA9t\xC3\xA9.sub");
}

TEST(ShellConversion, PathsFillTheBufferOfTwoHundredSixtyUnits) {
  // "C:\" and 256 letters are 259 units, the most the buffer holds before
  // its terminator.
  const std::string letters(256, 'a');
  String<unsigned char> path;
  ASSERT_EQ(urlToPath(String<unsigned char>::fromView("file:///C:/" + letters), &path), kStatusOk);
  EXPECT_EQ(path.toStdString(), "C:\\" + letters);
  path.assign(String<unsigned char>::fromView("unchanged"));
  EXPECT_EQ(urlToPath(String<unsigned char>::fromView("file:///C:/" + letters + "a"), &path), kStatusBadUrl);
  EXPECT_EQ(path.toStdString(), "unchanged");
}

}  // namespace
}  // namespace Kelvo
