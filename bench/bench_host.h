// The host's part in the benchmarks: a container (in-process, or the one the
// loaded module hands out) driven with the tests' host fakes, and the dump
// that reads every chunk and writes it as JSON text to a sink.
#pragma once

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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
    if (plugin == nullptr || plugin->queryInterface(id, &found) != kStatusOk) std::abort();
    container = static_cast<ContainerInterface*>(found);
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

// Whether any of the eight bytes of `word` must be escaped in a JSON string:
// a control character, a quote or a backslash.
inline bool needsEscape(std::uint64_t word) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  constexpr std::uint64_t kHighBits = 0x8080808080808080u;
  const auto zeroBytes = [](std::uint64_t w) { return (w - kOnes) & ~w & kHighBits; };
  const std::uint64_t control = (word - kOnes * 0x20) & ~word & kHighBits;
  return (control | zeroBytes(word ^ (kOnes * '"')) | zeroBytes(word ^ (kOnes * '\\'))) != 0;
}

// Appends `bytes` to `out` as the inside of a JSON string.
inline void appendJsonText(std::string& out, const std::uint8_t* bytes, std::uint32_t count) {
  const char* run = reinterpret_cast<const char*>(bytes);
  const char* const end = run + count;
  for (const char* at = run; at != end; ++at) {
    std::uint64_t word = 0;
    while (end - at >= 8 && (std::memcpy(&word, at, 8), !needsEscape(word))) at += 8;
    if (at == end) break;
    const auto c = static_cast<unsigned char>(*at);
    if (c >= 0x20 && c != '"' && c != '\\') continue;
    out.append(run, at);
    if (c == '\n') {
      out += "\\n";
    } else if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    }
    run = at + 1;
  }
  out.append(run, end);
}

// Writes every chunk `stream` delivers, in order, as one JSON object per chunk
// ({"timestamp": ..., "duration": ..., "text": "..."}) to `sink`, and returns
// the number of chunks. The clock must let every entry be due.
inline std::uint64_t dumpJson(StreamInterface* stream, std::FILE* sink) {
  std::string out;
  out.reserve(1 << 17);
  std::uint64_t chunks = 0;
  for (;;) {
    MediaChunk* chunk = nullptr;
    if (stream->readStream(&chunk) != kStatusOk || chunk == nullptr) break;
    out += chunks++ == 0 ? "{\"timestamp\": " : ", {\"timestamp\": ";
    char number[16];
    out.append(number, std::to_chars(number, number + sizeof number, chunk->timestamp).ptr);
    out += ", \"duration\": ";
    out.append(number, std::to_chars(number, number + sizeof number, chunk->duration).ptr);
    out += ", \"text\": \"";
    // Called through the base, as a host does: the module's own code runs.
    MediaBuffer* const buffer = chunk;
    appendJsonText(out, buffer->lockData(), chunk->dataLength);
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
