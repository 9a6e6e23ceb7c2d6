#include "recording_log.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <mutex>

#include "kelvo_logging.h"

namespace {

std::mutex gMutex;
std::vector<RecordedMessage> gMessages;
std::atomic<bool> gEnabled{true};
std::atomic<int> gQueries{0};

}  // namespace

std::vector<RecordedMessage> recordedMessages() {
  const std::lock_guard<std::mutex> guard(gMutex);
  return gMessages;
}

void clearRecordedMessages() {
  const std::lock_guard<std::mutex> guard(gMutex);
  gMessages.clear();
}

void setRecordingEnabled(bool enabled) { gEnabled = enabled; }

int enabledQueries() { return gQueries; }

extern "C" {

int KelvoLog_configure(const char*) { return 0; }

void KelvoLog_close(void) {}

bool KelvoLog_isEnabled(void) {
  ++gQueries;
  return gEnabled;
}

void KelvoLog_write(const char* category, const char* function, int32_t line, const char* format,
                    va_list* arguments) {
  va_list copy;
  va_copy(copy, *arguments);
  char text[4096];
  std::vsnprintf(text, sizeof text, format, copy);
  va_end(copy);
  const std::lock_guard<std::mutex> guard(gMutex);
  gMessages.push_back({category, function, line, format, text});
}

}  // extern "C"
