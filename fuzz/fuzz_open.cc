// The bytes are a SUB file and the way a host plays it. The first byte picks
// the code-page settings, the second the frame rate, the third the length of
// a script of host calls that follows; the rest is the file. The target
// opens the file and activates it, runs the script (reads, seeks, rates,
// clock times, finding times, closing, opening again) and closes and
// releases, checking what any host may rely on: every status is one the
// interface defines, chunks come out in the reading direction and hold
// UTF-8 text, and every chunk handed out is disposed of once (the sanitizer
// reports any that leaks).
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "framework/media_buffer.h"
#include "fuzz_support.h"
#include "plugin/status.h"
#include "sub/sub_container.h"
#include "text/encoding.h"

namespace {

using Kelvo::kStatusFailure;
using Kelvo::kStatusNotYet;
using Kelvo::kStatusOk;
using Kelvo::fuzzing::ByteReader;

// How many script steps, and reads per "read to the end" step, at most.
constexpr int kMaxSteps = 256;
constexpr int kMaxReadsToEnd = 4096;

class Player {
 public:
  Player(Kelvo::testing::FakeOwner& owner, const std::string& url) : owner_(owner), url_(url) {
    container_ = new Kelvo::SUBContainer(&host_);
    container_->attach(&owner_, 7);
  }

  ~Player() {
    SUB_FUZZ_CHECK(container_->closeStreams(false) == kStatusOk);
    // Chunks may outlive the streams; they go back to the container's allocator.
    disposeAll();
    for (Kelvo::StreamInterface* stream : owner_.added) delete stream;
    SUB_FUZZ_CHECK(container_->releaseReference() == 0);
  }

  void openAndActivate() {
    Kelvo::String<unsigned char> url = Kelvo::String<unsigned char>::fromView(url_);
    Kelvo::SourceDescriptor source{0, &url};
    const Kelvo::Status opened = container_->open(&source);
    SUB_FUZZ_CHECK(opened == kStatusOk || opened == kStatusFailure);
    const Kelvo::List<std::uint64_t> presentations = container_->getPresentations();
    SUB_FUZZ_CHECK(presentations.head != nullptr);
    const Kelvo::Status activated = container_->activatePresentation(presentations.head->value);
    SUB_FUZZ_CHECK(activated == kStatusOk);
    for (Kelvo::StreamInterface* stream : owner_.added) {
      SUB_FUZZ_CHECK(stream->setClock(&clock_) == kStatusOk);
    }
    forgetOrder();
  }

  void step(ByteReader& script) {
    Kelvo::StreamInterface* stream = pickStream(script.byte());
    switch (script.byte() % 11) {
      case 0:
        if (stream != nullptr) read(*stream);
        break;
      case 1:
        if (stream != nullptr) readToEnd(*stream);
        break;
      case 2:
        if (stream != nullptr) seek(*stream, script.word());
        break;
      case 3:
        if (stream != nullptr) setRate(*stream, static_cast<std::int32_t>(script.word()));
        break;
      case 4:
        if (stream != nullptr) findNextTime(*stream, script.word());
        break;
      case 5:
        clock_.now = static_cast<std::int32_t>(script.word());
        break;
      case 6:
        if (stream != nullptr) {
          SUB_FUZZ_CHECK(stream->setClock(nullptr) == kStatusNotYet);
          SUB_FUZZ_CHECK(stream->resetPosition() == kStatusOk);
          forgetOrder();
        }
        break;
      case 7:
        disposeAll();
        break;
      case 8:
        SUB_FUZZ_CHECK(container_->closeStreams(false) == kStatusOk);
        break;
      case 9:
        openAndActivate();
        break;
      default:
        SUB_FUZZ_CHECK(container_->closeStreams(true) == kStatusOk);
        break;
    }
  }

 private:
  // A stream the owner was handed, or none when there is none yet.
  Kelvo::StreamInterface* pickStream(std::uint8_t choice) {
    if (owner_.added.empty()) return nullptr;
    return owner_.added[choice % owner_.added.size()];
  }

  // Returns true when the stream reported its end.
  bool read(Kelvo::StreamInterface& stream) {
    Kelvo::MediaChunk unset(nullptr);
    Kelvo::MediaChunk* chunk = &unset;
    const Kelvo::Status status = stream.readStream(&chunk);
    SUB_FUZZ_CHECK(status == kStatusOk || status == kStatusNotYet);
    SUB_FUZZ_CHECK(chunk != &unset);
    if (chunk == nullptr) return status == kStatusOk;
    SUB_FUZZ_CHECK(status == kStatusOk);
    SUB_FUZZ_CHECK(chunk->dataLength <= chunk->bufferSize);
    const std::uint8_t* text = chunk->lockData();
    SUB_FUZZ_CHECK(Kelvo::isStrictUtf8(text, chunk->dataLength));
    chunk->unlockData();
    checkOrder(stream, chunk->timestamp);
    chunks_.push_back(chunk);
    return false;
  }

  void readToEnd(Kelvo::StreamInterface& stream) {
    for (int reads = 0; reads < kMaxReadsToEnd; ++reads) {
      if (read(stream)) return;
      // Nothing due yet: playing forwards, move the clock on to the next
      // entry's time, as a host would.
      if (stream.getRate() <= 0) return;
      std::uint32_t next = 0;
      const auto now = static_cast<std::uint32_t>(clock_.now);
      if (stream.findNextTime(0, now, &next) != kStatusOk) return;
      clock_.now = static_cast<std::int32_t>(next == now ? now + 1 : next);
    }
  }

  void seek(Kelvo::StreamInterface& stream, std::uint32_t time) {
    std::uint32_t found = 0;
    const Kelvo::Status status = stream.seekStream(time, &found, 1);
    SUB_FUZZ_CHECK(status == kStatusOk || (status == kStatusFailure && stream.getRate() == 0));
    forgetOrder();
  }

  void setRate(Kelvo::StreamInterface& stream, std::int32_t raw) {
    // Mostly the rates a player uses, now and then any value.
    static constexpr std::int32_t kRates[] = {1000, -1000, 0, 2000, -500, 1, -1};
    const std::int32_t rate = (raw & 0x100) != 0 ? raw : kRates[static_cast<std::uint32_t>(raw) % std::size(kRates)];
    SUB_FUZZ_CHECK(stream.setRate(rate));
    SUB_FUZZ_CHECK(stream.getRate() == rate);
    forgetOrder();
  }

  void findNextTime(Kelvo::StreamInterface& stream, std::uint32_t time) {
    std::uint32_t found = 0;
    const Kelvo::Status status = stream.findNextTime(0, time, &found);
    SUB_FUZZ_CHECK(status == kStatusOk || (status == kStatusFailure && stream.getRate() == 0));
    SUB_FUZZ_CHECK(stream.findNextTime(0, time, nullptr) == kStatusFailure);
  }

  // Chunks read one after another, with no seek or rate change between
  // them, follow the reading direction.
  void checkOrder(Kelvo::StreamInterface& stream, std::uint32_t timestamp) {
    if (lastStream_ == &stream && lastTimestamp_.has_value()) {
      if (stream.getRate() > 0) SUB_FUZZ_CHECK(timestamp >= *lastTimestamp_);
      if (stream.getRate() < 0) SUB_FUZZ_CHECK(timestamp <= *lastTimestamp_);
    }
    lastStream_ = &stream;
    lastTimestamp_ = timestamp;
  }
  void forgetOrder() { lastTimestamp_.reset(); }

  void disposeAll() {
    for (Kelvo::MediaChunk* chunk : chunks_) chunk->dispose();
    chunks_.clear();
  }

  Kelvo::testing::FakePluginHost host_;
  Kelvo::testing::FakeOwner& owner_;
  Kelvo::testing::FakeClock clock_;
  std::string url_;
  Kelvo::SUBContainer* container_;
  std::vector<Kelvo::MediaChunk*> chunks_;
  Kelvo::StreamInterface* lastStream_ = nullptr;
  std::optional<std::uint32_t> lastTimestamp_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > Kelvo::fuzzing::kMaxInputBytes) return 0;
  const Kelvo::fuzzing::InputCopy input(data, size);
  static const Kelvo::fuzzing::ScratchFile file(".sub");

  ByteReader reader(input.data(), input.size());
  const std::uint8_t settings = reader.byte();
  const std::uint8_t ratio = reader.byte();
  const std::uint8_t scriptLength = reader.byte();
  const std::string_view script = reader.take(scriptLength);
  file.write(reader.rest());

  Kelvo::testing::FakeOwner owner;
  Kelvo::fuzzing::configureOwner(owner, settings, ratio);
  {
    Player player(owner, file.url());
    player.openAndActivate();
    ByteReader steps(reinterpret_cast<const std::uint8_t*>(script.data()), script.size());
    for (int count = 0; count < kMaxSteps && !steps.empty(); ++count) player.step(steps);
  }
  return 0;
}
