#include "log/logger.h"

#include <gtest/gtest.h>

#include <thread>

#include "recording_log.h"

namespace Kelvo {
namespace {

class LoggerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    clearRecordedMessages();
    setRecordingEnabled(true);
  }
  void TearDown() override { setRecordingEnabled(true); }
};

TEST_F(LoggerTest, AStatementReachesTheLibraryWithItsValues) {
  Logger::instance()->log("Container", "Kelvo::Example::run", 602, "seeked to %d of %s", 1500, "end");
  const auto messages = recordedMessages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].category, "Container");
  EXPECT_EQ(messages[0].function, "Kelvo::Example::run");
  EXPECT_EQ(messages[0].line, 602);
  EXPECT_EQ(messages[0].format, "seeked to %d of %s");
  EXPECT_EQ(messages[0].text, "seeked to 1500 of end");
}

TEST_F(LoggerTest, EnabledTestIsMadeForEveryStatement) {
  setRecordingEnabled(false);
  const int asked = enabledQueries();
  Logger::instance()->log("Subtitle", "f", 1, "hidden %d", 1);
  EXPECT_TRUE(recordedMessages().empty());
  setRecordingEnabled(true);
  Logger::instance()->log("Subtitle", "f", 2, "shown %d", 2);
  ASSERT_EQ(recordedMessages().size(), 1u);
  EXPECT_EQ(recordedMessages()[0].text, "shown 2");
  EXPECT_EQ(enabledQueries(), asked + 2);
}

TEST_F(LoggerTest, ProcessLoggerIsCreatedOnceAcrossThreads) {
  Logger* seen[4] = {};
  std::thread threads[4];
  for (int i = 0; i < 4; ++i) threads[i] = std::thread([&seen, i] { seen[i] = Logger::instance(); });
  for (auto& thread : threads) thread.join();
  for (Logger* logger : seen) EXPECT_EQ(logger, Logger::instance());
  ASSERT_NE(Logger::instance()->impl, nullptr);
  EXPECT_TRUE(Logger::instance()->impl->library.loaded());
}

TEST_F(LoggerTest, LibraryWithoutConfigureSwitchesLoggingOff) {
  ASSERT_TRUE(platform::DynamicLibrary::load(SUB_INCOMPLETE_LOG_PATH).loaded()) << "the test library is missing";
  Logger logger(SUB_INCOMPLETE_LOG_PATH);
  EXPECT_EQ(logger.impl, nullptr);
  logger.log("Container", "f", 1, "nothing %d", 1);
  EXPECT_TRUE(recordedMessages().empty());
}

TEST_F(LoggerTest, MissingLibrarySwitchesLoggingOff) {
  Logger logger("sub_no_such_logging_library");
  EXPECT_EQ(logger.impl, nullptr);
  logger.log("Container", "f", 1, "nothing");
  EXPECT_TRUE(recordedMessages().empty());
}

TEST_F(LoggerTest, ImplLoadFillsEveryEntryPoint) {
  LoggerImpl impl;
  ASSERT_TRUE(impl.load());
  EXPECT_NE(impl.configureFn, nullptr);
  EXPECT_NE(impl.closeFn, nullptr);
  EXPECT_NE(impl.isEnabledFn, nullptr);
  EXPECT_NE(impl.writeFn, nullptr);
  LoggerImpl incomplete;
  EXPECT_FALSE(incomplete.load(SUB_INCOMPLETE_LOG_PATH));
  EXPECT_FALSE(incomplete.library.loaded());
  EXPECT_EQ(incomplete.configureFn, nullptr);
  EXPECT_EQ(incomplete.writeFn, nullptr);
}

}  // namespace
}  // namespace Kelvo
