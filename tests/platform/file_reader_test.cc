#include "platform/file_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "file_names.h"
#include "platform/file_handle.h"
#include "temp_files.h"

namespace Kelvo::platform {
namespace {

using testing::utf8Of;

TEST(FileReader, ReadsARegularFileWhole) {
  testing::TempFolder folder;
  const auto path = folder.write("a.txt", std::string("line\r\n\0end", 10));
  FileReader reader;
  ASSERT_EQ(reader.open(utf8Of(path).c_str()), FileStatus::kOk);
  EXPECT_EQ(reader.size(), 10u);
  char bytes[16] = {};
  std::uint32_t got = 0;
  // Asking for more than the file holds stops at its end.
  EXPECT_EQ(reader.read(bytes, sizeof bytes, &got), FileStatus::kOk);
  EXPECT_EQ(got, 10u);
  EXPECT_EQ(std::string(bytes, got), std::string("line\r\n\0end", 10));
  reader.close();
  EXPECT_FALSE(reader.isOpen());
}

TEST(FileReader, FindsAFileByItsUtf8Name) {
  testing::TempFolder folder;
  const auto path = folder.path() / std::filesystem::path(u8"caf\u00E9 \u0434\u043E\u043C.txt");
  std::ofstream(path, std::ios::binary) << "abc";
  FileReader reader;
  ASSERT_EQ(reader.open(utf8Of(path).c_str()), FileStatus::kOk);
  EXPECT_EQ(reader.size(), 3u);
}

TEST(FileReader, RefusesMissingFilesAndFolders) {
  testing::TempFolder folder;
  struct Case {
    std::filesystem::path path;
    FileStatus status;
  };
  const Case cases[] = {
      {folder.path() / "missing", FileStatus::kNotFound},
      {folder.path() / "missing" / "a.txt", FileStatus::kNotFound},
      {folder.path(), FileStatus::kNotRegularFile},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(utf8Of(row.path));
    FileReader reader;
    EXPECT_EQ(reader.open(utf8Of(row.path).c_str()), row.status);
    EXPECT_FALSE(reader.isOpen());
  }
}

TEST(FileHandle, ReportsWhyTheModeWasRefused) {
  testing::TempFolder folder;
  const auto existing = folder.write("a.txt", "hello");
  struct Case {
    const char* name;
    std::filesystem::path path;
    FileOpenMode mode;
    FileStatus status;
  };
  const Case cases[] = {
      {"Missing", folder.path() / "missing", FileOpenMode::kReadExisting, FileStatus::kNotFound},
      {"NewOverExisting", existing, FileOpenMode::kWriteNew, FileStatus::kAlreadyExists},
      {"FolderForWriting", folder.path(), FileOpenMode::kReadWriteAlways, FileStatus::kNotRegularFile},
      {"Existing", existing, FileOpenMode::kReadWriteAtEnd, FileStatus::kOk},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    FileHandle handle;
    EXPECT_EQ(handle.open(utf8Of(row.path).c_str(), row.mode), row.status);
    EXPECT_EQ(handle.isOpen(), row.status == FileStatus::kOk);
  }
}

TEST(FileHandle, MovingHandsTheFileOver) {
  testing::TempFolder folder;
  const auto path = folder.write("a.txt", "hello");
  FileHandle first;
  ASSERT_EQ(first.open(utf8Of(path).c_str(), FileOpenMode::kReadExisting), FileStatus::kOk);
  FileHandle second = std::move(first);
  EXPECT_FALSE(first.isOpen());
  ASSERT_TRUE(second.isOpen());
  EXPECT_EQ(second.size(), 5u);
}

}  // namespace
}  // namespace Kelvo::platform
