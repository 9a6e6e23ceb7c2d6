// A shared library loaded by file name and unloaded when this object dies.
// Entry points are looked up once after loading; the pointers may then be
// shared between threads.
#pragma once

namespace Kelvo::platform {

class DynamicLibrary final {
 public:
  DynamicLibrary() = default;
  // Loads `fileName` (UTF-8) with the platform's ordinary search; on ELF a
  // name without a slash is also found beside the plug-in module, and on
  // Windows "/" separates folders as "\" does. On failure the result's
  // loaded() is false.
  static DynamicLibrary load(const char* fileName);

  DynamicLibrary(DynamicLibrary&& other) noexcept : handle(other.handle) { other.handle = nullptr; }
  DynamicLibrary& operator=(DynamicLibrary&& other) noexcept {
    if (this != &other) {
      unload();
      handle = other.handle;
      other.handle = nullptr;
    }
    return *this;
  }
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;
  ~DynamicLibrary() { unload(); }

  bool loaded() const { return handle != nullptr; }
  // The entry point called `name`, or nullptr. Requires: loaded().
  void* find(const char* name) const;
  // Unloads the library now; loaded() is false afterwards.
  void unload();

 private:
  explicit DynamicLibrary(void* loadedHandle) : handle(loadedHandle) {}
  void* handle = nullptr;
};

}  // namespace Kelvo::platform
