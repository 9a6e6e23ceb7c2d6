// Plugin: the object _getPlugin hands the host. It counts references (not
// atomically: the host serialises addReference and releaseReference for one
// object), remembers the host, and answers interface queries. The host calls
// these operations by position: keep their order.
#pragma once

#include <cstdint>

#include "framework/portable_string.h"
#include "plugin/host_interfaces.h"
#include "plugin/status.h"

namespace Kelvo {

class Plugin {
 public:
  explicit Plugin(PluginHost* pluginHost);
  Plugin(const Plugin&) = delete;
  Plugin& operator=(const Plugin&) = delete;
  virtual ~Plugin();

  // Adds one reference; returns the new count.
  virtual std::int32_t addReference();
  // Drops one reference and returns the new count. At 0 the host hears
  // pluginDestroying, the object is deleted, and the host hears
  // pluginDestroyed with the same pointer value.
  virtual std::int32_t releaseReference();
  virtual std::int32_t getReferenceCount();
  // Always 0.
  virtual std::int32_t getReservedValue();
  virtual PluginHost* getHost();
  // Sets *interfaceOut to the interface named `id` and returns kStatusOk, or
  // to null with kStatusNoInterface. The interface lives as long as this object.
  virtual Status queryInterface(String<char>& id, void** interfaceOut) = 0;

  std::int32_t referenceCount = 1;
  PluginHost* host;
  std::int32_t reservedValue = 0;
};

}  // namespace Kelvo
