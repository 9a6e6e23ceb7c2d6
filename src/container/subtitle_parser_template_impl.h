// Definitions of SubtitleParserTemplate<P> and its OverlayStream. Included by
// the parser class's source file, which instantiates the template for P.
#pragma once

#include <cstring>

#include "container/subtitle_parser_template.h"
#include "plugin/boundary.h"

namespace Kelvo {

template <typename P>
SubtitleParserTemplate<P>::SubtitleParserTemplate() : bufferAllocator(new MediaBufferAllocator()) {}

template <typename P>
SubtitleParserTemplate<P>::~SubtitleParserTemplate() {
  delete bufferAllocator;
  preferredLanguage.clear();
  streams.clear();
  url.clear();
}

template <typename P>
String<unsigned char> SubtitleParserTemplate<P>::getUrl() {
  return String<unsigned char>(url);
}

template <typename P>
std::uint32_t SubtitleParserTemplate<P>::containerReserved() {
  return 0;
}

template <typename P>
List<std::uint64_t> SubtitleParserTemplate<P>::getPresentations() {
  if (presentationId == kNoIdentifier && owner != nullptr) presentationId = owner->newIdentifier();
  List<std::uint64_t> local;
  local.append(presentationId);
  List<std::uint64_t> result(local, List<std::uint64_t>::NodeAllocator::instance());
  local.clear();
  return result;
}

template <typename P>
String<unsigned char> SubtitleParserTemplate<P>::getPresentationName(std::uint64_t /*presentation*/) {
  return String<unsigned char>::fromView("");
}

// TODO(#4): presentation activation and language selection.
template <typename P>
Status SubtitleParserTemplate<P>::activatePresentation(std::uint64_t /*presentation*/) {
  return kStatusFailure;
}

// TODO(#4): release the entries and report the streams as removed.
template <typename P>
Status SubtitleParserTemplate<P>::closeStreams(bool /*skip*/) {
  return kStatusOk;
}

// TODO(#4): measure the source file.
template <typename P>
Status SubtitleParserTemplate<P>::getSourceSize(std::uint64_t* /*size*/) {
  return kStatusFailure;
}

template <typename P>
bool SubtitleParserTemplate<P>::queryOption(std::uint32_t /*option*/) {
  return false;
}

// TODO(#4): sort the entries and build the stream.
template <typename P>
Status SubtitleParserTemplate<P>::createOverlayStream(std::vector<MediaChunk*>& /*entries*/,
                                                      const String<unsigned char>& /*name*/,
                                                      const String<char>& /*language*/,
                                                      const String<char>& /*region*/) {
  return kStatusFailure;
}

template <typename P>
SubtitleParserTemplate<P>::OverlayStream::OverlayStream(SubtitleParserTemplate* owningContainer, std::uint64_t id,
                                                        const std::vector<MediaChunk*>& sorted,
                                                        const String<unsigned char>& streamName,
                                                        const String<char>& streamLanguage,
                                                        const String<char>& streamRegion)
    : StreamInterface(owningContainer->containerId, id, 0),
      container(owningContainer),
      name(streamName),
      language(streamLanguage),
      region(streamRegion),
      entries(sorted) {
  properties.width = 640;
  properties.height = 480;
  format.recordSize = sizeof(StreamFormat);
  format.unitSize = 4;
  container->getFormatCode(format.code);
  rate = 1000;
}

template <typename P>
SubtitleParserTemplate<P>::OverlayStream::~OverlayStream() = default;

template <typename P>
std::uint32_t SubtitleParserTemplate<P>::OverlayStream::reservedA() {
  return 0;
}

// TODO(#4)
template <typename P>
bool SubtitleParserTemplate<P>::OverlayStream::getStreamInfo(String<unsigned char>*, String<char>*, String<char>*,
                                                             std::uint32_t) {
  return false;
}

template <typename P>
StreamFormat* SubtitleParserTemplate<P>::OverlayStream::getStreamFormat() {
  return &format;
}

template <typename P>
ImageProperties* SubtitleParserTemplate<P>::OverlayStream::getProperties() {
  return &properties;
}

template <typename P>
std::uint32_t SubtitleParserTemplate<P>::OverlayStream::getStreamType() {
  return 320;
}

// TODO(#4): the stream operations below.
template <typename P>
Status SubtitleParserTemplate<P>::OverlayStream::setClock(MediaClock*) {
  return kStatusNotYet;
}

template <typename P>
Status SubtitleParserTemplate<P>::OverlayStream::resetPosition() {
  return kStatusOk;
}

template <typename P>
Status SubtitleParserTemplate<P>::OverlayStream::findNextTime(std::uint32_t, std::uint32_t, std::uint32_t*) {
  return kStatusFailure;
}

template <typename P>
Status SubtitleParserTemplate<P>::OverlayStream::seekStream(std::uint32_t, std::uint32_t*, std::uint32_t) {
  return kStatusFailure;
}

template <typename P>
std::uint32_t SubtitleParserTemplate<P>::OverlayStream::reservedB() {
  return 0;
}

template <typename P>
Status SubtitleParserTemplate<P>::OverlayStream::readStream(MediaChunk** chunk) {
  if (chunk != nullptr) *chunk = nullptr;
  return kStatusOk;
}

template <typename P>
bool SubtitleParserTemplate<P>::OverlayStream::setRate(std::int32_t newRate) {
  rate = newRate;
  return true;
}

template <typename P>
bool SubtitleParserTemplate<P>::OverlayStream::queryContainerOption(std::uint32_t option) {
  return container->queryOption(option);
}

}  // namespace Kelvo
