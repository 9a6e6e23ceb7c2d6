#include "text/url_path.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <string_view>

namespace Kelvo {
namespace {

struct UrlCase {
  const char* name;
  std::string_view url;
  Status status;
  std::string_view path;  // expected; "unchanged" when refused
};

// Test names and failure messages show the row by its name.
void PrintTo(const UrlCase& row, std::ostream* out) { *out << row.name; }

class UrlToPath : public ::testing::TestWithParam<UrlCase> {};

TEST_P(UrlToPath, GivesTheLocalPathOrLeavesItUnchanged) {
  const String<unsigned char> url = String<unsigned char>::fromView(GetParam().url);
  String<unsigned char> path = String<unsigned char>::fromView("unchanged");
  EXPECT_EQ(urlToPath(url, &path), GetParam().status);
  EXPECT_EQ(path.toStdString(), GetParam().path);
}

const UrlCase kUrlCases[] = {
    {"EmptyHost", "file:///home/a.sub", kStatusOk, "/home/a.sub"},
    {"LocalHost", "file://localhost/home/a.sub", kStatusOk, "/home/a.sub"},
    {"SchemeAndHostInAnyCase", "FILE://LocalHost/a.sub", kStatusOk, "/a.sub"},
    {"Root", "file:///", kStatusOk, "/"},
    {"EscapesDecoded", "file:///my%20films/%41%62%2fc.sub", kStatusOk, "/my films/Ab/c.sub"},
    {"NonAsciiIntact", "file:///films/\xC3\xA9t\xC3\xA9.sub", kStatusOk, "/films/\xC3\xA9t\xC3\xA9.sub"},
    {"NonAsciiEscaped", "file:///films/%C3%A9t%C3%A9.sub", kStatusOk, "/films/\xC3\xA9t\xC3\xA9.sub"},
    {"ByteOrderMarkIgnored",
     "\xEF\xBB\xBF"
     "file:///a.sub",
     kStatusOk, "/a.sub"},
    {"EndsAtFirstZero", {"file:///a.sub\0.txt", 18}, kStatusOk, "/a.sub"},
    {"AnotherHost", "file://server/a.sub", kStatusBadUrl, "unchanged"},
    {"HostStartingLikeLocalHost", "file://localhostx/a.sub", kStatusBadUrl, "unchanged"},
    {"Port", "file://localhost:80/a.sub", kStatusBadUrl, "unchanged"},
    {"AnotherScheme", "http:///a.sub", kStatusBadUrl, "unchanged"},
    {"PlainPath", "/home/a.sub", kStatusBadUrl, "unchanged"},
    {"RelativePath", "file:a.sub", kStatusBadUrl, "unchanged"},
    {"OneSlash", "file:/a.sub", kStatusBadUrl, "unchanged"},
    {"NoPath", "file://", kStatusBadUrl, "unchanged"},
    {"LocalHostWithoutPath", "file://localhost", kStatusBadUrl, "unchanged"},
    {"EncodedZero", "file:///a%00.sub", kStatusBadUrl, "unchanged"},
    {"EscapeWithoutDigits", "file:///a%zz.sub", kStatusBadUrl, "unchanged"},
    {"EscapeWithOneDigit", "file:///a%4", kStatusBadUrl, "unchanged"},
    {"EscapeAtTheEnd", "file:///a%", kStatusBadUrl, "unchanged"},
    {"Query", "file:///a.sub?x=1", kStatusBadUrl, "unchanged"},
    {"Fragment", "file:///a.sub#top", kStatusBadUrl, "unchanged"},
    {"UrlNotUtf8", "file:///a\xFF.sub", kStatusBadUrl, "unchanged"},
    {"EscapesNotUtf8", "file:///a%FF.sub", kStatusBadUrl, "unchanged"},
    {"Empty", "", kStatusBadUrl, "unchanged"},
};

INSTANTIATE_TEST_SUITE_P(Cases, UrlToPath, ::testing::ValuesIn(kUrlCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(UrlToPathLimit, DecodedPathsUpToTheSystemLimitPass) {
  // PATH_MAX counts the terminator; the limit applies to the decoded path.
  const std::string stem = "/" + std::string(PATH_MAX - 5, 'a');
  String<unsigned char> path;
  ASSERT_EQ(urlToPath(String<unsigned char>::fromView("file://" + stem + "%62%62%62"), &path), kStatusOk);
  EXPECT_EQ(path.toStdString(), stem + "bbb");
  EXPECT_EQ(path.length, static_cast<std::uint32_t>(PATH_MAX - 1));
  path.assign(String<unsigned char>::fromView("unchanged"));
  EXPECT_EQ(urlToPath(String<unsigned char>::fromView("file://" + stem + "a%62%62%62"), &path), kStatusBadUrl);
  EXPECT_EQ(path.toStdString(), "unchanged");
}

TEST(UrlToPathLimit, NullPathIsRefused) {
  EXPECT_EQ(urlToPath(String<unsigned char>::fromView("file:///a.sub"), nullptr), kStatusBadUrl);
}

}  // namespace
}  // namespace Kelvo
