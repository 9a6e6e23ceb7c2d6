// The files only POSIX can name: pipes, devices, and names that are not UTF-8.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "recording_log.h"
#include "temp_files.h"
#include "test_host.h"
#include "text/parser_utilities.h"

namespace Kelvo {
namespace {

TEST(ReadTextFileOnPosix, PipesDevicesAndNamesThatAreNotUtf8AreLoggedUnread) {
  testing::TempFolder folder;
  const auto fifo = folder.path() / "pipe.sub";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const auto notUtf8 = folder.path() / "\xFF.sub";
  std::ofstream(notUtf8) << "abc";
  const std::filesystem::path cases[] = {
      fifo,         // would block the reader forever
      "/dev/zero",  // would be read without end
      notUtf8,      // exists, but its name is not UTF-8
  };
  testing::FakeOwner owner;
  for (const auto& path : cases) {
    SCOPED_TRACE(path.string());
    clearRecordedMessages();
    String<unsigned char> text = String<unsigned char>::fromView("unchanged");
    EXPECT_FALSE(ParserUtilities::readTextFile(String<unsigned char>::fromView(path.string()), &owner, &text, -1));
    EXPECT_EQ(text.toStdString(), "unchanged");
    const auto messages = recordedMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].line, 284);
    EXPECT_EQ(messages[0].text, "Failed to open file " + path.string() + "\n");
  }
}

}  // namespace
}  // namespace Kelvo
