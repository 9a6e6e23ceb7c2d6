// ContainerInterface: a demultiplexer as the host drives it. The host attaches
// it, probes and opens a source, activates its presentation, reads the
// streams and closes them. Operations are called by position: keep the order.
// Results of type String and List are the caller's to free.
#pragma once

#include <cstdint>

#include "framework/node_list.h"
#include "framework/portable_string.h"
#include "plugin/host_interfaces.h"
#include "plugin/status.h"

namespace Kelvo {

class ContainerInterface {
 public:
  ContainerInterface() = default;
  ContainerInterface(const ContainerInterface&) = delete;
  ContainerInterface& operator=(const ContainerInterface&) = delete;
  virtual ~ContainerInterface() = default;

  // Stores the owner and this container's identifier; a second call replaces both.
  virtual void attach(ContainerOwner* containerOwner, std::uint64_t id) {
    owner = containerOwner;
    containerId = id;
  }
  // Whether `source` holds data this container reads and the host supports;
  // may append the missing format to `formats` (which may be null).
  virtual bool probe(SourceDescriptor* source, std::uint32_t a, std::uint32_t b, FormatList* formats) = 0;
  virtual void parserHookA(std::uint32_t value) = 0;
  virtual Status parserHookB(std::uint32_t value) = 0;
  // Reads `source` and adds one stream for it; kStatusFailure leaves the
  // container as it was.
  virtual Status open(SourceDescriptor* source) = 0;
  virtual String<unsigned char> getUrl() = 0;
  virtual std::uint64_t getContainerId() { return containerId; }
  // Writes 0 through both pointers.
  virtual Status getValuePair(std::uint32_t* first, std::uint32_t* second) {
    if (first != nullptr) *first = 0;
    if (second != nullptr) *second = 0;
    return kStatusOk;
  }
  virtual std::uint32_t containerReserved() = 0;
  virtual List<std::uint64_t> getPresentations() = 0;
  virtual String<unsigned char> getPresentationName(std::uint64_t presentation) = 0;
  virtual Status activatePresentation(std::uint64_t presentation) = 0;
  virtual Status closeStreams(bool skip) = 0;
  // Writes the source file's size in bytes through `size`.
  virtual Status getSourceSize(std::uint64_t* size) = 0;
  virtual std::int32_t lookupMimeType(String<unsigned char>& mimeType) = 0;
  virtual std::uint32_t getMimeTypeCount() = 0;
  virtual String<unsigned char> getMimeType(std::uint32_t index) = 0;
  virtual std::int32_t getMimeTypePriority(std::uint32_t index) = 0;

  ContainerOwner* owner = nullptr;
  std::uint64_t containerId = 0;
};

}  // namespace Kelvo
