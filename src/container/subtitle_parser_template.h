// SubtitleParserTemplate<P>: the container part of a text-subtitle plug-in. It
// owns the container's state (owner link, lock, streams, chunk allocator) and
// the format-independent operations; the parser class P supplies probe, open,
// the MIME operations and getFormatCode. Each opened file becomes one
// OverlayStream, which the host holds once it is announced; the container owns
// the streams' entry chunks until closeStreams. `mutex` is recursive: owner
// callbacks made under it may re-enter the container on the same thread.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <vector>

#include "container/container_interface.h"
#include "container/entry_times.h"
#include "container/stream_interface.h"
#include "framework/media_buffer.h"
#include "framework/media_buffer_allocator.h"
#include "framework/portable_string.h"
#include "framework/properties.h"
#include "plugin/host_interfaces.h"
#include "plugin/status.h"

namespace Kelvo {

template <typename P>
class SubtitleParserTemplate : public ContainerInterface {
 public:
  class OverlayStream;

  SubtitleParserTemplate();
  ~SubtitleParserTemplate() override;

  String<unsigned char> getUrl() override;
  std::uint32_t containerReserved() override;
  List<std::uint64_t> getPresentations() override;
  String<unsigned char> getPresentationName(std::uint64_t presentation) override;
  // Announces every stream not announced before to the owner, in identifier
  // order (the owner takes each over once), and selects among all the
  // container's streams the one whose language (and region) best matches the
  // owner's preferred language. kStatusFailure, with no owner call, for another identifier or
  // when no owner is attached.
  Status activatePresentation(std::uint64_t presentation) override;
  // With `skip` false: releases every stream's entries, reports each stream
  // to the owner as removed and forgets the streams, which the host still
  // holds and which read as empty from then on. Always kStatusOk.
  Status closeStreams(bool skip) override;
  Status getSourceSize(std::uint64_t* size) override;
  // Writes the format code of the streams' data into the 8-byte `code`
  // field of a StreamFormat and returns `code`.
  virtual char* getFormatCode(char* code) = 0;
  // The overlay streams' queryContainerOption lands here: always false.
  virtual bool queryOption(std::uint32_t option);

  // Sorts `entries` by start (unsigned) unless they already are, gets a stream
  // identifier from the owner and enters a new OverlayStream over a copy of
  // them in `streams`; the chunks then belong to the container.
  // kStatusFailure when no owner is attached, the owner's identifier is none
  // or already taken, or memory runs out: no stream is added and the caller
  // still owns the chunks.
  // Requires: `mutex` is held.
  Status createOverlayStream(std::vector<MediaChunk*>& entries, const String<unsigned char>& name,
                             const String<char>& language, const String<char>& region);

  String<unsigned char> url;
  std::recursive_mutex mutex;
  std::map<std::uint64_t, OverlayStream*> streams;  // owned only until announced
  String<char> preferredLanguage;
  std::uint64_t presentationId = kNoIdentifier;
  MediaBufferAllocator* bufferAllocator;
  // Closed streams that were never announced: no host holds them, so the
  // container deletes them when it dies.
  std::vector<OverlayStream*> unannouncedClosed;
};

// The one elementary stream of an opened subtitle file: its entries as timed
// chunks, read against the host's clock. The host owns the object once it is
// announced; the entries belong to the container.
template <typename P>
class SubtitleParserTemplate<P>::OverlayStream final : public StreamInterface {
 public:
  // Requires: `sorted` is sorted by start and `sortedTimes` holds its times.
  OverlayStream(SubtitleParserTemplate* owningContainer, std::uint64_t id, const std::vector<MediaChunk*>& sorted,
                EntryTimes sortedTimes, const String<unsigned char>& streamName, const String<char>& streamLanguage,
                const String<char>& streamRegion);
  ~OverlayStream() override;

  std::uint32_t reservedA() override;
  bool getStreamInfo(String<unsigned char>* nameOut, String<char>* languageOut, String<char>* regionOut,
                     std::uint32_t unused) override;
  StreamFormat* getStreamFormat() override;
  ImageProperties* getProperties() override;
  std::uint32_t getStreamType() override;
  // Stores the clock readStream asks; kStatusNotYet and no change for null.
  Status setClock(MediaClock* mediaClock) override;
  // Back to the first entry in the reading direction.
  Status resetPosition() override;
  // Writes the next entry boundary from `time` (ms) in the reading direction
  // without moving: forward the first start at or after it, backward the start
  // of the last entry ending before it. An empty stream echoes `time`.
  // kStatusFailure for a null `result` or while the rate is 0.
  Status findNextTime(std::uint32_t unused, std::uint32_t time, std::uint32_t* result) override;
  // Moves to the entry shown at `time` (ms) in the reading direction and
  // writes its start through `result` (may be null). An empty stream echoes
  // `time`; kStatusFailure while the rate is 0.
  Status seekStream(std::uint32_t time, std::uint32_t* result, std::uint32_t flags) override;
  std::uint32_t reservedB() override;
  // Sets *chunk to a fresh copy of the next entry once the clock is within
  // 500 ms of its start, and moves on. kStatusNotYet with no chunk while it is
  // not due, without a clock or a clock time; kStatusOk with no chunk at the
  // end in the reading direction or while the rate is 0; kStatusFailure for a
  // null `chunk`. The caller owns a chunk it gets and ends it with dispose().
  Status readStream(MediaChunk** chunk) override;
  // The end of the last delivered chunk, read under the container's lock
  // since any host thread may read while another one delivers.
  std::uint32_t getCurrentTime() override;
  // Re-seeks, in the old direction, to where the new direction reads the
  // current entry from, then stores the rate. Always true.
  bool setRate(std::int32_t newRate) override;
  // The rate, read under the container's lock like every change of it.
  std::int32_t getRate() override;
  bool queryContainerOption(std::uint32_t option) override;

  SubtitleParserTemplate* container;  // not owned
  MediaClock* clock = nullptr;        // not owned
  StreamFormat format{};
  String<unsigned char> name;
  String<char> language;
  String<char> region;
  std::vector<MediaChunk*> entries;  // sorted by start; owned by the container
  EntryTimes times;                  // the entries' times, for the searches; cleared with them
  std::int32_t position = 0;         // next entry to read; -1 or size: off an end
  ImageProperties properties;
  bool announced = false;  // handed to the owner by streamAdded: the host owns it from then on
};

}  // namespace Kelvo
