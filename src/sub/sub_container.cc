#include "sub/sub_container.h"

#include <cstring>
#include <iterator>

#include "container/subtitle_parser_template_impl.h"
#include "plugin/boundary.h"
#include "plugin/interface_ids.h"

namespace Kelvo {

template class SubtitleParserTemplate<SUBContainer>;

SUBContainer::SUBContainer(PluginHost* pluginHost) : Plugin(pluginHost) {
  mimeTypes.emplace(String<unsigned char>::fromView("text/plain"), 1);
  mimeTypes.emplace(String<unsigned char>::fromView("text/x-sub"), 1);
}

SUBContainer::~SUBContainer() { mimeTypes.clear(); }

Status SUBContainer::queryInterface(String<char>& id, void** interfaceOut) {
  if (interfaceOut == nullptr) return kStatusNoInterface;
  *interfaceOut = nullptr;
  if (!id.equals(containerInterfaceId())) return kStatusNoInterface;
  *interfaceOut = static_cast<ContainerInterface*>(this);
  return kStatusOk;
}

// TODO(#5): look for a SUB time line in the first 1024 bytes.
bool SUBContainer::probe(SourceDescriptor* /*source*/, std::uint32_t, std::uint32_t, FormatList* /*formats*/) {
  return false;
}

void SUBContainer::parserHookA(std::uint32_t /*value*/) {}

Status SUBContainer::parserHookB(std::uint32_t /*value*/) { return kStatusFailure; }

// TODO(#5): parse the SUB file into timed entries.
Status SUBContainer::open(SourceDescriptor* /*source*/) { return kStatusFailure; }

std::int32_t SUBContainer::lookupMimeType(String<unsigned char>& mimeType) {
  const auto found = mimeTypes.find(mimeType);
  return found == mimeTypes.end() ? -1 : found->second;
}

std::uint32_t SUBContainer::getMimeTypeCount() { return static_cast<std::uint32_t>(mimeTypes.size()); }

String<unsigned char> SUBContainer::getMimeType(std::uint32_t index) {
  return guarded(String<unsigned char>(), [&] {
    if (index >= mimeTypes.size()) return String<unsigned char>::fromView("");
    return String<unsigned char>(std::next(mimeTypes.begin(), index)->first);
  });
}

std::int32_t SUBContainer::getMimeTypePriority(std::uint32_t index) {
  if (index >= mimeTypes.size()) return 0;
  return std::next(mimeTypes.begin(), index)->second;
}

char* SUBContainer::getFormatCode(char* code) {
  std::memcpy(code, "UTF8", 5);
  return code;
}

}  // namespace Kelvo
