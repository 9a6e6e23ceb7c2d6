#include "text/url_path.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "file_names.h"
#include "temp_files.h"

namespace Kelvo {
namespace {

using testing::fileUrlOf;
using testing::utf8Of;

// The path urlToPath gives for `url`, or "unchanged" when it refuses it and
// leaves the caller's path alone.
std::string pathOf(const std::string& url) {
  String<unsigned char> path = String<unsigned char>::fromView("unchanged");
  const Status status = urlToPath(String<unsigned char>::fromView(url), &path);
  EXPECT_EQ(status == kStatusOk, path.toStdString() != "unchanged");
  return path.toStdString();
}

TEST(UrlToPath, GivesTheLocalPathOfALocalFilesUrl) {
  testing::TempFolder folder;
  const auto file = folder.path() / std::filesystem::path(u8"\u00E9t\u00E9 \u0434\u043E\u043C.sub");
  const std::string url = fileUrlOf(file);
  struct Case {
    const char* name;
    std::string url;
  };
  const Case cases[] = {
      {"AsIs", url},
      {"ByteOrderMarkIgnored", "\xEF\xBB\xBF" + url},
      {"EndsAtFirstZero", url + std::string(1, '\0') + ".txt"},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(pathOf(row.url), utf8Of(file));
  }
}

TEST(UrlToPath, RefusesWhatNamesNoLocalFile) {
  testing::TempFolder folder;
  const std::string url = fileUrlOf(folder.path() / "a.sub");
  struct Case {
    const char* name;
    std::string url;
  };
  const Case cases[] = {
      {"AnotherScheme", "http" + url.substr(4)},
      {"PlainPath", utf8Of(folder.path() / "a.sub")},
      {"RelativePath", "file:a.sub"},
      {"EncodedZero", url + "%00.txt"},
      {"UrlNotUtf8", url + "\xFF"},
      {"Empty", ""},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(pathOf(row.url), "unchanged");
  }
}

TEST(UrlToPath, NullPathIsRefused) {
  EXPECT_EQ(urlToPath(String<unsigned char>::fromView("file:///a.sub"), nullptr), kStatusBadUrl);
}

}  // namespace
}  // namespace Kelvo
