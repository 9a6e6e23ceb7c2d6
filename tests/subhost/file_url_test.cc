#include "file_url.h"

#include <gtest/gtest.h>

namespace Kelvo::subhost {
namespace {

TEST(FileUrl, PathsBecomeAbsolutePercentEncodedFileUrls) {
  struct Case {
    const char* name;
    const char* argument;
    const char* url;
  };
  const Case cases[] = {
      {"relative path", "examples/basic.sub", "file:///home/user/examples/basic.sub"},
      {"absolute path", "/data/a.sub", "file:///data/a.sub"},
      {"dot segments", "./x/../a.sub", "file:///home/user/a.sub"},
      {"space, hash, question mark, percent", "my subs/#1 a?b%.sub", "file:///home/user/my%20subs/%231%20a%3Fb%25.sub"},
      {"non-ASCII bytes",
       "\xC3\x9C"
       "ber.sub",
       "file:///home/user/%C3%9Cber.sub"},
      {"characters kept as they are", "a-b_c~d.e:f.sub", "file:///home/user/a-b_c~d.e:f.sub"},
      {"a folder named like the scheme", "file/a.sub", "file:///home/user/file/a.sub"},
      {"a file URL stays as given", "file:///x%20y.sub", "file:///x%20y.sub"},
      {"the scheme in any case", "FILE://localhost/a b.sub", "FILE://localhost/a b.sub"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(toFileUrl(c.argument, "/home/user"), c.url);
  }
}

TEST(FileUrl, EncodedPathsAlwaysStartWithASlash) {
  EXPECT_EQ(percentEncodePath("/a b"), "/a%20b");
  EXPECT_EQ(percentEncodePath("C:/a b.sub"), "/C:/a%20b.sub");
  EXPECT_EQ(percentEncodePath(""), "/");
  EXPECT_EQ(percentEncodePath(std::string_view("/\x00\x7F\xFF", 4)), "/%00%7F%FF");
}

}  // namespace
}  // namespace Kelvo::subhost
