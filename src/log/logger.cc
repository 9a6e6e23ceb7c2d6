#include "log/logger.h"

#include <cstdarg>
#include <utility>

namespace Kelvo {

#if defined(_WIN32)
const char* const kLoggingLibraryFile = "Kelvo_Logging.dll";
#elif defined(__APPLE__)
const char* const kLoggingLibraryFile = "libKelvo_Logging.dylib";
#else
const char* const kLoggingLibraryFile = "libKelvo_Logging.so";
#endif

LoggerImpl::~LoggerImpl() {
  writeFn = nullptr;
  isEnabledFn = nullptr;
  configureFn = nullptr;
  library.unload();
}

bool LoggerImpl::load() { return load(kLoggingLibraryFile); }

bool LoggerImpl::load(const char* fileName) {
  platform::DynamicLibrary loaded = platform::DynamicLibrary::load(fileName);
  if (!loaded.loaded()) return false;
  auto* configure = reinterpret_cast<ConfigureFn>(loaded.find("KelvoLog_configure"));
  auto* close = reinterpret_cast<CloseFn>(loaded.find("KelvoLog_close"));
  auto* isEnabled = reinterpret_cast<IsEnabledFn>(loaded.find("KelvoLog_isEnabled"));
  auto* write = reinterpret_cast<WriteFn>(loaded.find("KelvoLog_write"));
  // Any missing entry point makes the binding unusable as a whole; the
  // library is unloaded when `loaded` goes out of scope.
  if (configure == nullptr || close == nullptr || isEnabled == nullptr || write == nullptr) return false;
  library = std::move(loaded);
  configureFn = configure;
  closeFn = close;
  isEnabledFn = isEnabled;
  writeFn = write;
  return true;
}

Logger::Logger(const char* fileName) : impl(new LoggerImpl()) {
  if (!impl->load(fileName)) {
    delete impl;
    impl = nullptr;
  }
}

Logger::~Logger() {
  if (impl != nullptr) {
    impl->closeFn();
    delete impl;
    impl = nullptr;
  }
}

Logger* Logger::instance() {
  // Never destroyed: the library stays loaded while the plug-in is.
  static Logger* const logger = new Logger(kLoggingLibraryFile);
  return logger;
}

void Logger::log(const char* category, const char* function, std::int32_t line, const char* format, ...) {
  if (impl == nullptr || !impl->isEnabledFn()) return;
  va_list arguments;
  va_start(arguments, format);
  impl->writeFn(category, function, line, format, &arguments);
  va_end(arguments);
}

}  // namespace Kelvo
