// SUBContainer: the plug-in object that _getPlugin creates. It joins the
// Plugin (references, host, interface query) with the subtitle container for
// SUB files, whose parser operations it supplies. The host owns it through
// its reference count; the container pointer from queryInterface shares its
// lifetime. Deleting it through either base's destructor destroys all of it.
#pragma once

#include <cstdint>
#include <map>

#include "container/subtitle_parser_template.h"
#include "framework/portable_string.h"
#include "plugin/plugin.h"

namespace Kelvo {

class SUBContainer final : public Plugin, public SubtitleParserTemplate<SUBContainer> {
 public:
  explicit SUBContainer(PluginHost* pluginHost);
  ~SUBContainer() override;

  Status queryInterface(String<char>& id, void** interfaceOut) override;

  bool probe(SourceDescriptor* source, std::uint32_t a, std::uint32_t b, FormatList* formats) override;
  // Does nothing: SUB files need no such hook.
  void parserHookA(std::uint32_t value) override;
  // Always kStatusFailure.
  Status parserHookB(std::uint32_t value) override;
  Status open(SourceDescriptor* source) override;
  // The priority of exactly that MIME type, or -1.
  std::int32_t lookupMimeType(String<unsigned char>& mimeType) override;
  std::uint32_t getMimeTypeCount() override;
  // The type at `index` in descending order, or an empty string past the end.
  String<unsigned char> getMimeType(std::uint32_t index) override;
  // The priority at `index`, or 0 past the end.
  std::int32_t getMimeTypePriority(std::uint32_t index) override;
  // Writes "UTF8" and its terminator into the first five bytes of `code`.
  char* getFormatCode(char* code) override;

  std::map<String<unsigned char>, std::int32_t, StringGreater<unsigned char>> mimeTypes;
};

// The part of `url` after its last "/", or "" when it has none: the name of
// the stream an open makes.
String<unsigned char> streamNameOf(const String<unsigned char>& url);

}  // namespace Kelvo
