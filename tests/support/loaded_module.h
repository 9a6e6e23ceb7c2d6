// The built plug-in module, loaded with the platform loader as a host loads it.
#pragma once

#include <gtest/gtest.h>

#include "plugin/plugin.h"
#include "platform/dynamic_library.h"

namespace Kelvo::testing {

using GetPluginFn = int (*)(PluginHost*, Plugin**);

class LoadedModule {
 public:
  LoadedModule() : library_(platform::DynamicLibrary::load(SUB_MODULE_PATH)) {
    if (library_.loaded()) getPlugin_ = reinterpret_cast<GetPluginFn>(library_.find("_getPlugin"));
  }
  bool ready() const { return getPlugin_ != nullptr; }
  GetPluginFn getPlugin() const { return getPlugin_; }

 private:
  platform::DynamicLibrary library_;
  GetPluginFn getPlugin_ = nullptr;
};

}  // namespace Kelvo::testing
