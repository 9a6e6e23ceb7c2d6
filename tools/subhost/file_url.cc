#include "file_url.h"

namespace Kelvo::subhost {

namespace {

bool isKeptAsIs(unsigned char byte) {
  if ((byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9')) return true;
  switch (byte) {
    case '-':
    case '.':
    case '_':
    case '~':
    case '/':
    case ':':
      return true;
    default:
      return false;
  }
}

}  // namespace

bool isFileUrl(std::string_view argument) {
  constexpr std::string_view kScheme = "file:";
  if (argument.size() < kScheme.size()) return false;
  for (std::size_t i = 0; i < kScheme.size(); ++i) {
    const char c = argument[i];
    const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    if (lower != kScheme[i]) return false;
  }
  return true;
}

std::string percentEncodePath(std::string_view path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  encoded.reserve(path.size() + 1);
  if (path.empty() || path.front() != '/') encoded += '/';
  for (const char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    if (isKeptAsIs(byte)) {
      encoded += c;
    } else {
      encoded += '%';
      encoded += kHex[byte >> 4];
      encoded += kHex[byte & 0x0F];
    }
  }
  return encoded;
}

std::filesystem::path pathFromUtf8(std::string_view text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::string utf8Path(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::string toFileUrl(std::string_view argument, const std::filesystem::path& currentDirectory) {
  if (isFileUrl(argument)) return std::string(argument);
  std::filesystem::path path = pathFromUtf8(argument);
  if (!path.is_absolute()) path = currentDirectory / path;
  const std::u8string generic = path.lexically_normal().generic_u8string();
  return "file://" + percentEncodePath(std::string_view(reinterpret_cast<const char*>(generic.data()), generic.size()));
}

}  // namespace Kelvo::subhost
