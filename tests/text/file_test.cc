#include "text/file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "temp_files.h"
#include "text/encoding.h"

namespace Kelvo {
namespace {

// How this process holds `file` open, as the kernel reports it.
struct OpenDescription {
  int flags;
  std::uint64_t position;
};

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

struct ModeCase {
  const char* name;
  std::uint32_t mode;
  bool exists;  // the file holds "hello" beforehand
  Status status;
  int access;          // O_RDONLY, O_WRONLY or O_RDWR, when opened
  std::uint64_t size;  // getSize() once opened; the file's size otherwise
  std::uint64_t position;
  bool existsAfter;
};

// Test names and failure messages show the row by its name.
void PrintTo(const ModeCase& row, std::ostream* out) { *out << row.name; }

class FileModes : public ::testing::TestWithParam<ModeCase> {};

TEST_P(FileModes, KeepAccessAndCreationMeanings) {
  const ModeCase& row = GetParam();
  testing::TempFolder folder;
  const auto path = folder.path() / "f.txt";
  if (row.exists) folder.write("f.txt", "hello");
  File file;
  ASSERT_EQ(file.open(wide(path), row.mode), row.status);
  EXPECT_EQ(std::filesystem::exists(path), row.existsAfter);
  if (row.status != File::kOpened) {
    EXPECT_EQ(file.getSize(), File::kUnknownSize);
    if (row.existsAfter) {
      EXPECT_EQ(std::filesystem::file_size(path), row.size);
    }
    return;
  }
  EXPECT_EQ(file.getSize(), row.size);
  const auto description = describeOpenFile(path);
  ASSERT_TRUE(description.has_value());
  EXPECT_EQ(description->flags & O_ACCMODE, row.access);
  EXPECT_EQ(description->flags & O_APPEND, 0);  // moved to the end once, not appending
  // getSize() leaves the position where the mode put it.
  EXPECT_EQ(description->position, row.position);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FileModes,
    ::testing::Values(ModeCase{"ReadExisting", 0, true, File::kOpened, O_RDONLY, 5, 0, true},
                      ModeCase{"ReadMissing", 0, false, File::kRefused, 0, 0, 0, false},
                      ModeCase{"WriteTruncatesExisting", 1, true, File::kOpened, O_WRONLY, 0, 0, true},
                      ModeCase{"WriteCreatesMissing", 1, false, File::kOpened, O_WRONLY, 0, 0, true},
                      ModeCase{"WriteNewRefusesExisting", 2, true, File::kRefused, 0, 5, 0, true},
                      ModeCase{"WriteNewCreatesMissing", 2, false, File::kOpened, O_WRONLY, 0, 0, true},
                      ModeCase{"ReadWriteTruncatesExisting", 3, true, File::kOpened, O_RDWR, 0, 0, true},
                      ModeCase{"ReadWriteKeepsExisting", 4, true, File::kOpened, O_RDWR, 5, 0, true},
                      ModeCase{"ReadWriteCreatesMissing", 4, false, File::kOpened, O_RDWR, 0, 0, true},
                      ModeCase{"ReadWriteNewRefusesExisting", 5, true, File::kRefused, 0, 5, 0, true},
                      ModeCase{"ReadWriteNewCreatesMissing", 5, false, File::kOpened, O_RDWR, 0, 0, true},
                      ModeCase{"WriteAtEndOfExisting", 6, true, File::kOpened, O_WRONLY, 5, 5, true},
                      ModeCase{"WriteAtEndCreatesMissing", 6, false, File::kOpened, O_WRONLY, 0, 0, true},
                      ModeCase{"ReadWriteAtEndOfExisting", 7, true, File::kOpened, O_RDWR, 5, 5, true},
                      ModeCase{"ReadWriteAtEndCreatesMissing", 7, false, File::kOpened, O_RDWR, 0, 0, true}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(File, SecondOpenKeepsTheFirstHandle) {
  testing::TempFolder folder;
  const auto first = folder.write("first.txt", "hello");
  const auto second = folder.write("second.txt", "hi");
  File file;
  ASSERT_EQ(file.open(wide(first), 0), File::kOpened);
  EXPECT_EQ(file.open(wide(second), 0), File::kAlreadyOpen);
  EXPECT_EQ(file.getSize(), 5u);
  EXPECT_FALSE(describeOpenFile(second).has_value());
}

TEST(File, RefusesBadModesNamesAndFilesThatAreNotRegular) {
  testing::TempFolder folder;
  const auto existing = folder.write("a.txt", "hello");
  const auto fifo = folder.path() / "pipe";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  struct Case {
    const char* name;
    std::u16string fileName;
    std::uint32_t mode;
    Status status;
  };
  const Case cases[] = {
      {"ModeAboveSeven", wide(existing), 8, File::kBadMode},
      {"LargestMode", wide(existing), 0xFFFFFFFFu, File::kBadMode},
      {"Folder", wide(folder.path()), 0, File::kRefused},
      // Opening a pipe without a writer must not block.
      {"Fifo", wide(fifo), 0, File::kRefused},
      {"FifoForWriting", wide(fifo), 1, File::kRefused},
      {"Device", u"/dev/null", 4, File::kRefused},
      {"EmptyName", u"", 0, File::kRefused},
      // The name up to the zero unit names an existing file.
      {"ZeroUnitInName", wide(existing) + std::u16string(1, u'\0') + u"x", 0, File::kRefused},
      {"UnpairedHighSurrogate", wide(folder.path()) + u"/\xD800", 4, File::kRefused},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    File file;
    EXPECT_EQ(file.open(row.fileName, row.mode), row.status);
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
