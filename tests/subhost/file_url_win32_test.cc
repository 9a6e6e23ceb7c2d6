// Windows paths: drive letters and backslashes become a file URL's
// "/C:/..." path with forward slashes.
#include <gtest/gtest.h>

#include "file_url.h"

namespace Kelvo::subhost {
namespace {

TEST(FileUrl, WindowsPathsKeepTheirDriveAndTurnTheirSlashes) {
  struct Case {
    const char* name;
    const char* argument;
    const char* url;
  };
  const Case cases[] = {
      {"relative path", "examples\\basic.sub", "file:///D:/work/examples/basic.sub"},
      {"drive path", "C:\\films\\a b.sub", "file:///C:/films/a%20b.sub"},
      {"forward slashes", "C:/films/a.sub", "file:///C:/films/a.sub"},
      {"dot segments", "x\\..\\..\\a.sub", "file:///D:/a.sub"},
      {"root of the current drive", "\\films\\a.sub", "file:///D:/films/a.sub"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(toFileUrl(c.argument, "D:\\work"), c.url);
  }
}

}  // namespace
}  // namespace Kelvo::subhost
