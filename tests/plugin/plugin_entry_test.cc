// The plug-in as a host meets it: the module loaded by file name, its one
// export called, the container interface queried.
#include <gtest/gtest.h>

#include "container/container_interface.h"
#include "loaded_module.h"
#include "plugin/plugin.h"
#include "test_host.h"

namespace Kelvo {
namespace {

using testing::FakePluginHost;
using testing::LoadedModule;

class PluginEntry : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(module.ready()) << "cannot load " << SUB_MODULE_PATH;
    ASSERT_EQ(module.getPlugin()(&host, &plugin), 0);
    ASSERT_NE(plugin, nullptr);
  }
  void TearDown() override {
    if (plugin != nullptr) {
      while (plugin->releaseReference() > 0) {
      }
    }
  }

  LoadedModule module;
  FakePluginHost host;
  Plugin* plugin = nullptr;
};

TEST_F(PluginEntry, CreatesAnObjectWithOneReferenceAndTheHost) {
  EXPECT_EQ(plugin->getReferenceCount(), 1);
  EXPECT_EQ(plugin->getReservedValue(), 0);
  EXPECT_EQ(plugin->getHost(), &host);
}

TEST_F(PluginEntry, EveryCallCreatesAnIndependentObject) {
  Plugin* second = nullptr;
  ASSERT_EQ(module.getPlugin()(&host, &second), 0);
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second, plugin);
  EXPECT_EQ(second->releaseReference(), 0);
  EXPECT_EQ(plugin->getReferenceCount(), 1);
}

TEST_F(PluginEntry, ContainerQueryGivesTheSamePointerWithoutCounting) {
  String<char> id = String<char>::fromView("velmora.interface.container");
  void* first = nullptr;
  void* second = nullptr;
  EXPECT_EQ(plugin->queryInterface(id, &first), kStatusOk);
  EXPECT_EQ(plugin->queryInterface(id, &second), kStatusOk);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first, second);
  EXPECT_EQ(plugin->getReferenceCount(), 1);
  auto* container = static_cast<ContainerInterface*>(first);
  EXPECT_EQ(container->getMimeTypeCount(), 2u);
}

TEST_F(PluginEntry, OtherIdentifiersAreRefusedWithANullPointer) {
  for (const char* text : {"velmora.interface.component", "VELMORA.INTERFACE.CONTAINER", ""}) {
    SCOPED_TRACE(text);
    String<char> id = String<char>::fromView(text);
    void* found = &host;
    EXPECT_EQ(plugin->queryInterface(id, &found), kStatusNoInterface);
    EXPECT_EQ(found, nullptr);
  }
  String<char> null;
  void* found = &host;
  EXPECT_EQ(plugin->queryInterface(null, &found), kStatusNoInterface);
  EXPECT_EQ(found, nullptr);
}

TEST_F(PluginEntry, LastReleaseNotifiesTheHostAroundTheDeletion) {
  EXPECT_EQ(plugin->addReference(), 2);
  EXPECT_EQ(plugin->releaseReference(), 1);
  EXPECT_TRUE(host.events.empty());
  Plugin* const released = plugin;
  EXPECT_EQ(plugin->releaseReference(), 0);
  plugin = nullptr;
  ASSERT_EQ(host.events.size(), 2u);
  EXPECT_EQ(host.events[0].first, "destroying");
  EXPECT_EQ(host.events[0].second, released);
  EXPECT_EQ(host.events[1].first, "destroyed");
  EXPECT_EQ(host.events[1].second, released);
}

TEST_F(PluginEntry, NullOutPointerIsIgnored) {
  EXPECT_EQ(module.getPlugin()(&host, nullptr), 0);
}

}  // namespace
}  // namespace Kelvo
