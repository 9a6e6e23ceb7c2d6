// StreamInterface: an elementary stream of a container as the host sees it.
// The host calls these operations by position: keep their order. The base
// supplies the default bodies; a stream class supplies the pure ones.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>

#include "framework/node_list.h"
#include "framework/portable_string.h"
#include "framework/properties.h"
#include "plugin/boundary.h"
#include "plugin/host_interfaces.h"
#include "plugin/status.h"

namespace Kelvo {

class MediaChunk;

class StreamInterface {
 public:
  // A stream linked to this one, with the relation's flag bits.
  struct LinkedStream {
    std::uint32_t relationFlags;
    StreamInterface* stream;
  };

  StreamInterface(std::uint64_t ownerContainerId, std::uint64_t id, std::uint32_t streamTag)
      : containerId(ownerContainerId), streamId(id), tag(streamTag) {}
  StreamInterface(const StreamInterface&) = delete;
  StreamInterface& operator=(const StreamInterface&) = delete;
  virtual ~StreamInterface() {
    const std::lock_guard<std::recursive_mutex> guard(lock);
    linkedStreams.clear();
  }

  virtual std::uint32_t reservedA() = 0;
  // Writes the value pair through both pointers.
  virtual void getValuePair(std::uint32_t* first, std::uint32_t* second) {
    if (first != nullptr) *first = valuePair[0];
    if (second != nullptr) *second = valuePair[1];
  }
  // Copies the stream's non-empty name, language and region into the strings
  // given; true when at least one was copied.
  virtual bool getStreamInfo(String<unsigned char>* name, String<char>* language, String<char>* region,
                             std::uint32_t unused) = 0;
  // The stream's own record; valid as long as the stream.
  virtual StreamFormat* getStreamFormat() = 0;
  // The stream's own record; valid as long as the stream.
  virtual ImageProperties* getProperties() = 0;
  virtual std::uint32_t getStreamType() = 0;
  virtual std::uint32_t getStreamTag() { return tag; }
  // The linked streams whose relation flags hold every bit of `mask`, in key
  // order. The caller owns the list.
  virtual List<StreamInterface*> getLinkedStreams(std::uint32_t mask) {
    return guarded(List<StreamInterface*>(), [&] {
      List<StreamInterface*> found;
      {
        const std::lock_guard<std::recursive_mutex> guard(lock);
        for (const auto& [key, link] : linkedStreams) {
          if ((link.relationFlags & mask) == mask) found.append(link.stream);
        }
      }
      List<StreamInterface*> result(found, List<StreamInterface*>::NodeAllocator::instance());
      found.clear();
      return result;
    });
  }
  virtual Status setClock(MediaClock* clock) = 0;
  virtual Status resetPosition() = 0;
  virtual Status findNextTime(std::uint32_t unused, std::uint32_t time, std::uint32_t* result) = 0;
  virtual Status seekStream(std::uint32_t time, std::uint32_t* result, std::uint32_t flags) = 0;
  virtual std::uint32_t reservedB() = 0;
  // Hands out the next due chunk, or none; the caller owns a chunk it gets
  // and ends it with dispose().
  virtual Status readStream(MediaChunk** chunk) = 0;
  virtual std::uint32_t getCurrentTime() { return currentTime; }
  virtual bool getStateFlag() { return stateFlag; }
  virtual bool setRate(std::int32_t newRate) {
    rate = newRate;
    return true;
  }
  virtual std::int32_t getRate() { return rate; }
  virtual bool setValueA(std::uint32_t value) {
    valueA = value;
    return true;
  }
  virtual std::uint32_t getValueA() { return valueA; }
  virtual void setValueB(std::uint32_t value) { valueB = value; }
  virtual std::uint32_t getValueB() { return valueB; }
  virtual bool queryContainerOption(std::uint32_t /*option*/) { return false; }

  std::int32_t streamNumber = 0;
  std::uint64_t containerId;
  std::uint64_t streamId;
  bool stateFlag = false;
  std::int32_t rate = 0;  // its sign is the reading direction
  std::uint32_t valueA = 0;
  std::uint32_t valueB = 0;  // host-owned storage; starts at 0 here
  std::uint32_t valuePair[2] = {0, 0};
  std::recursive_mutex lock;  // guards linkedStreams only
  std::map<std::uint64_t, LinkedStream> linkedStreams;
  std::uint32_t tag;
  std::uint32_t currentTime = 0;  // end of the last delivered chunk, ms
};

}  // namespace Kelvo
