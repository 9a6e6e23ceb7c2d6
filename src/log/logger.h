// The process-wide logger. Statements go to an optional logging library bound
// at run time on first use; when it is missing or lacks an entry point every
// statement is a no-op for the rest of the process. The logger formats
// nothing: the library decides whether and how a message is written.
// Any thread may log; the logger takes no lock of its own.
#pragma once

#include <cstdint>

#include "platform/dynamic_library.h"

namespace Kelvo {

// The binding to the logging library's four entry points.
class LoggerImpl {
 public:
  using ConfigureFn = void (*)();
  using CloseFn = void (*)();
  using IsEnabledFn = bool (*)();
  using WriteFn = void (*)(const char* category, const char* function, std::int32_t line, const char* format,
                           void* arguments);

  LoggerImpl() = default;
  LoggerImpl(const LoggerImpl&) = delete;
  LoggerImpl& operator=(const LoggerImpl&) = delete;
  virtual ~LoggerImpl();

  // Loads the logging library and looks up all four entry points; on any
  // failure unloads it, leaves every field null and returns false.
  bool load();
  // The same over another file name: the seam for the unusable cases.
  bool load(const char* fileName);

  platform::DynamicLibrary library;
  ConfigureFn configureFn = nullptr;
  CloseFn closeFn = nullptr;
  IsEnabledFn isEnabledFn = nullptr;
  WriteFn writeFn = nullptr;
};

class Logger {
 public:
  // Binds the library called `fileName`; impl stays null when it cannot.
  explicit Logger(const char* fileName);
  Logger(const Logger&) = delete;
  Logger& operator=(const Logger&) = delete;
  // Closes the library through its entry point; the process-wide logger is
  // never destroyed.
  virtual ~Logger();

  // The process-wide logger, created by the first call (once, even when two
  // threads call first together); never null.
  static Logger* instance();

  // Hands one message to the library when it is bound and enabled: the
  // category, the logging function's qualified name, a line number, a
  // printf-style format and its values.
  void log(const char* category, const char* function, std::int32_t line, const char* format, ...);

  LoggerImpl* impl = nullptr;
};

// The logging library's file name on this platform.
extern const char* const kLoggingLibraryFile;

}  // namespace Kelvo
