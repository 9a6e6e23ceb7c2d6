// What only POSIX has: pipes, sockets and device files among the names a
// file may be opened by.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "platform/file_handle.h"
#include "platform/file_reader.h"
#include "temp_files.h"

namespace Kelvo::platform {
namespace {

// A FIFO without a writer, a listening socket and a device: opening none of
// them may block, and none is read.
class SpecialFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_NE(listener, -1);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, socketPath.c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  }
  void TearDown() override {
    if (listener != -1) ::close(listener);
  }

  testing::TempFolder folder;
  const std::string fifo = (folder.path() / "pipe").string();
  const std::string socketPath = (folder.path() / "socket").string();
  int listener = -1;
};

TEST_F(SpecialFiles, AreNotRegularFilesToTheReader) {
  for (const std::string& path : {fifo, socketPath, std::string("/dev/zero")}) {
    SCOPED_TRACE(path);
    FileReader reader;
    EXPECT_EQ(reader.open(path.c_str()), FileStatus::kNotRegularFile);
    EXPECT_FALSE(reader.isOpen());
  }
}

TEST_F(SpecialFiles, AreNotRegularFilesToTheHandle) {
  struct Case {
    std::string path;
    FileOpenMode mode;
  };
  const Case cases[] = {
      {fifo, FileOpenMode::kReadExisting},
      {fifo, FileOpenMode::kWriteTruncate},  // a writer without a reader must not block either
      {"/dev/null", FileOpenMode::kReadWriteAlways},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.path);
    FileHandle handle;
    EXPECT_EQ(handle.open(row.path.c_str(), row.mode), FileStatus::kNotRegularFile);
    EXPECT_FALSE(handle.isOpen());
  }
}

}  // namespace
}  // namespace Kelvo::platform
