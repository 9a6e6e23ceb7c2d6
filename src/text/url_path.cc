#include "text/url_path.h"

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/file_url.h"
#include "text/encoding.h"

namespace Kelvo {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool isUtf8Text(std::string_view text) {
  return isStrictUtf8(reinterpret_cast<const std::uint8_t*>(text.data()), static_cast<std::uint32_t>(text.size()));
}

}  // namespace

Status urlToPath(const String<unsigned char>& url, String<unsigned char>* path) {
  if (path == nullptr) return kStatusBadUrl;
  std::string_view text = url.view();
  if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) text.remove_prefix(kByteOrderMark.size());
  if (!isUtf8Text(text)) return kStatusBadUrl;
  std::string local;
  if (!platform::fileUrlToPath(text, &local) || !isUtf8Text(local)) return kStatusBadUrl;
  path->assign(String<unsigned char>::fromView(local));
  return kStatusOk;
}

}  // namespace Kelvo
