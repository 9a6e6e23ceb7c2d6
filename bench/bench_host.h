// The host's part in the benchmarks: a container (in-process, or the one the
// loaded module hands out) driven with the tests' host fakes, and the dump
// that reads every chunk and writes it as JSON text to a sink.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "container/container_interface.h"
#include "container/stream_interface.h"
#include "framework/media_buffer.h"
#include "plugin/plugin.h"
#include "test_host.h"

namespace Kelvo::bench {

// "file://" and the absolute path, which needs no escape in the build folder.
inline std::string fileUrl(const std::string& path) { return "file://" + path; }

// One plug-in object with its host, owner and clock. The rig owns the object
// and, as the host, the streams announced to it.
class HostRig {
 public:
  using GetPluginFn = int (*)(PluginHost*, Plugin**);

  // Creates the plug-in object through `getPlugin` (the module's export, or
  // an in-process equivalent) and queries its container interface.
  explicit HostRig(GetPluginFn getPlugin) {
    getPlugin(&host, &plugin);
    String<char> id = String<char>::fromView("velmora.interface.container");
    void* found = nullptr;
    if (plugin->queryInterface(id, &found) == kStatusOk) container = static_cast<ContainerInterface*>(found);
    container->attach(&owner, 1);
  }
  HostRig(const HostRig&) = delete;
  HostRig& operator=(const HostRig&) = delete;
  ~HostRig() {
    container->closeStreams(false);
    for (StreamInterface* stream : owner.added) delete stream;
    plugin->releaseReference();
  }

  Status open(const std::string& path) {
    String<unsigned char> url = String<unsigned char>::fromView(fileUrl(path));
    SourceDescriptor source{0, &url};
    return container->open(&source);
  }

  // Activates the presentation and gives the stream the host was handed a
  // clock at `now`; null when no stream was announced.
  StreamInterface* activate(std::int32_t now) {
    List<std::uint64_t> presentations = container->getPresentations();
    if (container->activatePresentation(presentations.at(0)) != kStatusOk || owner.added.empty()) return nullptr;
    clock.now = now;
    StreamInterface* stream = owner.added.back();
    stream->setClock(&clock);
    return stream;
  }

  testing::FakePluginHost host;
  testing::FakeOwner owner;
  testing::FakeClock clock;
  Plugin* plugin = nullptr;
  ContainerInterface* container = nullptr;
};

// Writes every chunk `stream` delivers, in order, as one JSON object per chunk
// ({"timestamp": ..., "duration": ..., "text": "..."}) to `sink`, and returns
// the number of chunks. The clock must let every entry be due.
inline std::uint64_t dumpJson(StreamInterface* stream, std::FILE* sink) {
  std::string out;
  out.reserve(1 << 17);
  std::uint64_t chunks = 0;
  char number[64];
  for (;;) {
    MediaChunk* chunk = nullptr;
    if (stream->readStream(&chunk) != kStatusOk || chunk == nullptr) break;
    ++chunks;
    std::snprintf(number, sizeof number, "%s{\"timestamp\": %u, \"duration\": %u, \"text\": \"",
                  chunks == 1 ? "" : ", ", chunk->timestamp, chunk->duration);
    out += number;
    // Called through the base, as a host does: the module's own code runs.
    MediaBuffer* const buffer = chunk;
    const std::uint8_t* data = buffer->lockData();
    for (std::uint32_t i = 0; i < chunk->dataLength; ++i) {
      const auto c = static_cast<char>(data[i]);
      if (c == '"' || c == '\\') {
        out += '\\';
        out += c;
      } else if (c == '\n') {
        out += "\\n";
      } else if (data[i] < 0x20) {
        std::snprintf(number, sizeof number, "\\u%04x", data[i]);
        out += number;
      } else {
        out += c;
      }
    }
    buffer->unlockData();
    buffer->dispose();
    out += "\"}";
    if (out.size() >= (1 << 16)) {
      std::fwrite(out.data(), 1, out.size(), sink);
      out.clear();
    }
  }
  std::fwrite(out.data(), 1, out.size(), sink);
  return chunks;
}

}  // namespace Kelvo::bench
