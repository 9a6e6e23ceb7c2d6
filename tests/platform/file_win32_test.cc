// What only Windows has: device names that any folder holds, and sharing,
// which decides what others may do with a file while a handle holds it.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>

#include "file_names.h"
#include "platform/file_handle.h"
#include "platform/file_reader.h"
#include "temp_files.h"

namespace Kelvo::platform {
namespace {

using testing::utf8Of;

// The null device by its plain name, in another letter case, inside a folder
// and in the device namespace: never a regular file, never read.
TEST(DeviceNames, AreNotRegularFiles) {
  testing::TempFolder folder;
  for (const std::string& name :
       {std::string("NUL"), std::string("nul"), utf8Of(folder.path() / "NUL"), std::string("\\\\.\\NUL")}) {
    SCOPED_TRACE(name);
    FileReader reader;
    EXPECT_EQ(reader.open(name.c_str()), FileStatus::kNotRegularFile);
    EXPECT_FALSE(reader.isOpen());
    FileHandle handle;
    EXPECT_EQ(handle.open(name.c_str(), FileOpenMode::kReadWriteAlways), FileStatus::kNotRegularFile);
    EXPECT_FALSE(handle.isOpen());
  }
}

// Whether another opener, which itself shares everything, may read or write
// the file while `holder` has it open.
bool othersMay(DWORD access, const std::filesystem::path& path) {
  const HANDLE other = CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
  if (other == INVALID_HANDLE_VALUE) return false;
  CloseHandle(other);
  return true;
}

TEST(FileHandle, ModeZeroSharesWritingAndEveryModeSharesReading) {
  struct Case {
    FileOpenMode mode;
    bool othersMayWrite;
  };
  const Case cases[] = {
      {FileOpenMode::kReadExisting, true},     {FileOpenMode::kWriteTruncate, false},
      {FileOpenMode::kWriteNew, false},        {FileOpenMode::kReadWriteTruncate, false},
      {FileOpenMode::kReadWriteAlways, false}, {FileOpenMode::kReadWriteNew, false},
      {FileOpenMode::kWriteAtEnd, false},      {FileOpenMode::kReadWriteAtEnd, false},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(static_cast<int>(row.mode));
    testing::TempFolder folder;
    const auto path = folder.path() / "a.txt";
    if (row.mode != FileOpenMode::kWriteNew && row.mode != FileOpenMode::kReadWriteNew) folder.write("a.txt", "hello");
    FileHandle holder;
    ASSERT_EQ(holder.open(utf8Of(path).c_str(), row.mode), FileStatus::kOk);
    EXPECT_TRUE(othersMay(GENERIC_READ, path));
    EXPECT_EQ(othersMay(GENERIC_WRITE, path), row.othersMayWrite);
    holder.close();
    EXPECT_TRUE(othersMay(GENERIC_WRITE, path));
  }
}

TEST(FileHandle, AHandleThatRefusesSharingIsReportedAsAccessDenied) {
  testing::TempFolder folder;
  const auto path = folder.write("a.txt", "hello");
  FileHandle writer;
  ASSERT_EQ(writer.open(utf8Of(path).c_str(), FileOpenMode::kReadWriteAlways), FileStatus::kOk);
  FileHandle second;
  EXPECT_EQ(second.open(utf8Of(path).c_str(), FileOpenMode::kWriteAtEnd), FileStatus::kAccessDenied);
  EXPECT_FALSE(second.isOpen());
  // Reading is shared, so the reader gets in.
  FileReader reader;
  EXPECT_EQ(reader.open(utf8Of(path).c_str()), FileStatus::kOk);
}

}  // namespace
}  // namespace Kelvo::platform
