// A stream for testing the host's reading loop without the plug-in: it reads
// its entries as the overlay stream does (an entry is due 500 ms before its
// start, times compared unsigned), and can be told to answer outside that
// contract. Its chunks are real MediaChunks; it counts the ones given back.
#pragma once

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "container/stream_interface.h"
#include "framework/media_buffer.h"
#include "plugin/status.h"

namespace Kelvo::testing {

class CountingAllocator final : public IBufferAllocator {
 public:
  MediaBuffer* acquire(std::uint32_t, std::uint32_t, std::uint32_t) override { return nullptr; }
  void releaseBuffer(MediaBuffer* buffer) override {
    ++released;
    delete[] buffer->payload;
    delete buffer;
  }
  int released = 0;
};

class FakeStream : public StreamInterface {
 public:
  struct Entry {
    std::uint32_t start;
    std::uint32_t duration;
    std::string text;
  };

  // Requires: `sorted` in ascending unsigned order of start.
  explicit FakeStream(std::vector<Entry> sorted) : StreamInterface(1, 2, 0), entries(std::move(sorted)) { rate = 1000; }

  std::uint32_t reservedA() override { return 0; }
  bool getStreamInfo(String<unsigned char>*, String<char>*, String<char>*, std::uint32_t) override { return false; }
  StreamFormat* getStreamFormat() override { return &format; }
  ImageProperties* getProperties() override { return &properties; }
  std::uint32_t getStreamType() override { return 320; }
  Status setClock(MediaClock* given) override {
    if (clockAnswer != kStatusOk) return clockAnswer;
    clock = given;
    return kStatusOk;
  }
  Status resetPosition() override { return kStatusOk; }
  Status findNextTime(std::uint32_t, std::uint32_t time, std::uint32_t* result) override {
    if (findAnswer != kStatusOk) return findAnswer;
    *result = entries.empty() ? time : end(entries.back());
    for (const Entry& entry : entries) {
      if (entry.start >= time) {
        *result = entry.start;
        break;
      }
    }
    if (staleNext) *result = *staleNext;
    return kStatusOk;
  }
  Status seekStream(std::uint32_t time, std::uint32_t* result, std::uint32_t) override {
    if (seeksBeforeAnswer-- <= 0 && seekAnswer != kStatusOk) return seekAnswer;
    const auto count = static_cast<std::int32_t>(entries.size());
    if (rate > 0) {
      position = count;
      for (std::int32_t i = 0; i < count; ++i) {
        if (end(entries[i]) >= time) {
          position = i;
          break;
        }
      }
    } else {
      position = 0;
      for (std::int32_t i = count - 1; i >= 0; --i) {
        if (entries[i].start < time) {
          position = i;
          break;
        }
      }
    }
    if (result != nullptr) *result = position < count ? entries[position].start : 0;
    return kStatusOk;
  }
  std::uint32_t reservedB() override { return 0; }
  Status readStream(MediaChunk** chunk) override {
    *chunk = nullptr;
    if (clock == nullptr || clock->getMediaTime() < 0) return kStatusNotYet;
    const std::int32_t now = clock->getMediaTime();
    if (readAnswer) {
      *chunk = make(entries.front());
      return *readAnswer;
    }
    if (rate == 0 || position < 0 || position >= static_cast<std::int32_t>(entries.size())) return kStatusOk;
    const Entry& entry = entries[position];
    if (static_cast<std::uint32_t>(now) + 500 < entry.start) return kStatusNotYet;
    *chunk = make(entry);
    position += rate > 0 ? 1 : -1;
    mediaTimesAtDelivery.push_back(now);
    return kStatusOk;
  }
  bool setRate(std::int32_t newRate) override {
    if (!rateAnswer) return false;
    rate = newRate;
    return true;
  }

  // Answers outside the contract.
  Status clockAnswer = kStatusOk;
  bool rateAnswer = true;
  Status seekAnswer = kStatusOk;  // after seeksBeforeAnswer seeks that succeed
  int seeksBeforeAnswer = 0;
  Status findAnswer = kStatusOk;
  std::optional<std::uint32_t> staleNext;  // findNextTime's answer, whatever the entries
  std::optional<Status> readAnswer;        // readStream's status, with a chunk of the first entry

  std::vector<std::int32_t> mediaTimesAtDelivery;
  int handed = 0;
  CountingAllocator allocator;

 private:
  static std::uint32_t end(const Entry& entry) { return entry.start + entry.duration; }

  MediaChunk* make(const Entry& entry) {
    auto* block = new std::uint8_t[entry.text.size()];
    std::memcpy(block, entry.text.data(), entry.text.size());
    auto* chunk = new MediaChunk(&allocator);
    chunk->setBuffer(block, static_cast<std::uint32_t>(entry.text.size()));
    chunk->dataLength = static_cast<std::uint32_t>(entry.text.size());
    chunk->timestamp = entry.start;
    chunk->duration = entry.duration;
    ++handed;
    return chunk;
  }

  std::vector<Entry> entries;
  std::int32_t position = 0;
  MediaClock* clock = nullptr;
  StreamFormat format{};
  ImageProperties properties;
};

}  // namespace Kelvo::testing
