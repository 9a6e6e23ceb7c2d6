// The recording logging library's view for tests: what reached
// KelvoLog_write, and a switch for what KelvoLog_isEnabled answers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#if defined(_WIN32)
#define RECORDING_API __declspec(dllexport)
#else
#define RECORDING_API __attribute__((visibility("default")))
#endif

struct RecordedMessage {
  std::string category;
  std::string function;
  std::int32_t line;
  std::string format;
  std::string text;  // the format with its values
};

RECORDING_API std::vector<RecordedMessage> recordedMessages();
RECORDING_API void clearRecordedMessages();
// What KelvoLog_isEnabled answers from now on (true at start).
RECORDING_API void setRecordingEnabled(bool enabled);
// How many times KelvoLog_isEnabled has been asked.
RECORDING_API int enabledQueries();
