/* The companion logging library's entry points, as a host and the plug-in
 * use them. Logging is off until KelvoLog_configure (or the environment
 * variable KELVO_LOG, read on first use) names a destination. Every entry
 * point is safe to call from several threads at once. */
#ifndef KELVO_LOGGING_H
#define KELVO_LOGGING_H

#include <stdarg.h>
#include <stdbool.h>
#include <stdint.h>

#if defined(_WIN32)
#define KELVO_LOG_API __declspec(dllexport)
#else
#define KELVO_LOG_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Switches logging on to `destination`: "stderr", or a file path opened for
 * appending; null or "" switches it off. Returns 0, or -1 when the file
 * cannot be opened (logging is then off). */
KELVO_LOG_API int KelvoLog_configure(const char* destination);

/* Switches logging off and closes a log file. */
KELVO_LOG_API void KelvoLog_close(void);

/* Whether a message would be written now. */
KELVO_LOG_API bool KelvoLog_isEnabled(void);

/* Writes one line: time, category, function, line, and `format` formatted
 * with the values that `arguments` (the address of a va_list positioned at
 * the first value) holds. */
KELVO_LOG_API void KelvoLog_write(const char* category, const char* function, int32_t line, const char* format,
                                  va_list* arguments);

#ifdef __cplusplus
}
#endif

#endif
