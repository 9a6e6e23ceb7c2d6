// Host-side fakes for tests: a plug-in host, a container owner and a media
// clock that record what the plug-in asks of them.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "framework/portable_string.h"
#include "plugin/host_interfaces.h"

namespace Kelvo::testing {

class FakePluginHost final : public PluginHost {
 public:
  bool isFormatSupported(String<char>& format) override {
    formatsAsked.push_back(format.toStdString());
    return supportsFormats;
  }
  void pluginDestroying(Plugin* plugin) override { events.emplace_back("destroying", plugin); }
  void pluginDestroyed(Plugin* plugin) override { events.emplace_back("destroyed", plugin); }

  bool supportsFormats = true;
  std::vector<std::string> formatsAsked;
  std::vector<std::pair<std::string, Plugin*>> events;
};

// Answers settings from a table keyed "Group/Name"; anything else gets a type
// tag the plug-in does not use.
class FakeOwner final : public ContainerOwner {
 public:
  struct Answer {
    std::uint8_t type = 0;
    bool boolean = false;
    std::int32_t first = 0;
    std::int32_t second = 0;
    std::string text;
  };

  std::uint64_t newIdentifier() override {
    ++identifiersHanded;
    return nextIdentifier++;
  }
  String<char> getPreferredLanguage() override {
    ++languageQueries;
    return String<char>::fromView(preferredLanguage);
  }
  void getSetting(Setting& setting, SettingValue* value) override {
    const std::string key = setting.group.toStdString() + "/" + setting.name.toStdString();
    settingsAsked.push_back(key);
    kindsAsked.push_back(setting.kind);
    const auto found = answers.find(key);
    if (found == answers.end()) {
      value->type = 0;
      return;
    }
    value->type = found->second.type;
    if (found->second.type == kSettingTypeBoolean) value->payload.boolean = found->second.boolean ? 1 : 0;
    if (found->second.type == kSettingTypeRatio) {
      value->payload.ratio.first = found->second.first;
      value->payload.ratio.second = found->second.second;
    }
    if (found->second.type == kSettingTypeString) {
      textAnswer = std::make_unique<String<char>>(String<char>::fromView(found->second.text));
      value->payload.text = textAnswer.get();
    }
  }
  void streamAdded(StreamInterface* stream) override {
    added.push_back(stream);
    if (onStreamAdded) onStreamAdded(stream);
  }
  void streamRemoved(std::uint64_t streamId) override {
    removed.push_back(streamId);
    if (onStreamRemoved) onStreamRemoved(streamId);
  }
  void selectStream(std::uint64_t streamId, std::uint32_t flag) override {
    selected.push_back(streamId);
    selectFlags.push_back(flag);
  }

  void setBoolean(const std::string& key, bool value) {
    Answer answer;
    answer.type = kSettingTypeBoolean;
    answer.boolean = value;
    answers[key] = answer;
  }
  void setText(const std::string& key, std::string value) {
    Answer answer;
    answer.type = kSettingTypeString;
    answer.text = std::move(value);
    answers[key] = answer;
  }
  void setRatio(const std::string& key, std::int32_t first, std::int32_t second) {
    Answer answer;
    answer.type = kSettingTypeRatio;
    answer.first = first;
    answer.second = second;
    answers[key] = answer;
  }

  std::uint64_t nextIdentifier = 100;
  int identifiersHanded = 0;
  std::string preferredLanguage;
  int languageQueries = 0;
  std::map<std::string, Answer> answers;
  std::unique_ptr<String<char>> textAnswer;
  std::vector<std::string> settingsAsked;
  std::vector<std::int32_t> kindsAsked;
  std::vector<StreamInterface*> added;
  std::vector<std::uint64_t> removed;
  std::vector<std::uint64_t> selected;
  std::vector<std::uint32_t> selectFlags;
  std::function<void(StreamInterface*)> onStreamAdded;
  std::function<void(std::uint64_t)> onStreamRemoved;
};

// Answers `now`, or the scripted answers first, one per call. Not guarded:
// the plug-in asks it under the container's lock.
class FakeClock final : public MediaClock {
 public:
  std::int32_t getMediaTime() override {
    ++queries;
    if (script.empty()) return now;
    const std::int32_t answer = script.front();
    script.pop_front();
    return answer;
  }
  std::int32_t now = 0;
  std::deque<std::int32_t> script;
  int queries = 0;
};

}  // namespace Kelvo::testing
