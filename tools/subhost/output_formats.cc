#include "output_formats.h"

#include <bit>
#include <cstdio>
#include <cstring>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string_view>

#include "markup.h"

namespace Kelvo::subhost {

namespace {

std::uint32_t endOf(const ChunkRecord& chunk) { return chunk.timestamp + chunk.duration; }  // wraps like the stream's

std::string timeRange(const ChunkRecord& chunk, char separator) {
  return formatClockTime(chunk.timestamp, separator) + " --> " + formatClockTime(endOf(chunk), separator);
}

// A cue ends at an empty line, so an empty line inside a text keeps one space.
std::string withoutEmptyLines(const std::string& text) {
  std::string result;
  std::size_t lineStart = 0;
  for (;;) {
    const std::size_t lineEnd = text.find('\n', lineStart);
    const std::string_view line = std::string_view(text).substr(lineStart, lineEnd - lineStart);
    result += line.empty() ? std::string_view(" ") : line;
    if (lineEnd == std::string::npos) return result;
    result += '\n';
    lineStart = lineEnd + 1;
  }
}

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the well-formed UTF-8 sequence at `at` (lead byte 0x80 or
// above): no overlong form, no surrogate, nothing above U+10FFFF; 0 when
// the bytes up to `end` hold none.
std::size_t wellFormedLength(const unsigned char* at, const unsigned char* end) {
  const unsigned char lead = *at;
  std::size_t length = 0;
  unsigned char low = 0x80;  // the range of the second byte
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (static_cast<std::size_t>(end - at) < length || at[1] < low || at[1] > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (!isContinuation(at[i])) return 0;
  }
  return length;
}

// The high bit of each of the eight bytes in `word` that is a control
// character, '"', '\\' or not ASCII: a byte a JSON string cannot take as it
// is. Bits above the lowest may be set for bytes that can; the lowest is
// exact.
std::uint64_t attentionBytes(std::uint64_t word) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  constexpr std::uint64_t kHighBits = 0x8080808080808080u;
  const auto zeroBytes = [](std::uint64_t w) { return (w - kOnes) & ~w & kHighBits; };
  const std::uint64_t below0x20 = (word - kOnes * 0x20) & ~word & kHighBits;
  return (word & kHighBits) | below0x20 | zeroBytes(word ^ (kOnes * '"')) | zeroBytes(word ^ (kOnes * '\\'));
}

// `text` as a JSON string, quoted, the way nlohmann-json writes it without
// escaping non-ASCII: the two-letter escapes, other control characters as
// \u00xx. Text that is not UTF-8 goes through nlohmann-json itself, which
// replaces what is ill-formed with U+FFFD.
void appendJsonString(std::string& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  const std::size_t outStart = out.size();
  const auto* const begin = reinterpret_cast<const unsigned char*>(text.data());
  const auto* const end = begin + text.size();
  const unsigned char* plain = begin;  // start of the characters not yet written
  out += '"';
  for (const unsigned char* at = begin; at < end;) {
    if (end - at >= 8) {
      std::uint64_t word = 0;
      std::memcpy(&word, at, 8);
      const std::uint64_t found = attentionBytes(word);
      if (found == 0) {
        at += 8;
        continue;
      }
      if constexpr (std::endian::native == std::endian::little) at += std::countr_zero(found) / 8;
    }
    const unsigned char c = *at;
    if (c >= 0x80) {
      const std::size_t length = wellFormedLength(at, end);
      if (length == 0) {
        out.resize(outStart);
        out += nlohmann::json(std::string(text)).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
        return;
      }
      at += length;
      continue;
    }
    if (c >= 0x20 && c != '"' && c != '\\') {
      ++at;
      continue;
    }
    out.append(reinterpret_cast<const char*>(plain), static_cast<std::size_t>(at - plain));
    plain = ++at;
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\b':
        out += "\\b";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\f':
        out += "\\f";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out += "\\u00";
        out += kHex[c >> 4];
        out += kHex[c & 0xF];
    }
  }
  out.append(reinterpret_cast<const char*>(plain), static_cast<std::size_t>(end - plain));
  out += '"';
}

void appendJsonMember(std::string& out, std::string_view indent, std::string_view key, std::string_view value) {
  out += indent;
  out += '"';
  out += key;
  out += "\": ";
  appendJsonString(out, value);
}

}  // namespace

std::string formatClockTime(std::uint32_t milliseconds, char separator) {
  char text[32];
  std::snprintf(text, sizeof text, "%02lu:%02lu:%02lu%c%03lu", static_cast<unsigned long>(milliseconds / 3600000),
                static_cast<unsigned long>(milliseconds / 60000 % 60),
                static_cast<unsigned long>(milliseconds / 1000 % 60), separator,
                static_cast<unsigned long>(milliseconds % 1000));
  return text;
}

void DumpWriter::begin(const std::string& source, bool probe) {
  if (format_ != DumpFormat::json) return;
  out_ += "{\n";
  appendJsonMember(out_, "  ", "source", source);
  out_ += probe ? ",\n  \"probe\": true,\n  \"streams\": [" : ",\n  \"probe\": false,\n  \"streams\": [";
}

void DumpWriter::beginStream(const StreamRecord& stream) {
  stream_ = StreamRecord{stream.id, stream.name, stream.language, stream.region, stream.selected, {}};
  chunkCount_ = 0;
  part_.clear();
  if (format_ != DumpFormat::json) return;
  out_ += streamCount_ == 0 ? "\n    {\n" : ",\n    {\n";
  out_ += "      \"id\": " + std::to_string(stream.id) + ",\n";
  appendJsonMember(out_, "      ", "name", stream.name);
  out_ += ",\n";
  appendJsonMember(out_, "      ", "language", stream.language);
  out_ += ",\n";
  appendJsonMember(out_, "      ", "region", stream.region);
  out_ += stream.selected ? ",\n      \"selected\": true,\n      \"chunks\": ["
                          : ",\n      \"selected\": false,\n      \"chunks\": [";
}

void DumpWriter::addChunk(const ChunkRecord& chunk) {
  ++chunkCount_;
  switch (format_) {
    case DumpFormat::text:
      part_ += timeRange(chunk, '.') + "  [" + std::to_string(chunk.timestamp) + " ms, " +
               std::to_string(chunk.duration) + " ms]\n" + chunk.text + "\n\n";
      break;
    case DumpFormat::json:
      out_ += chunkCount_ == 1 ? "\n        {\n          \"timestamp\": " : ",\n        {\n          \"timestamp\": ";
      out_ += std::to_string(chunk.timestamp);
      out_ += ",\n          \"duration\": ";
      out_ += std::to_string(chunk.duration);
      out_ += ",\n";
      appendJsonMember(out_, "          ", "text", chunk.text);
      out_ += "\n        }";
      drain(kPieceBytes);
      break;
    case DumpFormat::srt:
      part_ +=
          std::to_string(chunkCount_) + "\n" + timeRange(chunk, ',') + "\n" + withoutEmptyLines(chunk.text) + "\n\n";
      break;
    case DumpFormat::vtt:
      part_ += timeRange(chunk, '.') + "\n" + withoutEmptyLines(markupToWebVtt(chunk.text)) + "\n\n";
      break;
  }
}

void DumpWriter::endStream() {
  ++streamCount_;
  switch (format_) {
    case DumpFormat::text:
      out_ += "stream " + std::to_string(stream_.id) + " \"" + stream_.name + "\"";
      if (!stream_.language.empty()) out_ += " language " + stream_.language;
      if (!stream_.region.empty()) out_ += " region " + stream_.region;
      if (stream_.selected) out_ += " (selected)";
      out_ += ", " + std::to_string(chunkCount_) + (chunkCount_ == 1 ? " chunk\n\n" : " chunks\n\n");
      out_ += part_;
      break;
    case DumpFormat::json:
      out_ += chunkCount_ == 0 ? "]\n    }" : "\n      ]\n    }";
      break;
    case DumpFormat::srt:
    case DumpFormat::vtt:
      // The selected stream, else the first; it is written at the end.
      if (!convertedSelected_ && (stream_.selected || streamCount_ == 1)) {
        out_.swap(part_);
        convertedSelected_ = stream_.selected;
      }
      part_.clear();
      return;
  }
  part_.clear();
  drain(kPieceBytes);
}

void DumpWriter::finish() {
  switch (format_) {
    case DumpFormat::json:
      out_ += streamCount_ == 0 ? "]\n}\n" : "\n  ]\n}\n";
      break;
    case DumpFormat::vtt:
      sink_ << "WEBVTT\n\n";
      break;
    case DumpFormat::text:
    case DumpFormat::srt:
      break;
  }
  drain(0);
}

void DumpWriter::drain(std::size_t atLeast) {
  if (out_.size() < atLeast || out_.empty()) return;
  sink_.write(out_.data(), static_cast<std::streamsize>(out_.size()));
  out_.clear();
}

std::string formatDump(const DumpRecord& dump, DumpFormat format) {
  std::ostringstream text;
  DumpWriter writer(format, text);
  writer.begin(dump.source, dump.probe);
  for (const StreamRecord& stream : dump.streams) {
    writer.beginStream(stream);
    for (const ChunkRecord& chunk : stream.chunks) writer.addChunk(chunk);
    writer.endStream();
  }
  writer.finish();
  return std::move(text).str();
}

std::string formatPlayedChunk(const ChunkRecord& chunk, bool terminal) {
  return timeRange(chunk, '.') + "\n" + (terminal ? markupToTerminal(chunk.text) : markupToPlainText(chunk.text)) +
         "\n\n";
}

}  // namespace Kelvo::subhost
