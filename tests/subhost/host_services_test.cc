#include "host_services.h"

#include <gtest/gtest.h>

#include <string>

#include "framework/setting.h"

namespace Kelvo::subhost {
namespace {

SettingValue ask(HostServices& services, const char* group, const char* name) {
  Setting setting(kSettingKindValue, String<char>::fromView(group), String<char>::fromView(name));
  SettingValue value;
  value.type = 0xEE;  // whatever the plug-in's stack held
  services.getSetting(setting, &value);
  return value;
}

TEST(HostServices, AnswersTheThreeSettingsFromTheCommandLine) {
  HostSettings given;
  given.codepage = "windows-1251";
  given.overrideEmbedded = true;
  given.frameRate = FrameRate{24000, 1001};
  HostServices services(given);

  const SettingValue override = ask(services, "CodePage", "OverrideEmbedded");
  EXPECT_EQ(override.type, kSettingTypeBoolean);
  EXPECT_EQ(override.payload.boolean, 1);
  const SettingValue name = ask(services, "CodePage", "Name");
  ASSERT_EQ(name.type, kSettingTypeString);
  ASSERT_NE(name.payload.text, nullptr);
  EXPECT_EQ(name.payload.text->toStdString(), "windows-1251");
  // The plug-in takes a frame duration: 24000/1001 frames per second last 1001/24000 s each.
  const SettingValue ratio = ask(services, "FrameRate", "Ratio");
  EXPECT_EQ(ratio.type, kSettingTypeRatio);
  EXPECT_EQ(ratio.payload.ratio.first, 1001);
  EXPECT_EQ(ratio.payload.ratio.second, 24000);
}

TEST(HostServices, WithoutOptionsOnlyTheBooleanIsGiven) {
  HostServices services(HostSettings{});
  const SettingValue override = ask(services, "CodePage", "OverrideEmbedded");
  EXPECT_EQ(override.type, kSettingTypeBoolean);
  EXPECT_EQ(override.payload.boolean, 0);  // byte-order marks are honoured
  struct Question {
    const char* group;
    const char* name;
  };
  for (const Question& q : {Question{"CodePage", "Name"}, Question{"FrameRate", "Ratio"}, Question{"Other", "Name"},
                            Question{"codepage", "overrideembedded"}}) {
    SCOPED_TRACE(std::string(q.group) + "/" + q.name);
    EXPECT_EQ(ask(services, q.group, q.name).type, kSettingNotGiven);
  }
}

TEST(HostServices, TakesUtf8UnlessToldNotTo) {
  HostServices willing(HostSettings{});
  String<char> utf8 = String<char>::fromView("UTF8");
  String<char> other = String<char>::fromView("UTF16");
  EXPECT_TRUE(willing.isFormatSupported(utf8));
  EXPECT_FALSE(willing.isFormatSupported(other));
  HostSettings unwilling;
  unwilling.utf8Supported = false;
  HostServices refusing(unwilling);
  EXPECT_FALSE(refusing.isFormatSupported(utf8));
}

TEST(HostServices, HandsOutDistinctIdentifiersAndTheLanguage) {
  HostSettings given;
  given.preferredLanguage = "pt-BR";
  HostServices services(given);
  EXPECT_EQ(services.newIdentifier(), 1u);
  EXPECT_EQ(services.newIdentifier(), 2u);
  EXPECT_EQ(services.newIdentifier(), 3u);
  String<char> language = services.getPreferredLanguage();
  EXPECT_EQ(language.toStdString(), "pt-BR");
}

TEST(HostServices, RecordsStreamsSelectionAndTheObjectsEnd) {
  HostServices services(HostSettings{});
  auto* first = reinterpret_cast<StreamInterface*>(0x10);
  auto* second = reinterpret_cast<StreamInterface*>(0x20);
  services.streamAdded(first);
  services.streamAdded(second);
  EXPECT_EQ(services.selectedStream(), kNoIdentifier);
  services.selectStream(42, 1);
  EXPECT_EQ(services.selectedStream(), 42u);
  EXPECT_EQ(services.streams(), (std::vector<StreamInterface*>{first, second}));
  EXPECT_EQ(services.takeStreams(), (std::vector<StreamInterface*>{first, second}));
  EXPECT_TRUE(services.streams().empty());
  EXPECT_FALSE(services.pluginGone());
  services.pluginDestroying(nullptr);
  EXPECT_FALSE(services.pluginGone());
  services.pluginDestroyed(nullptr);
  EXPECT_TRUE(services.pluginGone());
}

TEST(HostServices, FormatRecordsKeepWhatProbeAppends) {
  FormatRecords records;
  records.append(StreamFormat{{'U', 'T', 'F', '8', 0, 0, 0, 0}, 20, 4, 0});
  ASSERT_EQ(records.records.size(), 1u);
  EXPECT_STREQ(records.records[0].code, "UTF8");
  EXPECT_EQ(records.records[0].recordSize, 20u);
}

TEST(LocaleLanguage, TakesLanguageAndRegionOfTheLocaleName) {
  struct Case {
    const char* locale;
    const char* language;
  };
  const Case cases[] = {
      {"de_AT.UTF-8@euro", "de-AT"},
      {"en_US", "en-US"},
      {"fr", "fr"},
      {"sr_RS@latin", "sr-RS"},
      {"C", ""},
      {"C.UTF-8", ""},
      {"POSIX", ""},
      {"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.locale);
    EXPECT_EQ(languageFromLocaleName(c.locale), c.language);
  }
}

}  // namespace
}  // namespace Kelvo::subhost
