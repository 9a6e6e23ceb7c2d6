// The bytes are a source URL. urlToPath either refuses it, leaving the path
// as it was, or gives an absolute path of strict UTF-8 without a zero byte;
// and the file URL made back from that path gives the same path again.
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "plugin/status.h"
#include "text/encoding.h"
#include "text/url_path.h"

namespace {

// `path` percent-encoded into a file URL, every byte but letters, digits and "/".
std::string fileUrlOf(std::string_view path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string url = "file://";
  for (const char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9') || c == '/') {
      url += c;
    } else {
      url += '%';
      url += kHex[byte >> 4];
      url += kHex[byte & 15];
    }
  }
  return url;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > Kelvo::fuzzing::kMaxInputBytes) return 0;
  const Kelvo::fuzzing::InputCopy input(data, size);
  const Kelvo::String<unsigned char> url(input.data(), static_cast<std::uint32_t>(input.size()),
                                         Kelvo::StandardAllocator<unsigned char>::instance());

  Kelvo::String<unsigned char> path = Kelvo::String<unsigned char>::fromView("unchanged");
  const Kelvo::Status status = Kelvo::urlToPath(url, &path);
  SUB_FUZZ_CHECK(status == Kelvo::kStatusOk || status == Kelvo::kStatusBadUrl);
  const std::string text(reinterpret_cast<const char*>(path.chars), path.length);
  if (status != Kelvo::kStatusOk) {
    SUB_FUZZ_CHECK(text == "unchanged");
    return 0;
  }
  SUB_FUZZ_CHECK(!text.empty() && text.front() == '/');
  SUB_FUZZ_CHECK(text.find('\0') == std::string::npos);
  SUB_FUZZ_CHECK(
      Kelvo::isStrictUtf8(reinterpret_cast<const std::uint8_t*>(text.data()), static_cast<std::uint32_t>(text.size())));

  Kelvo::String<unsigned char> again;
  SUB_FUZZ_CHECK(Kelvo::urlToPath(Kelvo::String<unsigned char>::fromView(fileUrlOf(text)), &again) == Kelvo::kStatusOk);
  SUB_FUZZ_CHECK(again.toStdString() == text);
  return 0;
}
