// The host's objects and records as the plug-in uses them. A host implements
// PluginHost, ContainerOwner, MediaClock and FormatList, and fills the records.
// The plug-in never owns these objects. Operations are called by position:
// keep their order. Records have a fixed layout, checked below.
#pragma once

#include <cstddef>
#include <cstdint>

#include "framework/portable_string.h"
#include "framework/setting.h"

namespace Kelvo {

class Plugin;
class StreamInterface;

// The engine that loaded the plug-in; given to _getPlugin.
class PluginHost {
 public:
  // Whether the host can take stream data in the named format ("UTF8").
  virtual bool isFormatSupported(String<char>& format) = 0;
  // Called just before the plug-in object is deleted.
  virtual void pluginDestroying(Plugin* plugin) = 0;
  // Called just after; `plugin` is an identifier only and must not be used.
  virtual void pluginDestroyed(Plugin* plugin) = 0;

 protected:
  ~PluginHost() = default;
};

// The value record the owner fills in answer to a Setting.
struct SettingValue {
  std::uint8_t type;  // one of the kSettingType values
  std::uint8_t unused[7];
  union {
    std::uint8_t boolean;  // kSettingTypeBoolean: 0 is false
    struct {
      std::int32_t first;
      std::int32_t second;
    } ratio;                // kSettingTypeRatio
    String<char>* text;     // kSettingTypeString: owned by the owner
  } payload;
};
static_assert(offsetof(SettingValue, type) == 0);
static_assert(offsetof(SettingValue, payload) == 8);
static_assert(sizeof(SettingValue) == 8 + (sizeof(void*) > 8 ? sizeof(void*) : 8));

inline constexpr std::uint8_t kSettingTypeBoolean = 1;
inline constexpr std::uint8_t kSettingTypeRatio = 8;
inline constexpr std::uint8_t kSettingTypeString = 11;

// The object that drives a container; given to attach.
class ContainerOwner {
 public:
  // A new identifier, distinct per call; kNoIdentifier means none.
  virtual std::uint64_t newIdentifier() = 0;
  // The viewer's language: a code, optionally "-" and a region code. The
  // caller frees the result through its own allocator.
  virtual String<char> getPreferredLanguage() = 0;
  // Answers `setting` into `value`, always writing the type tag.
  virtual void getSetting(Setting& setting, SettingValue* value) = 0;
  virtual void streamAdded(StreamInterface* stream) = 0;
  virtual void streamRemoved(std::uint64_t streamId) = 0;
  virtual void selectStream(std::uint64_t streamId, std::uint32_t flag) = 0;

 protected:
  ~ContainerOwner() = default;
};

// The host's media clock, given to a stream by setClock.
class MediaClock {
 public:
  // The current media time in milliseconds; negative when none is known.
  virtual std::int32_t getMediaTime() = 0;

 protected:
  ~MediaClock() = default;
};

// The source handed to probe and open.
struct SourceDescriptor {
  std::uint32_t reserved;
  String<unsigned char>* url;  // UTF-8; owned by the host
};
static_assert(offsetof(SourceDescriptor, url) == sizeof(void*));
static_assert(sizeof(SourceDescriptor) == 2 * sizeof(void*));

// The format of a stream's data: an 8-byte zero-padded code and three integers.
struct StreamFormat {
  char code[8];
  std::uint32_t recordSize;  // 20
  std::uint32_t unitSize;    // 4
  std::uint32_t flags;       // 0
};
static_assert(offsetof(StreamFormat, code) == 0);
static_assert(offsetof(StreamFormat, recordSize) == 8);
static_assert(offsetof(StreamFormat, unitSize) == 12);
static_assert(offsetof(StreamFormat, flags) == 16);
static_assert(sizeof(StreamFormat) == 20);

// The caller's growable list of formats that probe may append to; the host
// owns the list and its records.
class FormatList {
 public:
  virtual void append(const StreamFormat& format) = 0;

 protected:
  ~FormatList() = default;
};

}  // namespace Kelvo
