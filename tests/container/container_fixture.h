// A real SUBContainer driven as the host drives it, with the host-side fakes,
// over entries built the way the parser builds them. When the rig ends it
// closes the streams and, as the host, deletes those that were announced to it.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "framework/media_buffer.h"
#include "recording_log.h"
#include "sub/sub_container.h"
#include "test_host.h"

namespace Kelvo::testing {

using OverlayStream = SubtitleParserTemplate<SUBContainer>::OverlayStream;

// One subtitle entry: start and display time in milliseconds, its text.
struct Entry {
  std::uint32_t start;
  std::uint32_t duration;
  std::string text;
};

struct DisposeChunk {
  void operator()(MediaChunk* chunk) const { chunk->dispose(); }
};
using OwnedChunk = std::unique_ptr<MediaChunk, DisposeChunk>;

// What one readStream call answered and handed out.
struct Read {
  Status status;
  OwnedChunk chunk;
};

// The bytes of a chunk, bufferSize of them.
inline std::string textOf(MediaChunk* chunk) {
  const std::uint8_t* data = chunk->lockData();
  std::string text(reinterpret_cast<const char*>(data), chunk->bufferSize);
  chunk->unlockData();
  return text;
}

// A logged message as (category, function, line, format, text).
using Logged = std::tuple<std::string, std::string, std::int32_t, std::string, std::string>;

inline std::vector<Logged> logged() {
  std::vector<Logged> result;
  for (const RecordedMessage& message : recordedMessages()) {
    result.emplace_back(message.category, message.function, message.line, message.format, message.text);
  }
  return result;
}

inline Logged seekedTo(std::uint32_t start) {
  return {"Container", "Kelvo::SubtitleParserTemplate<class Kelvo::SUBContainer>::OverlayStream::seekStream", 602,
          "Subtitle Stream: seeked to %d", "Subtitle Stream: seeked to " + std::to_string(std::int32_t(start))};
}

inline Logged seekedToEdge(const std::string& edge) {
  return {"Container", "Kelvo::SubtitleParserTemplate<class Kelvo::SUBContainer>::OverlayStream::seekStream", 604,
          "Subtitle Stream: seeked to %s", "Subtitle Stream: seeked to " + edge};
}

// One container with its owner, host and clock.
class ContainerRig {
 public:
  ContainerRig() : container(new SUBContainer(&host)) { container->attach(&owner, 42); }
  ContainerRig(const ContainerRig&) = delete;
  ContainerRig& operator=(const ContainerRig&) = delete;
  // The host deletes the streams it was given; the container deletes the
  // rest when it goes.
  ~ContainerRig() {
    container->closeStreams(false);
    std::vector<StreamInterface*> given = owner.added;
    std::sort(given.begin(), given.end());
    given.erase(std::unique(given.begin(), given.end()), given.end());
    for (StreamInterface* stream : given) delete stream;
    container->releaseReference();
  }

  // A chunk over a new[] block of `entry.text` and its terminator, counted
  // without the terminator, as the parser makes it.
  MediaChunk* makeEntry(const Entry& entry) {
    const auto size = static_cast<std::uint32_t>(entry.text.size());
    auto* block = new std::uint8_t[size + 1];
    std::memcpy(block, entry.text.c_str(), size + 1);
    MediaChunk* chunk = container->bufferAllocator->createChunk(block, size);
    chunk->dataLength = size;
    chunk->timestamp = entry.start;
    chunk->duration = entry.duration;
    return chunk;
  }

  std::vector<MediaChunk*> makeEntries(const std::vector<Entry>& entries) {
    std::vector<MediaChunk*> chunks;
    for (const Entry& entry : entries) chunks.push_back(makeEntry(entry));
    return chunks;
  }

  // Builds a stream over `entries` under the container's lock, as open does,
  // and returns it; the identifier is the next one the owner hands out.
  OverlayStream* addStream(const std::vector<Entry>& entries, std::string_view language = "",
                           std::string_view region = "", std::string_view name = "a.sub") {
    std::vector<MediaChunk*> chunks = makeEntries(entries);
    const std::uint64_t id = owner.nextIdentifier;
    const std::lock_guard<std::recursive_mutex> guard(container->mutex);
    const Status status =
        container->createOverlayStream(chunks, String<unsigned char>::fromView(name), String<char>::fromView(language),
                                       String<char>::fromView(region));
    EXPECT_EQ(status, kStatusOk);
    if (status != kStatusOk) {
      for (MediaChunk* chunk : chunks) chunk->dispose();
      return nullptr;
    }
    OverlayStream* stream = container->streams.at(id);
    return stream;
  }

  // A stream with its clock set, ready to read.
  OverlayStream* addClockedStream(const std::vector<Entry>& entries) {
    OverlayStream* stream = addStream(entries);
    EXPECT_EQ(stream->setClock(&clock), kStatusOk);
    return stream;
  }

  // One readStream call; the chunk handed out, if any, is disposed with the Read.
  static Read read(OverlayStream* stream) {
    MediaChunk sentinel(nullptr);
    MediaChunk* chunk = &sentinel;
    const Status status = stream->readStream(&chunk);
    EXPECT_NE(chunk, &sentinel) << "readStream left the result unset";
    return {status, OwnedChunk(chunk == &sentinel ? nullptr : chunk)};
  }

  // The start of every chunk read until the stream reports its end.
  static std::vector<std::uint32_t> readAll(OverlayStream* stream) {
    std::vector<std::uint32_t> starts;
    for (;;) {
      Read result = read(stream);
      if (result.status != kStatusOk || result.chunk == nullptr) break;
      starts.push_back(result.chunk->timestamp);
    }
    return starts;
  }

  FakePluginHost host;
  FakeOwner owner;
  FakeClock clock;
  SUBContainer* container;
};

// Each test starts with an empty log record.
class ContainerFixture : public ::testing::Test, public ContainerRig {
 protected:
  void SetUp() override {
    clearRecordedMessages();
    setRecordingEnabled(true);
  }
};

}  // namespace Kelvo::testing
