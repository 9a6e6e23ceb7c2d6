// Definitions of SubtitleParserTemplate<P> and its OverlayStream. Included by
// the parser class's source file, which instantiates the template for P.
#pragma once

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "container/language_codes.h"
#include "container/subtitle_parser_template.h"
#include "log/logger.h"
#include "plugin/boundary.h"
#include "text/file.h"
#include "text/url_path.h"

namespace Kelvo {

namespace detail {

// An entry's display interval in milliseconds, as unsigned 32-bit values
// (the end wraps like the host's arithmetic does).
inline std::uint32_t startOf(const MediaChunk* entry) { return entry->timestamp; }
inline std::uint32_t endOf(const MediaChunk* entry) { return entry->timestamp + entry->duration; }

// Ends a chunk the stream made but could not hand out.
struct DisposeChunk {
  void operator()(MediaChunk* chunk) const { chunk->dispose(); }
};

// The stream's log statements name their function by these texts.
inline constexpr const char* kSeekStreamFunction =
    "Kelvo::SubtitleParserTemplate<class Kelvo::SUBContainer>::OverlayStream::seekStream";
inline constexpr const char* kReadStreamFunction =
    "Kelvo::SubtitleParserTemplate<class Kelvo::SUBContainer>::OverlayStream::readStream";

// Hands `staged`'s characters, made by `target`'s allocator, to `target`.
template <typename T>
void moveInto(String<T>& target, String<T>& staged) {
  target.clear();
  target.chars = staged.chars;
  target.length = staged.length;
  staged.chars = nullptr;
  staged.length = 0;
}

// A copy of `value` on `target`'s allocator when `target` is given and
// `value` holds text; copies are staged so a failed call changes nothing.
template <typename T>
std::optional<String<T>> stageCopy(const String<T>* target, const String<T>& value) {
  if (target == nullptr || value.chars == nullptr || value.length == 0) return std::nullopt;
  return std::optional<String<T>>(std::in_place, value, target->allocator);
}

}  // namespace detail

template <typename P>
SubtitleParserTemplate<P>::SubtitleParserTemplate() : bufferAllocator(new MediaBufferAllocator()) {}

template <typename P>
SubtitleParserTemplate<P>::~SubtitleParserTemplate() {
  // A host that never closed the streams leaves their entries here: they are
  // released before their allocator goes, and streams no host was ever
  // given go with the container.
  for (const auto& [id, stream] : streams) {
    for (MediaChunk* entry : stream->entries) bufferAllocator->releaseBuffer(entry);
    stream->entries.clear();
    stream->times.clear();
    if (!stream->announced) delete stream;
  }
  for (OverlayStream* stream : unannouncedClosed) delete stream;
  delete bufferAllocator;
  preferredLanguage.clear();
  streams.clear();
  url.clear();
}

template <typename P>
String<unsigned char> SubtitleParserTemplate<P>::getUrl() {
  return guarded(String<unsigned char>(), [&] { return String<unsigned char>(url); });
}

template <typename P>
std::uint32_t SubtitleParserTemplate<P>::containerReserved() {
  return 0;
}

template <typename P>
List<std::uint64_t> SubtitleParserTemplate<P>::getPresentations() {
  return guarded(List<std::uint64_t>(), [&] {
    if (presentationId == kNoIdentifier && owner != nullptr) presentationId = owner->newIdentifier();
    List<std::uint64_t> local;
    local.append(presentationId);
    List<std::uint64_t> result(local, List<std::uint64_t>::NodeAllocator::instance());
    local.clear();
    return result;
  });
}

template <typename P>
String<unsigned char> SubtitleParserTemplate<P>::getPresentationName(std::uint64_t /*presentation*/) {
  return guarded(String<unsigned char>(), [] { return String<unsigned char>::fromView(""); });
}

template <typename P>
Status SubtitleParserTemplate<P>::activatePresentation(std::uint64_t presentation) {
  return guarded(kStatusFailure, [&] {
    const std::lock_guard<std::recursive_mutex> guard(mutex);
    if (presentation != presentationId || owner == nullptr) return kStatusFailure;
    {
      const String<char> answer = owner->getPreferredLanguage();  // freed through its own allocator
      preferredLanguage.assign(answer);
    }
    // The owner may re-enter and open or close streams while it is told about
    // them, so the walk runs over the streams held when it started. Each
    // stream is handed over once: the owner deletes what it was given, so a
    // second activation announces only the streams opened since the first.
    const std::vector<std::pair<std::uint64_t, OverlayStream*>> announced(streams.begin(), streams.end());
    std::vector<OverlayStream*> fresh;
    for (const auto& [id, stream] : announced) {
      if (!stream->announced) fresh.push_back(stream);
    }
    for (OverlayStream* stream : fresh) stream->announced = true;
    for (OverlayStream* stream : fresh) owner->streamAdded(stream);
    if (announced.empty()) return kStatusOk;

    // An identifier of 0 is a valid one, so "nothing selected yet" is kept apart from it.
    std::optional<std::uint64_t> selection;
    const std::string_view preferred = preferredLanguage.view();
    if (!preferred.empty() && announced.size() > 1) {
      std::string_view language = preferred;
      std::string_view region;
      if (const std::size_t hyphen = preferred.find('-'); hyphen != std::string_view::npos) {
        language = preferred.substr(0, hyphen);
        region = preferred.substr(hyphen + 1);
      }
      const std::string alternate = alternateLanguageCode(language);
      for (const auto& [id, stream] : announced) {
        const std::string_view streamLanguage = stream->language.view();
        if (streamLanguage != language && streamLanguage != alternate) continue;
        if (!region.empty() && stream->region.view() == region) selection = id;
        if (!selection) selection = id;
      }
    }
    owner->selectStream(selection.value_or(announced.front().first), 1);
    return kStatusOk;
  });
}

template <typename P>
Status SubtitleParserTemplate<P>::closeStreams(bool skip) {
  if (skip) return kStatusOk;
  return guarded(kStatusOk, [&] {
    const std::lock_guard<std::recursive_mutex> guard(mutex);
    // Forget the streams before the owner hears of them, so an owner that
    // closes again from streamRemoved finds nothing left to report.
    std::map<std::uint64_t, OverlayStream*> closing;
    closing.swap(streams);
    for (const auto& [id, stream] : closing) {
      std::vector<MediaChunk*> released;
      released.swap(stream->entries);
      stream->times.clear();
      for (MediaChunk* entry : released) bufferAllocator->releaseBuffer(entry);
      if (!stream->announced) unannouncedClosed.push_back(stream);
      if (owner != nullptr) owner->streamRemoved(id);
    }
    return kStatusOk;
  });
}

template <typename P>
Status SubtitleParserTemplate<P>::getSourceSize(std::uint64_t* size) {
  return guarded(kStatusFailure, [&] {
    if (size == nullptr) return kStatusFailure;
    // `url` holds the source URL of the last successful open.
    String<unsigned char> path;
    if (urlToPath(url, &path) != kStatusOk) return kStatusFailure;
    const std::optional<std::uint64_t> measured = sizeOfFile(path);
    if (!measured) return kStatusFailure;
    *size = *measured;
    return kStatusOk;
  });
}

template <typename P>
bool SubtitleParserTemplate<P>::queryOption(std::uint32_t /*option*/) {
  return false;
}

template <typename P>
Status SubtitleParserTemplate<P>::createOverlayStream(std::vector<MediaChunk*>& entries,
                                                      const String<unsigned char>& name, const String<char>& language,
                                                      const String<char>& region) {
  return guarded(kStatusFailure, [&] {
    if (owner == nullptr) return kStatusFailure;
    // Files are nearly always in order already: their times, recorded for the
    // stream's searches, tell.
    EntryTimes times(entries);
    if (!times.inOrder()) {
      std::sort(entries.begin(), entries.end(),
                [](const MediaChunk* a, const MediaChunk* b) { return a->timestamp < b->timestamp; });
      times = EntryTimes(entries);
    }
    const std::uint64_t id = owner->newIdentifier();
    // A stream entered over another would strand the other's entries.
    if (id == kNoIdentifier || streams.count(id) != 0) return kStatusFailure;
    auto stream = std::make_unique<OverlayStream>(this, id, entries, std::move(times), name, language, region);
    streams.emplace(id, stream.get());
    stream.release();  // the host takes the stream over when it is announced
    return kStatusOk;
  });
}

template <typename P>
SubtitleParserTemplate<P>::OverlayStream::OverlayStream(SubtitleParserTemplate* owningContainer, std::uint64_t id,
                                                        const std::vector<MediaChunk*>& sorted, EntryTimes sortedTimes,
                                                        const String<unsigned char>& streamName,
                                                        const String<char>& streamLanguage,
                                                        const String<char>& streamRegion)
    : StreamInterface(owningContainer->containerId, id, 0),
      container(owningContainer),
      name(streamName),
      language(streamLanguage),
      region(streamRegion),
      entries(sorted),
      times(std::move(sortedTimes)) {
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

template <typename P>
bool SubtitleParserTemplate<P>::OverlayStream::getStreamInfo(String<unsigned char>* nameOut, String<char>* languageOut,
                                                             String<char>* regionOut, std::uint32_t /*unused*/) {
  return guarded(false, [&] {
    auto stagedName = detail::stageCopy(nameOut, name);
    auto stagedLanguage = detail::stageCopy(languageOut, language);
    auto stagedRegion = detail::stageCopy(regionOut, region);
    if (stagedName) detail::moveInto(*nameOut, *stagedName);
    if (stagedLanguage) detail::moveInto(*languageOut, *stagedLanguage);
    if (stagedRegion) detail::moveInto(*regionOut, *stagedRegion);
    return stagedName || stagedLanguage || stagedRegion;
  });
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

template <typename P>
Status SubtitleParserTemplate<P>::OverlayStream::setClock(MediaClock* mediaClock) {
  return guarded(kStatusFailure, [&] {
    const std::lock_guard<std::recursive_mutex> guard(container->mutex);
    if (mediaClock == nullptr) return kStatusNotYet;
    clock = mediaClock;
    return kStatusOk;
  });
}

template <typename P>
Status SubtitleParserTemplate<P>::OverlayStream::resetPosition() {
  return guarded(kStatusFailure, [&] {
    const std::lock_guard<std::recursive_mutex> guard(container->mutex);
    position = rate > 0 ? 0 : static_cast<std::int32_t>(entries.size()) - 1;
    return kStatusOk;
  });
}

template <typename P>
Status SubtitleParserTemplate<P>::OverlayStream::findNextTime(std::uint32_t /*unused*/, std::uint32_t time,
                                                              std::uint32_t* result) {
  return guarded(kStatusFailure, [&] {
    const std::lock_guard<std::recursive_mutex> guard(container->mutex);
    if (result == nullptr) return kStatusFailure;
    if (entries.empty()) {
      *result = time;
      return kStatusOk;
    }
    if (rate == 0) return kStatusFailure;
    if (rate > 0) {
      // The first start at or after `time`, else the end of the last entry.
      const std::size_t found = times.firstStartingAtOrAfter(time);
      *result = found < entries.size() ? times.startAt(found) : detail::endOf(entries.back());
    } else {
      // The start of the last entry ending before `time`, else just before the first.
      const std::size_t past = times.pastLastEndingBefore(time);
      *result = past > 0 ? times.startAt(past - 1) : times.startAt(0) - 1;
    }
    return kStatusOk;
  });
}

template <typename P>
Status SubtitleParserTemplate<P>::OverlayStream::seekStream(std::uint32_t time, std::uint32_t* result,
                                                            std::uint32_t /*flags*/) {
  return guarded(kStatusFailure, [&] {
    const std::lock_guard<std::recursive_mutex> guard(container->mutex);
    if (entries.empty()) {
      if (result != nullptr) *result = time;
      return kStatusOk;
    }
    if (rate == 0) return kStatusFailure;
    const auto count = static_cast<std::int32_t>(entries.size());
    std::uint32_t found = 0;
    if (rate > 0) {
      // The first entry still showing at `time`, else past the end.
      position = static_cast<std::int32_t>(times.firstEndingAtOrAfter(time));
      found = position < count ? times.startAt(static_cast<std::size_t>(position)) : detail::endOf(entries.back()) + 1;
    } else {
      // The last entry starting before `time`, else the first.
      const auto past = static_cast<std::int32_t>(times.firstStartingAtOrAfter(time));
      position = past > 0 ? past - 1 : 0;
      found = past > 0 ? times.startAt(static_cast<std::size_t>(position)) : 0;
    }
    if (result != nullptr) *result = found;
    if (position >= 0 && position < count) {
      Logger::instance()->log("Container", detail::kSeekStreamFunction, 602, "Subtitle Stream: seeked to %d",
                              static_cast<std::int32_t>(times.startAt(static_cast<std::size_t>(position))));
    } else {
      Logger::instance()->log("Container", detail::kSeekStreamFunction, 604, "Subtitle Stream: seeked to %s",
                              rate > 0 ? "end" : "beginning");
    }
    return kStatusOk;
  });
}

template <typename P>
std::uint32_t SubtitleParserTemplate<P>::OverlayStream::reservedB() {
  return 0;
}

template <typename P>
Status SubtitleParserTemplate<P>::OverlayStream::readStream(MediaChunk** chunk) {
  if (chunk == nullptr) return kStatusFailure;
  *chunk = nullptr;
  return guarded(kStatusFailure, [&] {
    const std::lock_guard<std::recursive_mutex> guard(container->mutex);
    if (clock == nullptr) return kStatusNotYet;
    const std::int32_t now = clock->getMediaTime();
    if (now < 0) return kStatusNotYet;
    if (rate == 0 || position < 0 || position >= static_cast<std::int32_t>(entries.size())) return kStatusOk;
    MediaChunk* entry = entries[position];
    // An entry is handed out at the earliest this long before its start.
    constexpr std::uint32_t kLeadMs = 500;
    if (static_cast<std::uint32_t>(now) + kLeadMs < detail::startOf(entry)) return kStatusNotYet;

    const std::uint32_t size = entry->bufferSize;
    std::unique_ptr<std::uint8_t[]> block(new std::uint8_t[size]);
    const std::uint8_t* data = entry->lockData();
    if (size != 0) std::memcpy(block.get(), data, size);
    entry->unlockData();
    std::unique_ptr<MediaChunk, detail::DisposeChunk> delivered(
        container->bufferAllocator->createChunk(block.get(), size));
    block.release();  // the chunk owns it now
    delivered->dataLength = entry->dataLength;
    delivered->timestamp = entry->timestamp;
    delivered->duration = entry->duration;

    // The stream moves on only once nothing can fail any more.
    Logger::instance()->log("Subtitle", detail::kReadStreamFunction, 664,
                            "PARSED(Sub=%i): timestamp=%d duration=%d mediatime=%d", streamNumber,
                            static_cast<std::int32_t>(delivered->timestamp),
                            static_cast<std::int32_t>(delivered->duration), clock->getMediaTime());
    position += rate > 0 ? 1 : -1;
    currentTime = delivered->timestamp + delivered->duration;
    *chunk = delivered.release();  // the host's now, until it calls dispose()
    return kStatusOk;
  });
}

template <typename P>
std::uint32_t SubtitleParserTemplate<P>::OverlayStream::getCurrentTime() {
  return guarded(std::uint32_t{0}, [&] {
    const std::lock_guard<std::recursive_mutex> guard(container->mutex);
    return currentTime;
  });
}

template <typename P>
bool SubtitleParserTemplate<P>::OverlayStream::setRate(std::int32_t newRate) {
  return guarded(false, [&] {
    // Held so that the entry looked at cannot be released by a concurrent
    // closeStreams; the seek below takes it again.
    const std::lock_guard<std::recursive_mutex> guard(container->mutex);
    if (newRate == rate) return true;
    if (!entries.empty()) {
      const auto last = static_cast<std::int32_t>(entries.size()) - 1;
      const MediaChunk* current = entries[std::clamp(position, 0, last)];
      // Seeks in the direction still in force, to where the new one starts reading.
      seekStream(newRate >= 0 ? detail::startOf(current) : detail::endOf(current), nullptr, 1);
    }
    rate = newRate;
    return true;
  });
}

template <typename P>
std::int32_t SubtitleParserTemplate<P>::OverlayStream::getRate() {
  return guarded(std::int32_t{0}, [&] {
    const std::lock_guard<std::recursive_mutex> guard(container->mutex);
    return rate;
  });
}

template <typename P>
bool SubtitleParserTemplate<P>::OverlayStream::queryContainerOption(std::uint32_t option) {
  return container->queryOption(option);
}

}  // namespace Kelvo
