// POSIX has no file-URL conversion of its own: the plug-in's decoder takes
// exactly "file:///path" and "file://localhost/path" and percent-decodes.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <string_view>

#include "text/url_path.h"

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

class UrlDecoder : public ::testing::TestWithParam<UrlCase> {};

TEST_P(UrlDecoder, GivesTheLocalPathOrLeavesItUnchanged) {
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
    {"NonAsciiEscaped", "file:///films/%C3%A9t%C3%A9.sub", kStatusOk, "/films/\xC3\xA9t\xC3\xA9.sub"},
    {"AnotherHost", "file://server/a.sub", kStatusBadUrl, "unchanged"},
    {"HostStartingLikeLocalHost", "file://localhostx/a.sub", kStatusBadUrl, "unchanged"},
    {"Port", "file://localhost:80/a.sub", kStatusBadUrl, "unchanged"},
    {"OneSlash", "file:/a.sub", kStatusBadUrl, "unchanged"},
    {"NoPath", "file://", kStatusBadUrl, "unchanged"},
    {"LocalHostWithoutPath", "file://localhost", kStatusBadUrl, "unchanged"},
    {"EscapeWithoutDigits", "file:///a%zz.sub", kStatusBadUrl, "unchanged"},
    {"EscapeWithOneDigit", "file:///a%4", kStatusBadUrl, "unchanged"},
    {"EscapeAtTheEnd", "file:///a%", kStatusBadUrl, "unchanged"},
    {"Query", "file:///a.sub?x=1", kStatusBadUrl, "unchanged"},
    {"Fragment", "file:///a.sub#top", kStatusBadUrl, "unchanged"},
    {"EscapesNotUtf8", "file:///a%FF.sub", kStatusBadUrl, "unchanged"},
};

INSTANTIATE_TEST_SUITE_P(Cases, UrlDecoder, ::testing::ValuesIn(kUrlCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(UrlDecoderLimit, DecodedPathsUpToTheSystemLimitPass) {
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

}  // namespace
}  // namespace Kelvo
