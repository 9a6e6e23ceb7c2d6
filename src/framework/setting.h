// A question to the host's setting service: a kind code, a group and a name.
// Built just before the question and destroyed right after it.
#pragma once

#include <cstdint>

#include "framework/portable_string.h"

namespace Kelvo {

class Setting {
 public:
  // Copies both names onto the process-wide char allocator.
  Setting(std::int32_t settingKind, const String<char>& settingGroup, const String<char>& settingName)
      : kind(settingKind),
        group(settingGroup, StandardAllocator<char>::instance()),
        name(settingName, StandardAllocator<char>::instance()) {}
  Setting(const Setting&) = delete;
  Setting& operator=(const Setting&) = delete;
  virtual ~Setting() {
    name.clear();
    group.clear();
  }

  std::int32_t kind;
  String<char> group;
  String<char> name;
};

// The kind of every question the plug-in asks.
inline constexpr std::int32_t kSettingKindValue = 4;

}  // namespace Kelvo
