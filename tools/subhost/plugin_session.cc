#include "plugin_session.h"

#include <utility>

#include "platform/dynamic_library.h"
#include "plugin/status.h"

namespace Kelvo::subhost {

namespace {

using GetPluginFn = int (*)(PluginHost* host, Plugin** pluginOut);

// Loads the module and keeps it loaded. Returns _getPlugin, or null.
GetPluginFn loadModule(const std::string& path, std::string& problem) {
  platform::DynamicLibrary library = platform::DynamicLibrary::load(path.c_str());
  if (!library.loaded()) {
    problem = "cannot load the plug-in module " + path;
    return nullptr;
  }
  auto getPlugin = reinterpret_cast<GetPluginFn>(library.find("_getPlugin"));
  if (getPlugin == nullptr) {
    problem = "the module " + path + " has no _getPlugin";
    return nullptr;
  }
  keepLoaded(std::move(library));
  return getPlugin;
}

// A source named by a URL that stays valid while the descriptor is used.
class Source {
 public:
  explicit Source(const std::string& url) : text(String<unsigned char>::fromView(url)) { descriptor.url = &text; }
  SourceDescriptor* get() { return &descriptor; }

 private:
  String<unsigned char> text;
  SourceDescriptor descriptor{};
};

}  // namespace

void keepLoaded(platform::DynamicLibrary library) {
  // Never destroyed, so the handles stay reachable until the process ends.
  static auto* const kept = new std::vector<platform::DynamicLibrary>();
  kept->push_back(std::move(library));
}

std::unique_ptr<PluginSession> PluginSession::start(const std::string& modulePath, HostSettings settings,
                                                    std::string& problem) {
  const GetPluginFn getPlugin = loadModule(modulePath, problem);
  if (getPlugin == nullptr) return nullptr;
  std::unique_ptr<PluginSession> session(new PluginSession(std::move(settings)));
  getPlugin(&session->services, &session->plugin);
  if (session->plugin == nullptr) {
    problem = "the plug-in module made no plug-in object";
    return nullptr;
  }
  String<char> id = String<char>::fromView("velmora.interface.container");
  void* found = nullptr;
  if (session->plugin->queryInterface(id, &found) != kStatusOk || found == nullptr) {
    problem = "the plug-in offers no container interface";
    return nullptr;
  }
  session->container = static_cast<ContainerInterface*>(found);
  session->container->attach(&session->services, session->services.newIdentifier());
  return session;
}

PluginSession::~PluginSession() {
  if (container != nullptr) container->closeStreams(false);
  for (StreamInterface* stream : services.takeStreams()) delete stream;
  if (plugin != nullptr) plugin->releaseReference();
}

bool PluginSession::probe(const std::string& url, FormatRecords& missing) {
  Source source(url);
  return container->probe(source.get(), 0, 0, &missing);
}

bool PluginSession::open(const std::string& url) {
  Source source(url);
  return container->open(source.get()) == kStatusOk;
}

bool PluginSession::activate() {
  // A container has one presentation; an empty list gives 0, which it refuses.
  return container->activatePresentation(container->getPresentations().at(0)) == kStatusOk;
}

StreamInfo PluginSession::describe(StreamInterface& stream) {
  String<unsigned char> name;
  String<char> language;
  String<char> region;
  stream.getStreamInfo(&name, &language, &region, 0);
  return StreamInfo{name.toStdString(), language.toStdString(), region.toStdString()};
}

}  // namespace Kelvo::subhost
