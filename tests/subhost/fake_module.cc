// A plug-in module for testing the reference host's side of the boundary
// without the SUB parser. Its container opens any source with one stream of
// three entries (400, 600 and 5000 ms), and records, in order, the calls that
// the host's session promises to make; a source URL naming "refuse-open",
// "refuse-activation", "read-fails" or "unknown" makes the matching call fail,
// and fakeModuleRefuse makes the next plug-in object fail earlier.
#include <cstring>
#include <map>
#include <string>
#include <utility>

#include "container/container_interface.h"
#include "fake_stream.h"
#include "plugin/plugin.h"

#define FAKE_MODULE_API extern "C" SUB_TEST_EXPORT

namespace {

using namespace Kelvo;

std::string gEvents;   // one word per call, each followed by a space
std::string gRefusal;  // what the next _getPlugin call refuses: "object", "container" or nothing

void note(const std::string& event) { gEvents += event + " "; }

class RecordingStream final : public testing::FakeStream {
 public:
  using FakeStream::FakeStream;
  ~RecordingStream() override { note("stream-deleted"); }
};

class FakeContainer final : public Plugin, public ContainerInterface {
 public:
  FakeContainer(PluginHost* pluginHost, bool noContainer) : Plugin(pluginHost), refuseQuery(noContainer) {}
  ~FakeContainer() override { note("destroyed"); }

  Status queryInterface(String<char>& id, void** interfaceOut) override {
    *interfaceOut = nullptr;
    if (refuseQuery || !id.equals("velmora.interface.container")) return kStatusNoInterface;
    *interfaceOut = static_cast<ContainerInterface*>(this);
    return kStatusOk;
  }
  bool probe(SourceDescriptor* source, std::uint32_t, std::uint32_t, FormatList*) override {
    note("probe");
    return !names(source, "unknown");
  }
  void parserHookA(std::uint32_t) override {}
  Status parserHookB(std::uint32_t) override { return kStatusFailure; }
  Status open(SourceDescriptor* source) override {
    note("open");
    if (names(source, "refuse-open")) return kStatusFailure;
    refuseActivation = names(source, "refuse-activation");
    auto* stream = new RecordingStream({{400, 1000, "<b>a</b>"}, {600, 1000, "b"}, {5000, 500, "c"}});
    if (names(source, "read-fails")) stream->readAnswer = kStatusFailure;
    streams[owner->newIdentifier()] = stream;
    return kStatusOk;
  }
  String<unsigned char> getUrl() override { return String<unsigned char>(); }
  std::uint32_t containerReserved() override { return 0; }
  List<std::uint64_t> getPresentations() override {
    List<std::uint64_t> list;
    list.append(7);
    return list;
  }
  String<unsigned char> getPresentationName(std::uint64_t) override { return String<unsigned char>(); }
  Status activatePresentation(std::uint64_t presentation) override {
    note("activate");
    if (presentation != 7 || refuseActivation) return kStatusFailure;
    String<char> language = owner->getPreferredLanguage();
    note("language=" + language.toStdString());
    for (const auto& [id, stream] : streams) owner->streamAdded(stream);
    announced = true;
    if (!streams.empty()) owner->selectStream(streams.begin()->first, 1);
    return kStatusOk;
  }
  Status closeStreams(bool skip) override {
    if (skip) return kStatusOk;
    for (const auto& [id, stream] : streams) {
      note(stream->allocator.released == stream->handed ? "close:chunks-back" : "close:chunks-out");
      owner->streamRemoved(id);
      if (!announced) delete stream;  // never handed to the host
    }
    if (streams.empty()) note("close");
    streams.clear();
    return kStatusOk;
  }
  Status getSourceSize(std::uint64_t*) override { return kStatusFailure; }
  std::int32_t lookupMimeType(String<unsigned char>&) override { return -1; }
  std::uint32_t getMimeTypeCount() override { return 0; }
  String<unsigned char> getMimeType(std::uint32_t) override { return String<unsigned char>(); }
  std::int32_t getMimeTypePriority(std::uint32_t) override { return 0; }

 private:
  static bool names(SourceDescriptor* source, const char* word) {
    return source->url->view().find(word) != std::string_view::npos;
  }

  std::map<std::uint64_t, RecordingStream*> streams;
  bool refuseQuery;
  bool refuseActivation = false;
  bool announced = false;
};

}  // namespace

FAKE_MODULE_API int _getPlugin(PluginHost* host, Plugin** pluginOut) {
  const std::string refusal = std::exchange(gRefusal, std::string());
  *pluginOut = refusal == "object" ? nullptr : new FakeContainer(host, refusal == "container");
  return 0;
}

// Makes the next _getPlugin call give no object ("object"), or an object
// without a container interface ("container").
FAKE_MODULE_API void fakeModuleRefuse(const char* what) { gRefusal = what; }

// What the host did since the last call, and forgets it.
FAKE_MODULE_API const char* fakeModuleEvents() {
  static std::string taken;
  taken = gEvents;
  gEvents.clear();
  return taken.c_str();
}
