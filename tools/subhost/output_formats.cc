#include "output_formats.h"

#include <cstdio>
#include <nlohmann/json.hpp>
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

const StreamRecord* streamToConvert(const DumpRecord& dump) {
  for (const StreamRecord& stream : dump.streams) {
    if (stream.selected) return &stream;
  }
  return dump.streams.empty() ? nullptr : &dump.streams.front();
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

std::string formatAsText(const DumpRecord& dump) {
  std::string result;
  for (const StreamRecord& stream : dump.streams) {
    result += "stream " + std::to_string(stream.id) + " \"" + stream.name + "\"";
    if (!stream.language.empty()) result += " language " + stream.language;
    if (!stream.region.empty()) result += " region " + stream.region;
    if (stream.selected) result += " (selected)";
    result += ", " + std::to_string(stream.chunks.size()) + (stream.chunks.size() == 1 ? " chunk\n\n" : " chunks\n\n");
    for (const ChunkRecord& chunk : stream.chunks) {
      result += timeRange(chunk, '.') + "  [" + std::to_string(chunk.timestamp) + " ms, " +
                std::to_string(chunk.duration) + " ms]\n" + chunk.text + "\n\n";
    }
  }
  return result;
}

std::string formatAsJson(const DumpRecord& dump) {
  nlohmann::ordered_json streams = nlohmann::ordered_json::array();
  for (const StreamRecord& stream : dump.streams) {
    nlohmann::ordered_json chunks = nlohmann::ordered_json::array();
    for (const ChunkRecord& chunk : stream.chunks) {
      chunks.push_back({{"timestamp", chunk.timestamp}, {"duration", chunk.duration}, {"text", chunk.text}});
    }
    streams.push_back({{"id", stream.id},
                       {"name", stream.name},
                       {"language", stream.language},
                       {"region", stream.region},
                       {"selected", stream.selected},
                       {"chunks", std::move(chunks)}});
  }
  const nlohmann::ordered_json document = {
      {"source", dump.source}, {"probe", dump.probe}, {"streams", std::move(streams)}};
  return document.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

std::string formatAsSrt(const DumpRecord& dump) {
  std::string result;
  const StreamRecord* stream = streamToConvert(dump);
  if (stream == nullptr) return result;
  std::size_t number = 0;
  for (const ChunkRecord& chunk : stream->chunks) {
    result += std::to_string(++number) + "\n" + timeRange(chunk, ',') + "\n" + withoutEmptyLines(chunk.text) + "\n\n";
  }
  return result;
}

std::string formatAsWebVtt(const DumpRecord& dump) {
  std::string result = "WEBVTT\n\n";
  const StreamRecord* stream = streamToConvert(dump);
  if (stream == nullptr) return result;
  for (const ChunkRecord& chunk : stream->chunks) {
    result += timeRange(chunk, '.') + "\n" + withoutEmptyLines(markupToWebVtt(chunk.text)) + "\n\n";
  }
  return result;
}

std::string formatPlayedChunk(const ChunkRecord& chunk, bool terminal) {
  return timeRange(chunk, '.') + "\n" + (terminal ? markupToTerminal(chunk.text) : markupToPlainText(chunk.text)) +
         "\n\n";
}

}  // namespace Kelvo::subhost
