// The host's side of the plug-in boundary: the PluginHost given to
// _getPlugin, the ContainerOwner given to attach, and the format list given
// to probe. They answer from the command line's settings and record what the
// plug-in announces. The plug-in calls them on the host's thread, under its
// own locks; none of them lets an exception out.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "framework/portable_string.h"
#include "framework/setting.h"
#include "options.h"
#include "plugin/host_interfaces.h"
#include "plugin/status.h"

namespace Kelvo::subhost {

// The type tag of a setting the host does not give; the plug-in uses no such tag.
inline constexpr std::uint8_t kSettingNotGiven = 0;

// What the host tells the plug-in.
struct HostSettings {
  std::optional<std::string> codepage;  // "CodePage"/"Name"
  bool overrideEmbedded = false;        // "CodePage"/"OverrideEmbedded"
  std::optional<FrameRate> frameRate;   // "FrameRate"/"Ratio", as a frame duration
  std::string preferredLanguage;        // CODE or CODE-REGION, or empty
  bool utf8Supported = true;            // the answer to isFormatSupported("UTF8")
};

// The language of a POSIX locale name as CODE or CODE-REGION: "de_AT.UTF-8@euro"
// gives "de-AT"; "C", "POSIX" and "" give "".
std::string languageFromLocaleName(std::string_view localeName);

class HostServices final : public PluginHost, public ContainerOwner {
 public:
  explicit HostServices(HostSettings hostSettings);
  HostServices(const HostServices&) = delete;
  HostServices& operator=(const HostServices&) = delete;
  ~HostServices();

  // PluginHost: true for "UTF8" unless the settings say otherwise, false for
  // any other format.
  bool isFormatSupported(String<char>& format) override;
  void pluginDestroying(Plugin* plugin) override;
  void pluginDestroyed(Plugin* plugin) override;

  // ContainerOwner: identifiers count up from 1.
  std::uint64_t newIdentifier() override;
  String<char> getPreferredLanguage() override;
  // "CodePage"/"OverrideEmbedded" as a boolean; "CodePage"/"Name" as a string
  // when a code page is set; "FrameRate"/"Ratio" as the frame duration
  // (denominator, numerator) of the frame rate when one is set; anything else
  // as kSettingNotGiven.
  void getSetting(Setting& setting, SettingValue* value) override;
  // The host owns an announced stream from now on (see takeStreams).
  void streamAdded(StreamInterface* stream) override;
  void streamRemoved(std::uint64_t streamId) override;
  void selectStream(std::uint64_t streamId, std::uint32_t flag) override;

  // The streams announced so far, in order; they stay the host's to delete.
  const std::vector<StreamInterface*>& streams() const { return announced; }
  // Hands the announced streams to the caller, who deletes them once the
  // container no longer uses them (after closeStreams).
  std::vector<StreamInterface*> takeStreams();
  // The stream last selected, or kNoIdentifier.
  std::uint64_t selectedStream() const { return selected; }
  // Whether the plug-in object reported its destruction.
  bool pluginGone() const { return destroyed; }

 private:
  HostSettings settings;
  String<char> codepageName;  // the "CodePage"/"Name" answer, valid while this object lives
  std::uint64_t lastIdentifier = 0;
  std::vector<StreamInterface*> announced;
  std::uint64_t selected = kNoIdentifier;
  bool destroyed = false;
};

// The format records that probe appends when the host lacks a format.
class FormatRecords final : public FormatList {
 public:
  FormatRecords() = default;
  FormatRecords(const FormatRecords&) = delete;
  FormatRecords& operator=(const FormatRecords&) = delete;
  ~FormatRecords() = default;

  void append(const StreamFormat& format) override;

  std::vector<StreamFormat> records;
};

}  // namespace Kelvo::subhost
