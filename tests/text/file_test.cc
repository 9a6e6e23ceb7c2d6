#include "text/file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "file_names.h"
#include "temp_files.h"
#include "text/encoding.h"

namespace Kelvo {
namespace {

std::u16string wide(const std::filesystem::path& path) { return toWideString(testing::utf8Of(path)); }

struct ModeCase {
  const char* name;
  std::uint32_t mode;
  bool exists;  // the file holds "hello" beforehand
  Status status;
  std::uint64_t size;  // getSize() once opened; the file's size otherwise
  bool existsAfter;
};

// Test names and failure messages show the row by its name.
void PrintTo(const ModeCase& row, std::ostream* out) { *out << row.name; }

class FileModes : public ::testing::TestWithParam<ModeCase> {};

TEST_P(FileModes, KeepCreationMeanings) {
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
}

INSTANTIATE_TEST_SUITE_P(Cases, FileModes,
                         ::testing::Values(ModeCase{"ReadExisting", 0, true, File::kOpened, 5, true},
                                           ModeCase{"ReadMissing", 0, false, File::kRefused, 0, false},
                                           ModeCase{"WriteTruncatesExisting", 1, true, File::kOpened, 0, true},
                                           ModeCase{"WriteCreatesMissing", 1, false, File::kOpened, 0, true},
                                           ModeCase{"WriteNewRefusesExisting", 2, true, File::kRefused, 5, true},
                                           ModeCase{"WriteNewCreatesMissing", 2, false, File::kOpened, 0, true},
                                           ModeCase{"ReadWriteTruncatesExisting", 3, true, File::kOpened, 0, true},
                                           ModeCase{"ReadWriteKeepsExisting", 4, true, File::kOpened, 5, true},
                                           ModeCase{"ReadWriteCreatesMissing", 4, false, File::kOpened, 0, true},
                                           ModeCase{"ReadWriteNewRefusesExisting", 5, true, File::kRefused, 5, true},
                                           ModeCase{"ReadWriteNewCreatesMissing", 5, false, File::kOpened, 0, true},
                                           ModeCase{"WriteAtEndOfExisting", 6, true, File::kOpened, 5, true},
                                           ModeCase{"WriteAtEndCreatesMissing", 6, false, File::kOpened, 0, true},
                                           ModeCase{"ReadWriteAtEndOfExisting", 7, true, File::kOpened, 5, true},
                                           ModeCase{"ReadWriteAtEndCreatesMissing", 7, false, File::kOpened, 0, true}),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(File, SecondOpenKeepsTheFirstHandle) {
  testing::TempFolder folder;
  const auto first = folder.write("first.txt", "hello");
  const auto second = folder.write("second.txt", "hi");
  File file;
  ASSERT_EQ(file.open(wide(first), 0), File::kOpened);
  EXPECT_EQ(file.open(wide(second), 0), File::kAlreadyOpen);
  EXPECT_EQ(file.getSize(), 5u);
}

TEST(File, RefusesBadModesAndNames) {
  testing::TempFolder folder;
  const auto existing = folder.write("a.txt", "hello");
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

}  // namespace
}  // namespace Kelvo
