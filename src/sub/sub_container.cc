#include "sub/sub_container.h"

#include <cstring>
#include <iterator>
#include <mutex>
#include <string_view>
#include <vector>

#include "container/subtitle_parser_template_impl.h"
#include "log/logger.h"
#include "plugin/boundary.h"
#include "plugin/interface_ids.h"
#include "sub/sub_parser.h"
#include "sub/sub_time_line.h"
#include "text/file.h"
#include "text/parser_utilities.h"
#include "text/url_path.h"

namespace Kelvo {
namespace {

// How much of a file the probe looks at.
constexpr std::int32_t kProbeSampleBytes = 1024;
constexpr std::int32_t kWholeFile = -1;
constexpr std::int32_t kEntryLogLine = 395;

// Chunks made by an open that has not handed them over yet: released again
// unless the open commits them, so a failed open loses nothing.
class PendingChunks {
 public:
  explicit PendingChunks(MediaBufferAllocator* allocator) : allocator_(allocator) {}
  PendingChunks(const PendingChunks&) = delete;
  PendingChunks& operator=(const PendingChunks&) = delete;
  ~PendingChunks() {
    for (MediaChunk* chunk : chunks) allocator_->releaseBuffer(chunk);
  }
  void commit() { chunks.clear(); }

  std::vector<MediaChunk*> chunks;

 private:
  MediaBufferAllocator* allocator_;
};

// Whether the URL's extension, from its last ".", is ".sub" or ".txt" exactly.
bool hasSubExtension(std::string_view url) {
  const std::size_t dot = url.rfind('.');
  if (dot == std::string_view::npos) return false;
  const std::string_view extension = url.substr(dot);
  return extension == ".sub" || extension == ".txt";
}

// The owner's "FrameRate"/"Ratio" setting, or the default ratio.
FrameRatio askFrameRatio(ContainerOwner* owner) {
  Setting question(kSettingKindValue, String<char>::fromView("FrameRate"), String<char>::fromView("Ratio"));
  SettingValue answer{};
  owner->getSetting(question, &answer);
  if (answer.type != kSettingTypeRatio) return kDefaultFrameRatio;
  return frameRatioOrDefault(static_cast<std::uint32_t>(answer.payload.ratio.first),
                             static_cast<std::uint32_t>(answer.payload.ratio.second));
}

}  // namespace

// The part of `url` after its last "/", or "" when it has none.
String<unsigned char> streamNameOf(const String<unsigned char>& url) {
  const std::string_view text = url.view();
  const std::size_t slash = text.rfind('/');
  return String<unsigned char>::fromView(slash == std::string_view::npos ? std::string_view() : text.substr(slash + 1));
}

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

bool SUBContainer::probe(SourceDescriptor* source, std::uint32_t, std::uint32_t, FormatList* formats) {
  return guarded(false, [&] {
    if (source == nullptr || source->url == nullptr) return false;
    String<unsigned char> path;
    if (urlToPath(*source->url, &path) != kStatusOk) return false;
    // A file shorter than the sample is looked at whole.
    const std::optional<std::uint64_t> size = sizeOfFile(path);
    if (!size) return false;
    const std::int32_t sample = *size < kProbeSampleBytes ? kWholeFile : kProbeSampleBytes;
    String<unsigned char> text;
    if (!ParserUtilities::readTextFile(path, owner, &text, sample)) return false;
    if (!containsTimeLine(text.view())) return false;
    String<char> format = String<char>::fromView("UTF8");
    const bool supported = host != nullptr && host->isFormatSupported(format);
    if (!supported && formats != nullptr) {
      StreamFormat missing{};
      getFormatCode(missing.code);
      missing.recordSize = sizeof(StreamFormat);
      missing.unitSize = 4;
      formats->append(missing);
    }
    return supported;
  });
}

void SUBContainer::parserHookA(std::uint32_t /*value*/) {}

Status SUBContainer::parserHookB(std::uint32_t /*value*/) { return kStatusFailure; }

Status SUBContainer::open(SourceDescriptor* source) {
  return guarded(kStatusFailure, [&] {
    const std::lock_guard<std::recursive_mutex> hold(mutex);
    // Without an owner there is no one to name the stream or announce it to.
    if (owner == nullptr || source == nullptr || source->url == nullptr) return kStatusFailure;
    const String<unsigned char>& sourceUrl = *source->url;
    if (sourceUrl.chars == nullptr || sourceUrl.length == 0 || !hasSubExtension(sourceUrl.view())) {
      return kStatusFailure;
    }
    String<unsigned char> path;
    if (urlToPath(sourceUrl, &path) != kStatusOk) return kStatusFailure;
    String<unsigned char> text;
    // The text ends at its first zero byte: one at the start (binary data,
    // such as a VobSub .sub) leaves no text at all, which is no SUB file.
    if (!ParserUtilities::readTextFile(path, owner, &text, kWholeFile) || text.view().empty()) return kStatusFailure;
    std::optional<std::vector<SubEntry>> parsed =
        parseSubText(reinterpret_cast<char*>(text.chars), text.length, askFrameRatio(owner));
    if (!parsed) return kStatusFailure;
    // The entries hold copies of their texts: the file's text can go before
    // their chunks are made, so that the two are never alive together.
    text.clear();

    PendingChunks entries(bufferAllocator);
    entries.chunks.reserve(parsed->size());
    for (SubEntry& entry : *parsed) {
      MediaChunk* chunk = bufferAllocator->createChunk(entry.text.block.get(), entry.text.length);
      entry.text.block.release();  // the chunk owns it now
      entries.chunks.push_back(chunk);
      chunk->dataLength = entry.text.length;
      chunk->timestamp = entry.start;
      chunk->duration = entry.duration;
      // No other thread can see the chunk yet: its text is read without its lock.
      Logger::instance()->log(kOpenLogCategory, kOpenLogFunction, kEntryLogLine,
                              "got subtitle start: %d duration: %d '%s'", static_cast<std::int32_t>(chunk->timestamp),
                              static_cast<std::int32_t>(chunk->duration),
                              reinterpret_cast<const char*>(chunk->payload));
    }
    parsed.reset();
    const String<char> none = String<char>::fromView("");
    if (createOverlayStream(entries.chunks, streamNameOf(sourceUrl), none, none) != kStatusOk) {
      return kStatusFailure;
    }
    entries.commit();
    url.assign(sourceUrl);
    return kStatusOk;
  });
}

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
