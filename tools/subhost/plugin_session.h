// One plug-in object driven as the host drives it: the module loaded with the
// platform loader, _getPlugin called, the container interface queried and
// attached to this host's services. The session owns the object's one
// reference and every stream the container announces; its end closes the
// streams, deletes them and releases the object, whatever happened before.
// One thread uses a session.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "container/container_interface.h"
#include "container/stream_interface.h"
#include "host_services.h"
#include "platform/dynamic_library.h"
#include "plugin/host_interfaces.h"
#include "plugin/plugin.h"

namespace Kelvo::subhost {

// Keeps `library` loaded until the process ends. The plug-in module and the
// logging library keep process-wide objects that live as long as they are
// loaded, so the host never unloads them.
void keepLoaded(platform::DynamicLibrary library);

// What a stream says about itself through getStreamInfo.
struct StreamInfo {
  std::string name;
  std::string language;
  std::string region;
};

class PluginSession {
 public:
  // Loads the module at `modulePath` (kept loaded, see keepLoaded) and starts
  // a session on a new plug-in object. Returns null and
  // says why in `problem` when the module cannot be loaded, lacks _getPlugin,
  // makes no object or offers no container.
  static std::unique_ptr<PluginSession> start(const std::string& modulePath, HostSettings settings,
                                              std::string& problem);

  PluginSession(const PluginSession&) = delete;
  PluginSession& operator=(const PluginSession&) = delete;
  // closeStreams(false), then deletes every announced stream, then the last
  // releaseReference.
  ~PluginSession();

  // The container's probe of `url`; a format the host lacks is appended to `missing`.
  bool probe(const std::string& url, FormatRecords& missing);
  // The container's open of `url`: true when it added a stream.
  bool open(const std::string& url);
  // Fetches the presentation and activates it, which announces the streams
  // and selects one. False when the container refuses.
  bool activate();

  // The streams announced by activate, in order; valid until the session ends.
  const std::vector<StreamInterface*>& streams() const { return services.streams(); }
  // The selected stream's identifier, or kNoIdentifier.
  std::uint64_t selectedStream() const { return services.selectedStream(); }

  static StreamInfo describe(StreamInterface& stream);

 private:
  explicit PluginSession(HostSettings settings) : services(std::move(settings)) {}

  HostServices services;  // outlives the plug-in object, which calls it until its end
  Plugin* plugin = nullptr;
  ContainerInterface* container = nullptr;
};

}  // namespace Kelvo::subhost
