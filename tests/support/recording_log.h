// The recording logging library's view for tests: what reached
// KelvoLog_write, and a switch for what KelvoLog_isEnabled answers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct RecordedMessage {
  std::string category;
  std::string function;
  std::int32_t line;
  std::string format;
  std::string text;  // the format with its values
};

SUB_TEST_EXPORT std::vector<RecordedMessage> recordedMessages();
SUB_TEST_EXPORT void clearRecordedMessages();
// What KelvoLog_isEnabled answers from now on (true at start).
SUB_TEST_EXPORT void setRecordingEnabled(bool enabled);
// How many times KelvoLog_isEnabled has been asked.
SUB_TEST_EXPORT int enabledQueries();
