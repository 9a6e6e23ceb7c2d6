// What Windows shows of a file this process holds open: without shared
// deletion it cannot be removed, so the File's handle can be seen to go.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "file_names.h"
#include "temp_files.h"
#include "text/encoding.h"
#include "text/file.h"

namespace Kelvo {
namespace {

std::u16string wide(const std::filesystem::path& path) { return toWideString(testing::utf8Of(path)); }

bool removable(const std::filesystem::path& path) {
  std::error_code error;
  return std::filesystem::remove(path, error);
}

TEST(File, DestructorClosesTheHandle) {
  testing::TempFolder folder;
  const auto path = folder.write("a.txt", "hello");
  const auto other = folder.write("b.txt", "hello");
  {
    File file;
    ASSERT_EQ(file.open(wide(path), 0), File::kOpened);
    EXPECT_FALSE(removable(path));
    EXPECT_TRUE(removable(other));
  }
  EXPECT_TRUE(removable(path));
}

}  // namespace
}  // namespace Kelvo
