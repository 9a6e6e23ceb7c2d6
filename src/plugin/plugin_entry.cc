// The module's one export. Every call creates a new, independent plug-in
// object with one reference, owned by the caller.
#include <exception>

#include "sub/sub_container.h"

#if defined(_WIN32)
#define SUB_EXPORT extern "C" __declspec(dllexport)
#else
#define SUB_EXPORT extern "C" __attribute__((visibility("default")))
#endif

SUB_EXPORT int _getPlugin(Kelvo::PluginHost* host, Kelvo::Plugin** pluginOut) {
  if (pluginOut == nullptr) return 0;
  try {
    *pluginOut = new Kelvo::SUBContainer(host);
  } catch (const std::exception&) {
    *pluginOut = nullptr;  // out of memory: no object, and still status 0
  }
  return 0;
}
