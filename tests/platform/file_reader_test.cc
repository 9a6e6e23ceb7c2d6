#include "platform/file_reader.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "platform/file_handle.h"
#include "temp_files.h"

namespace Kelvo::platform {
namespace {

TEST(FileReader, ReadsARegularFileWhole) {
  testing::TempFolder folder;
  const auto path = folder.write("a.txt", std::string("line\r\n\0end", 10));
  FileReader reader;
  ASSERT_EQ(reader.open(path.c_str()), FileStatus::kOk);
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

TEST(FileReader, RefusesWhatIsNotARegularFile) {
  testing::TempFolder folder;
  const auto fifo = folder.path() / "pipe";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const auto socketPath = folder.path() / "socket";
  const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_NE(listener, -1);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
  ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  struct Case {
    std::string path;
    FileStatus status;
  };
  const Case cases[] = {
      {(folder.path() / "missing").string(), FileStatus::kNotFound},
      {(folder.path() / "missing" / "a.txt").string(), FileStatus::kNotFound},
      {folder.path().string(), FileStatus::kNotRegularFile},
      {fifo.string(), FileStatus::kNotRegularFile},
      {socketPath.string(), FileStatus::kNotRegularFile},
      {"/dev/zero", FileStatus::kNotRegularFile},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.path);
    FileReader reader;
    EXPECT_EQ(reader.open(row.path.c_str()), row.status);
    EXPECT_FALSE(reader.isOpen());
  }
  ::close(listener);
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
    EXPECT_EQ(handle.open(row.path.c_str(), row.mode), row.status);
    EXPECT_EQ(handle.isOpen(), row.status == FileStatus::kOk);
  }
}

TEST(FileHandle, MovingHandsTheFileOver) {
  testing::TempFolder folder;
  const auto path = folder.write("a.txt", "hello");
  FileHandle first;
  ASSERT_EQ(first.open(path.c_str(), FileOpenMode::kReadExisting), FileStatus::kOk);
  FileHandle second = std::move(first);
  EXPECT_FALSE(first.isOpen());
  ASSERT_TRUE(second.isOpen());
  EXPECT_EQ(second.size(), 5u);
}

}  // namespace
}  // namespace Kelvo::platform
