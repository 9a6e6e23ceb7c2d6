#include "kelvo_logging.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <string>

namespace {

std::mutex gMutex;
std::FILE* gOut = nullptr;  // null: off
bool gOwnsFile = false;
bool gEnvironmentRead = false;

void closeLocked() {
  if (gOwnsFile && gOut != nullptr) std::fclose(gOut);
  gOut = nullptr;
  gOwnsFile = false;
}

int configureLocked(const char* destination) {
  closeLocked();
  if (destination == nullptr || destination[0] == '\0') return 0;
  if (std::strcmp(destination, "stderr") == 0) {
    gOut = stderr;
    return 0;
  }
  gOut = std::fopen(destination, "a");
  gOwnsFile = gOut != nullptr;
  return gOut != nullptr ? 0 : -1;
}

// KELVO_LOG switches logging on at first use, unless the host configured it first.
void readEnvironmentLocked() {
  if (gEnvironmentRead) return;
  gEnvironmentRead = true;
  if (gOut == nullptr) configureLocked(std::getenv("KELVO_LOG"));
}

std::string timeNow() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto millis =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm parts{};
#if defined(_WIN32)
  gmtime_s(&parts, &seconds);
#else
  gmtime_r(&seconds, &parts);
#endif
  char text[96];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", parts.tm_year + 1900, parts.tm_mon + 1,
                parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec, static_cast<int>(millis));
  return text;
}

}  // namespace

extern "C" {

int KelvoLog_configure(const char* destination) {
  const std::lock_guard<std::mutex> guard(gMutex);
  gEnvironmentRead = true;
  return configureLocked(destination);
}

void KelvoLog_close(void) {
  const std::lock_guard<std::mutex> guard(gMutex);
  closeLocked();
}

bool KelvoLog_isEnabled(void) {
  const std::lock_guard<std::mutex> guard(gMutex);
  readEnvironmentLocked();
  return gOut != nullptr;
}

void KelvoLog_write(const char* category, const char* function, int32_t line, const char* format,
                    va_list* arguments) {
  const std::lock_guard<std::mutex> guard(gMutex);
  readEnvironmentLocked();
  if (gOut == nullptr || format == nullptr || arguments == nullptr) return;
  std::fprintf(gOut, "%s %s %s:%d ", timeNow().c_str(), category != nullptr ? category : "-",
               function != nullptr ? function : "-", static_cast<int>(line));
  va_list copy;
  va_copy(copy, *arguments);
  std::vfprintf(gOut, format, copy);
  va_end(copy);
  // One line per message: the messages that end in a line break keep just one.
  const std::size_t length = std::strlen(format);
  if (length == 0 || format[length - 1] != '\n') std::fputc('\n', gOut);
  std::fflush(gOut);
}

}  // extern "C"
