// What the kernel tells of the files this process holds open: the access
// each mode asks for, where it leaves the position, and that the handle goes
// with the File. And the pipes and devices only POSIX names as files.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "temp_files.h"
#include "text/encoding.h"
#include "text/file.h"

namespace Kelvo {
namespace {

struct OpenDescription {
  int flags;
  std::uint64_t position;
};

// How this process holds `file` open, as the kernel reports it.
std::optional<OpenDescription> describeOpenFile(const std::filesystem::path& file) {
  const auto target = std::filesystem::canonical(file);
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code error;
    if (std::filesystem::read_symlink(entry.path(), error) != target) continue;
    std::ifstream info("/proc/self/fdinfo/" + entry.path().filename().string());
    OpenDescription description{};
    std::string key;
    while (info >> key) {
      if (key == "pos:") info >> description.position;
      if (key == "flags:") info >> std::oct >> description.flags >> std::dec;
    }
    return description;
  }
  return std::nullopt;
}

std::u16string wide(const std::filesystem::path& path) { return toWideString(path.string()); }

TEST(FileModes, AskForTheirAccessAndStartWhereTheyShould) {
  struct Case {
    std::uint32_t mode;
    int access;  // O_RDONLY, O_WRONLY or O_RDWR
    std::uint64_t position;
  };
  const Case cases[] = {
      {0, O_RDONLY, 0}, {1, O_WRONLY, 0}, {2, O_WRONLY, 0}, {3, O_RDWR, 0},
      {4, O_RDWR, 0},   {5, O_RDWR, 0},   {6, O_WRONLY, 5}, {7, O_RDWR, 5},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.mode);
    testing::TempFolder folder;
    const auto path = folder.path() / "f.txt";
    // Modes 2 and 5 create a new file, which they may only on a missing name.
    if (row.mode != 2 && row.mode != 5) folder.write("f.txt", "hello");
    File file;
    ASSERT_EQ(file.open(wide(path), row.mode), File::kOpened);
    file.getSize();
    const auto description = describeOpenFile(path);
    ASSERT_TRUE(description.has_value());
    EXPECT_EQ(description->flags & O_ACCMODE, row.access);
    EXPECT_EQ(description->flags & O_APPEND, 0);  // moved to the end once, not appending
    // getSize() leaves the position where the mode put it.
    EXPECT_EQ(description->position, row.position);
  }
}

TEST(File, SecondOpenOpensNothing) {
  testing::TempFolder folder;
  const auto first = folder.write("first.txt", "hello");
  const auto second = folder.write("second.txt", "hi");
  File file;
  ASSERT_EQ(file.open(wide(first), 0), File::kOpened);
  EXPECT_EQ(file.open(wide(second), 0), File::kAlreadyOpen);
  EXPECT_FALSE(describeOpenFile(second).has_value());
}

TEST(File, RefusesPipesAndDevices) {
  testing::TempFolder folder;
  const auto fifo = folder.path() / "pipe";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  struct Case {
    const char* name;
    std::u16string fileName;
    std::uint32_t mode;
  };
  const Case cases[] = {
      // Opening a pipe without a writer must not block.
      {"Fifo", wide(fifo), 0},
      {"FifoForWriting", wide(fifo), 1},
      {"Device", u"/dev/null", 4},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    File file;
    EXPECT_EQ(file.open(row.fileName, row.mode), File::kRefused);
    EXPECT_EQ(file.getSize(), File::kUnknownSize);
  }
}

TEST(File, DestructorClosesTheHandle) {
  testing::TempFolder folder;
  const auto path = folder.write("a.txt", "hello");
  {
    File file;
    ASSERT_EQ(file.open(wide(path), 0), File::kOpened);
    ASSERT_TRUE(describeOpenFile(path).has_value());
  }
  EXPECT_FALSE(describeOpenFile(path).has_value());
}

}  // namespace
}  // namespace Kelvo
