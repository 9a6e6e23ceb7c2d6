#include "host_services.h"

#include <new>
#include <utility>

namespace Kelvo::subhost {

std::string languageFromLocaleName(std::string_view localeName) {
  const std::size_t end = localeName.find_first_of(".@");
  std::string language(localeName.substr(0, end));
  if (language == "C" || language == "POSIX") return std::string();
  for (char& c : language) {
    if (c == '_') c = '-';
  }
  return language;
}

HostServices::HostServices(HostSettings hostSettings) : settings(std::move(hostSettings)) {
  if (settings.codepage) codepageName.assign(String<char>::fromView(*settings.codepage));
}

HostServices::~HostServices() = default;

bool HostServices::isFormatSupported(String<char>& format) { return settings.utf8Supported && format.equals("UTF8"); }

void HostServices::pluginDestroying(Plugin* /*plugin*/) {}

void HostServices::pluginDestroyed(Plugin* /*plugin*/) { destroyed = true; }

std::uint64_t HostServices::newIdentifier() { return ++lastIdentifier; }

String<char> HostServices::getPreferredLanguage() {
  try {
    return String<char>::fromView(settings.preferredLanguage);
  } catch (const std::bad_alloc&) {
    return String<char>();
  }
}

void HostServices::getSetting(Setting& setting, SettingValue* value) {
  if (value == nullptr) return;
  value->type = kSettingNotGiven;
  const std::string_view group = setting.group.view();
  const std::string_view name = setting.name.view();
  if (group == "CodePage" && name == "OverrideEmbedded") {
    value->type = kSettingTypeBoolean;
    value->payload.boolean = settings.overrideEmbedded ? 1 : 0;
  } else if (group == "CodePage" && name == "Name" && settings.codepage) {
    value->type = kSettingTypeString;
    value->payload.text = &codepageName;
  } else if (group == "FrameRate" && name == "Ratio" && settings.frameRate) {
    // The plug-in wants the duration of a frame: the rate's fraction upside down.
    value->type = kSettingTypeRatio;
    value->payload.ratio.first = settings.frameRate->denominator;
    value->payload.ratio.second = settings.frameRate->numerator;
  }
}

void HostServices::streamAdded(StreamInterface* stream) {
  try {
    announced.push_back(stream);
  } catch (const std::bad_alloc&) {
    // Out of memory: the stream cannot be recorded, and so is never deleted.
  }
}

void HostServices::streamRemoved(std::uint64_t /*streamId*/) {}

void HostServices::selectStream(std::uint64_t streamId, std::uint32_t /*flag*/) { selected = streamId; }

std::vector<StreamInterface*> HostServices::takeStreams() { return std::exchange(announced, {}); }

void FormatRecords::append(const StreamFormat& format) {
  try {
    records.push_back(format);
  } catch (const std::bad_alloc&) {
    // The record is lost; the probe's answer still says the format is missing.
  }
}

}  // namespace Kelvo::subhost
