#include "output_formats.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <random>
#include <string>
#include <vector>

namespace Kelvo::subhost {
namespace {

TEST(OutputFormats, ClockTimesHaveHoursMinutesSecondsAndMilliseconds) {
  struct Case {
    std::uint32_t milliseconds;
    char separator;
    const char* text;
  };
  const Case cases[] = {
      {0, '.', "00:00:00.000"},          {1500, '.', "00:00:01.500"},
      {3599999, ',', "00:59:59,999"},    {36000000, '.', "10:00:00.000"},
      {360000000, '.', "100:00:00.000"}, {4294960456u, '.', "1193:02:40.456"},  // -6840 ms read as unsigned
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.milliseconds);
    EXPECT_EQ(formatClockTime(c.milliseconds, c.separator), c.text);
  }
}

// Two streams, the second selected; an empty line inside a text; a chunk
// whose end wraps past 32 bits.
DumpRecord sampleDump() {
  DumpRecord dump;
  dump.source = "file:///films/a%20b.sub";
  dump.probe = true;
  dump.streams = {
      StreamRecord{7, "a b.sub", "de", "AT", false, {{1000, 2500, "<b>Hallo</b>"}}},
      StreamRecord{
          9,
          "b.sub",
          "",
          "",
          true,
          {{500, 1000, "<font color=\"#FFFFFF\">one\n\nthree</font>"}, {4294967000u, 1000, "Fish & <i>chips</i>"}}},
  };
  return dump;
}

TEST(OutputFormats, TextNamesEachStreamAndShowsChunksWithTheirTimes) {
  EXPECT_EQ(formatAsText(sampleDump()),
            "stream 7 \"a b.sub\" language de region AT, 1 chunk\n"
            "\n"
            "00:00:01.000 --> 00:00:03.500  [1000 ms, 2500 ms]\n"
            "<b>Hallo</b>\n"
            "\n"
            "stream 9 \"b.sub\" (selected), 2 chunks\n"
            "\n"
            "00:00:00.500 --> 00:00:01.500  [500 ms, 1000 ms]\n"
            "<font color=\"#FFFFFF\">one\n"
            "\n"
            "three</font>\n"
            "\n"
            "1193:02:47.000 --> 00:00:00.704  [4294967000 ms, 1000 ms]\n"
            "Fish & <i>chips</i>\n"
            "\n");
}

TEST(OutputFormats, JsonIsTheDocumentOfTheDesignNotesInItsKeyOrder) {
  DumpRecord dump = sampleDump();
  dump.streams.resize(1);
  dump.streams[0].chunks.push_back({2000, 100, "Quote \" and \xFF byte"});
  EXPECT_EQ(formatAsJson(dump),
            "{\n"
            "  \"source\": \"file:///films/a%20b.sub\",\n"
            "  \"probe\": true,\n"
            "  \"streams\": [\n"
            "    {\n"
            "      \"id\": 7,\n"
            "      \"name\": \"a b.sub\",\n"
            "      \"language\": \"de\",\n"
            "      \"region\": \"AT\",\n"
            "      \"selected\": false,\n"
            "      \"chunks\": [\n"
            "        {\n"
            "          \"timestamp\": 1000,\n"
            "          \"duration\": 2500,\n"
            "          \"text\": \"<b>Hallo</b>\"\n"
            "        },\n"
            "        {\n"
            "          \"timestamp\": 2000,\n"
            "          \"duration\": 100,\n"
            "          \"text\": \"Quote \\\" and \xEF\xBF\xBD byte\"\n"
            "        }\n"
            "      ]\n"
            "    }\n"
            "  ]\n"
            "}\n");
  EXPECT_EQ(formatAsJson(DumpRecord{}), "{\n  \"source\": \"\",\n  \"probe\": false,\n  \"streams\": []\n}\n");
}

// The document as nlohmann-json writes it when it builds the whole tree.
std::string jsonDocumentOf(const DumpRecord& dump) {
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

// Texts of control characters, quotes, backslashes, DEL, well-formed UTF-8
// of every length and its broken pieces (cut, overlong, surrogate, above
// U+10FFFF, stray continuation), long runs of ASCII between them, and
// streams without chunks.
TEST(OutputFormats, JsonIsWrittenAsNlohmannJsonWritesTheWholeDocument) {
  const std::vector<std::string> pieces = {"a",
                                           "plain text ",
                                           "\"",
                                           "\\",
                                           "/",
                                           "\b",
                                           "\f",
                                           "\n",
                                           "\r",
                                           "\t",
                                           std::string(1, '\0'),
                                           "\x01",
                                           "\x1f",
                                           "\x7f",
                                           " ",
                                           "\xC3\xA9",
                                           "\xD0\xBC",
                                           "\xE2\x82\xAC",
                                           "\xF0\x9F\x98\x80",
                                           "\xEF\xBF\xBD",
                                           "\xC3",
                                           "\xE2\x82",
                                           "\xF0\x9F\x98",
                                           "\xC0\xAF",
                                           "\xE0\x80\xAF",
                                           "\xED\xA0\x80",
                                           "\xF4\x90\x80\x80",
                                           "\xF5",
                                           "\xFF",
                                           "\x80",
                                           "\xBF",
                                           "0123456789abcdefghijklmnopqrstuvwxyz"};
  std::mt19937 random(20261211);
  for (int round = 0; round < 2000; ++round) {
    DumpRecord dump;
    dump.probe = round % 2 == 0;
    dump.source = "file:///" + pieces[random() % pieces.size()];
    const std::size_t streamCount = random() % 3;
    for (std::size_t s = 0; s < streamCount; ++s) {
      StreamRecord stream{random(), pieces[random() % pieces.size()], "de", "", s == 1, {}};
      const std::size_t chunkCount = random() % 4;
      for (std::size_t c = 0; c < chunkCount; ++c) {
        std::string text;
        const std::size_t pieceCount = random() % 12;
        for (std::size_t p = 0; p < pieceCount; ++p) text += pieces[random() % pieces.size()];
        stream.chunks.push_back({static_cast<std::uint32_t>(random()), static_cast<std::uint32_t>(random()), text});
      }
      dump.streams.push_back(stream);
    }
    const std::string expected = jsonDocumentOf(dump);
    ASSERT_EQ(formatAsJson(dump), expected) << "round " << round;
  }
}

TEST(OutputFormats, SubRipNumbersTheSelectedStreamsChunksAndKeepsTheMarkup) {
  EXPECT_EQ(formatAsSrt(sampleDump()),
            "1\n"
            "00:00:00,500 --> 00:00:01,500\n"
            "<font color=\"#FFFFFF\">one\n"
            " \n"
            "three</font>\n"
            "\n"
            "2\n"
            "1193:02:47,000 --> 00:00:00,704\n"
            "Fish & <i>chips</i>\n"
            "\n");
}

TEST(OutputFormats, WebVttConvertsTheSelectedStreamsMarkup) {
  EXPECT_EQ(formatAsWebVtt(sampleDump()),
            "WEBVTT\n"
            "\n"
            "00:00:00.500 --> 00:00:01.500\n"
            "one\n"
            " \n"
            "three\n"
            "\n"
            "1193:02:47.000 --> 00:00:00.704\n"
            "Fish &amp; <i>chips</i>\n"
            "\n");
}

TEST(OutputFormats, WithoutASelectionTheFirstStreamIsConverted) {
  DumpRecord dump = sampleDump();
  dump.streams[1].selected = false;
  EXPECT_EQ(formatAsSrt(dump), "1\n00:00:01,000 --> 00:00:03,500\n<b>Hallo</b>\n\n");
  EXPECT_EQ(formatAsWebVtt(dump), "WEBVTT\n\n00:00:01.000 --> 00:00:03.500\n<b>Hallo</b>\n\n");
  EXPECT_EQ(formatAsSrt(DumpRecord{}), "");
  EXPECT_EQ(formatAsWebVtt(DumpRecord{}), "WEBVTT\n\n");
}

TEST(OutputFormats, PlayedChunksShowTheirTimesAndRenderedText) {
  const ChunkRecord chunk{61000, 1500, "<b>Hi</b>\nthere"};
  EXPECT_EQ(formatPlayedChunk(chunk, false), "00:01:01.000 --> 00:01:02.500\nHi\nthere\n\n");
  EXPECT_EQ(formatPlayedChunk(chunk, true), "00:01:01.000 --> 00:01:02.500\n\x1b[1mHi\x1b[22m\nthere\x1b[0m\n\n");
}

}  // namespace
}  // namespace Kelvo::subhost
