// Compiles what a host implements and calls, and prints the module it would load.
#include <cstdio>

#include "container/container_interface.h"
#include "container/stream_interface.h"
#include "framework/media_buffer.h"
#include "kelvo_logging.h"
#include "plugin/host_interfaces.h"
#include "plugin/plugin.h"

namespace {

class Clock final : public Kelvo::MediaClock {
 public:
  std::int32_t getMediaTime() override { return 1500; }
};

using GetPluginFn = int (*)(Kelvo::PluginHost* host, Kelvo::Plugin** pluginOut);

}  // namespace

int main() {
  static_assert(sizeof(Kelvo::StreamFormat) == 20);
  Clock clock;
  Kelvo::MediaClock& asSeenByAStream = clock;
  const GetPluginFn entry = nullptr;
  std::printf("%s\n%d %d\n", SUBCONTAINER_MODULE, asSeenByAStream.getMediaTime(), entry == nullptr ? 0 : 1);
  return 0;
}
