#include <dlfcn.h>

#include <cassert>

#include "platform/dynamic_library.h"

namespace Kelvo::platform {

DynamicLibrary DynamicLibrary::load(const char* fileName) {
  // dlopen searches the calling module's RUNPATH ($ORIGIN for the plug-in),
  // so a companion library installed beside the module is found.
  return DynamicLibrary(fileName == nullptr ? nullptr : dlopen(fileName, RTLD_NOW | RTLD_LOCAL));
}

void* DynamicLibrary::find(const char* name) const {
  assert(handle != nullptr);
  return dlsym(handle, name);
}

void DynamicLibrary::unload() {
  if (handle != nullptr) dlclose(handle);
  handle = nullptr;
}

}  // namespace Kelvo::platform
