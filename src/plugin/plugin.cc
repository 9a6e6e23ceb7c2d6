#include "plugin/plugin.h"

namespace Kelvo {

Plugin::Plugin(PluginHost* pluginHost) : host(pluginHost) {}

Plugin::~Plugin() = default;

std::int32_t Plugin::addReference() { return ++referenceCount; }

std::int32_t Plugin::releaseReference() {
  const std::int32_t count = --referenceCount;
  if (count != 0) return count;
  PluginHost* const notified = host;
  Plugin* const self = this;
  if (notified != nullptr) notified->pluginDestroying(self);
  delete this;
  if (notified != nullptr) notified->pluginDestroyed(self);
  return 0;
}

std::int32_t Plugin::getReferenceCount() { return referenceCount; }

std::int32_t Plugin::getReservedValue() { return reservedValue; }

PluginHost* Plugin::getHost() { return host; }

}  // namespace Kelvo
