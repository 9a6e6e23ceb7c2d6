// The container's own operations: building streams, closing them, and
// activating the presentation with its choice of stream by language.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "container_fixture.h"

namespace Kelvo::testing {
namespace {

using SubtitleContainerTest = ContainerFixture;

const std::vector<Entry> kTwo = {{1000, 500, "one"}, {2000, 500, "two"}};

std::vector<std::uint32_t> startsOf(const std::vector<MediaChunk*>& chunks) {
  std::vector<std::uint32_t> starts;
  for (const MediaChunk* chunk : chunks) starts.push_back(chunk->timestamp);
  return starts;
}

// Builds entries and hands them to createOverlayStream under the lock, as open does.
Status createStream(ContainerRig& rig, std::vector<MediaChunk*>& chunks) {
  const std::lock_guard<std::recursive_mutex> guard(rig.container->mutex);
  return rig.container->createOverlayStream(chunks, String<unsigned char>::fromView("a.sub"), String<char>(),
                                            String<char>());
}

TEST_F(SubtitleContainerTest, AnswersItsFixedOperations) {
  container->attach(nullptr, 0);
  List<std::uint64_t> presentations = container->getPresentations();
  ASSERT_EQ(presentations.nodeCount, 1u);
  EXPECT_EQ(presentations.at(0), kNoIdentifier);

  container->attach(&owner, 42);
  EXPECT_EQ(container->getContainerId(), 42u);
  for (int call = 0; call < 2; ++call) {
    List<std::uint64_t> asked = container->getPresentations();
    ASSERT_EQ(asked.nodeCount, 1u);
    EXPECT_EQ(asked.at(0), 100u);
  }
  EXPECT_EQ(owner.identifiersHanded, 1);

  for (const std::uint64_t id : {std::uint64_t{100}, std::uint64_t{5}}) {
    const String<unsigned char> name = container->getPresentationName(id);
    EXPECT_EQ(name.length, 0u);
    EXPECT_EQ(name.toStdString(), "");
  }
  const String<unsigned char> url = container->getUrl();
  EXPECT_EQ(url.chars, nullptr);
  EXPECT_EQ(url.length, 0u);
  std::uint32_t first = 9;
  std::uint32_t second = 9;
  EXPECT_EQ(container->getValuePair(&first, &second), kStatusOk);
  EXPECT_EQ(first, 0u);
  EXPECT_EQ(second, 0u);
  EXPECT_EQ(container->containerReserved(), 0u);
  EXPECT_FALSE(container->queryOption(0));
  EXPECT_FALSE(container->queryOption(7));
}

TEST_F(SubtitleContainerTest, CreatingAStreamSortsTheEntriesByUnsignedStart) {
  std::vector<MediaChunk*> chunks =
      makeEntries({{3000, 10, "c"}, {0x80000000u, 10, "d"}, {1000, 10, "a"}, {2000, 10, "b"}});
  ASSERT_EQ(createStream(*this, chunks), kStatusOk);
  const std::vector<std::uint32_t> sorted = {1000, 2000, 3000, 0x80000000u};
  EXPECT_EQ(startsOf(chunks), sorted);
  ASSERT_EQ(container->streams.size(), 1u);
  OverlayStream* stream = container->streams.at(100);
  EXPECT_EQ(stream->entries, chunks);
  EXPECT_EQ(owner.identifiersHanded, 1);
}

TEST_F(SubtitleContainerTest, RefusesAStreamWithoutAnOwnerOrAUsableIdentifier) {
  addStream(kTwo);  // takes identifier 100
  struct Case {
    const char* name;
    bool attached;
    std::uint64_t identifier;  // the owner's next answer
  };
  const Case cases[] = {
      {"no owner attached", false, 200},
      {"the owner answers none", true, kNoIdentifier},
      {"the identifier is taken", true, 100},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    container->attach(row.attached ? &owner : nullptr, 42);
    owner.nextIdentifier = row.identifier;
    std::vector<MediaChunk*> chunks = makeEntries({{2000, 10, "b"}, {1000, 10, "a"}});
    EXPECT_EQ(createStream(*this, chunks), kStatusFailure);
    // The caller still owns the chunks; the stream already there is untouched.
    for (MediaChunk* chunk : chunks) chunk->dispose();
    ASSERT_EQ(container->streams.size(), 1u);
    EXPECT_EQ(container->streams.at(100)->entries.size(), 2u);
  }
}

TEST_F(SubtitleContainerTest, ClosingReleasesEveryEntryAndReportsEachStreamOnce) {
  clock.now = 10000;
  OverlayStream* first = addClockedStream(kTwo);
  OverlayStream* second = addClockedStream({{500, 10, "x"}});

  EXPECT_EQ(container->closeStreams(true), kStatusOk);
  EXPECT_EQ(container->streams.size(), 2u);
  EXPECT_EQ(first->entries.size(), 2u);
  EXPECT_TRUE(owner.removed.empty());

  EXPECT_EQ(container->closeStreams(false), kStatusOk);
  EXPECT_TRUE(container->streams.empty());
  EXPECT_TRUE(first->entries.empty());
  EXPECT_TRUE(second->entries.empty());
  EXPECT_EQ(owner.removed, (std::vector<std::uint64_t>{100, 101}));

  EXPECT_EQ(container->closeStreams(false), kStatusOk);
  EXPECT_EQ(owner.removed.size(), 2u);

  // A stream the host still holds reads as an empty one.
  const Read result = read(first);
  EXPECT_EQ(result.status, kStatusOk);
  EXPECT_EQ(result.chunk, nullptr);
  std::uint32_t found = 0;
  EXPECT_EQ(first->seekStream(1234, &found, 0), kStatusOk);
  EXPECT_EQ(found, 1234u);
}

TEST_F(SubtitleContainerTest, WithoutAnOwnerClosingReleasesAndActivationIsRefused) {
  OverlayStream* stream = addStream(kTwo);
  container->attach(nullptr, 0);
  EXPECT_EQ(container->activatePresentation(container->presentationId), kStatusFailure);
  EXPECT_EQ(owner.languageQueries, 0);
  EXPECT_TRUE(owner.added.empty());
  EXPECT_EQ(container->closeStreams(false), kStatusOk);
  EXPECT_TRUE(container->streams.empty());
  EXPECT_TRUE(stream->entries.empty());
  EXPECT_TRUE(owner.removed.empty());
}

TEST_F(SubtitleContainerTest, StreamsAreAnnouncedInIdentifierOrder) {
  owner.nextIdentifier = 200;
  OverlayStream* later = addStream(kTwo);
  owner.nextIdentifier = 150;
  OverlayStream* earlier = addStream(kTwo);
  const std::uint64_t presentation = container->getPresentations().at(0);
  owner.preferredLanguage = "de";
  EXPECT_EQ(container->activatePresentation(presentation), kStatusOk);
  EXPECT_EQ(owner.added, (std::vector<StreamInterface*>{earlier, later}));
  EXPECT_EQ(owner.selected, std::vector<std::uint64_t>{150});
  EXPECT_EQ(owner.selectFlags, std::vector<std::uint32_t>{1});
  EXPECT_EQ(owner.languageQueries, 1);
  EXPECT_EQ(container->preferredLanguage.toStdString(), "de");
}

// The owner takes over every stream it is told about: telling it twice would
// have it delete one stream twice.
TEST_F(SubtitleContainerTest, ASecondActivationAnnouncesOnlyStreamsOpenedSinceAndSelectsAgain) {
  OverlayStream* first = addStream(kTwo);
  const std::uint64_t presentation = container->getPresentations().at(0);
  ASSERT_EQ(container->activatePresentation(presentation), kStatusOk);
  EXPECT_EQ(container->activatePresentation(presentation), kStatusOk);
  EXPECT_EQ(owner.added, std::vector<StreamInterface*>{first});

  OverlayStream* second = addStream(kTwo, "de");
  owner.preferredLanguage = "de";
  EXPECT_EQ(container->activatePresentation(presentation), kStatusOk);
  EXPECT_EQ(owner.added, (std::vector<StreamInterface*>{first, second}));
  EXPECT_EQ(owner.selected, (std::vector<std::uint64_t>{first->streamId, first->streamId, second->streamId}));
  EXPECT_EQ(owner.languageQueries, 3);
}

TEST_F(SubtitleContainerTest, SelectsTheStreamThatBestMatchesThePreferredLanguage) {
  struct Case {
    const char* name;
    const char* preferred;
    std::vector<std::pair<const char*, const char*>> streams;  // language, region
    std::size_t selected;                                      // index in identifier order
  };
  const std::vector<Case> cases = {
      {"the first matching language wins", "de", {{"eng", ""}, {"de", ""}, {"ger", ""}}, 1},
      {"a three-letter preference finds a two-letter stream", "fre", {{"eng", ""}, {"fr", ""}}, 1},
      {"a two-letter preference finds a three-letter stream", "de", {{"eng", ""}, {"ger", ""}}, 1},
      {"the later stream has the region", "pt-BR", {{"pt", ""}, {"pt", "BR"}}, 1},
      {"neither has the region: the earlier", "pt-BR", {{"pt", "PT"}, {"pt", ""}}, 0},
      {"the last stream with the region wins", "en-GB", {{"en", "GB"}, {"eng", "GB"}, {"en", ""}}, 1},
      {"a trailing hyphen compares no region", "de-", {{"de", ""}, {"de", ""}}, 0},
      {"a code outside the table matches an empty language", "xx", {{"eng", ""}, {"", ""}}, 1},
      {"letter case matters", "DE", {{"eng", ""}, {"de", ""}}, 0},
      {"\"my\" maps to \"mya\", not \"bur\"", "my", {{"bur", ""}, {"mya", ""}}, 1},
      {"no language matches: the first", "fr", {{"eng", ""}, {"de", ""}}, 0},
      {"an empty preference: the first", "", {{"eng", ""}, {"de", ""}}, 0},
      {"one stream is chosen whatever the preference", "de", {{"eng", ""}}, 0},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    container->closeStreams(false);
    for (StreamInterface* held : owner.added) delete held;  // the host's after the close
    owner = FakeOwner();
    std::vector<StreamInterface*> streams;
    for (const auto& [language, region] : row.streams) streams.push_back(addStream(kTwo, language, region));
    container->presentationId = kNoIdentifier;
    const std::uint64_t presentation = container->getPresentations().at(0);
    owner.preferredLanguage = row.preferred;

    EXPECT_EQ(container->activatePresentation(presentation), kStatusOk);
    EXPECT_EQ(owner.languageQueries, 1);
    EXPECT_EQ(owner.added, streams);
    EXPECT_EQ(owner.selected, std::vector<std::uint64_t>{streams[row.selected]->streamId});
  }
}

TEST_F(SubtitleContainerTest, ActivationWithoutStreamsOnlyAsksTheLanguage) {
  owner.preferredLanguage = "de-AT";
  EXPECT_EQ(container->activatePresentation(container->getPresentations().at(0)), kStatusOk);
  EXPECT_EQ(owner.languageQueries, 1);
  EXPECT_TRUE(owner.added.empty());
  EXPECT_TRUE(owner.selected.empty());
  EXPECT_EQ(container->preferredLanguage.toStdString(), "de-AT");
}

TEST_F(SubtitleContainerTest, AnotherPresentationIdentifierCallsNoOne) {
  addStream(kTwo);
  // Before the identifier is known, only all ones would match.
  EXPECT_EQ(container->activatePresentation(0), kStatusFailure);
  EXPECT_EQ(owner.languageQueries, 0);

  owner.preferredLanguage = "de";
  const std::uint64_t presentation = container->getPresentations().at(0);
  ASSERT_EQ(container->activatePresentation(presentation), kStatusOk);
  const int languageQueries = owner.languageQueries;
  const std::vector<StreamInterface*> added = owner.added;
  const std::vector<std::uint64_t> selected = owner.selected;
  owner.preferredLanguage = "fr";
  for (const std::uint64_t other : {presentation + 1, presentation ^ (std::uint64_t{1} << 63), kNoIdentifier}) {
    EXPECT_EQ(container->activatePresentation(other), kStatusFailure);
  }
  EXPECT_EQ(owner.languageQueries, languageQueries);
  EXPECT_EQ(owner.added, added);
  EXPECT_EQ(owner.selected, selected);
  EXPECT_EQ(container->preferredLanguage.toStdString(), "de");
}

TEST_F(SubtitleContainerTest, AnOwnerMayReenterFromItsCallbacksOnTheSameThread) {
  clock.now = 10000;
  OverlayStream* first = addClockedStream(kTwo);
  OverlayStream* second = addClockedStream(kTwo);
  std::vector<std::uint32_t> readInside;
  owner.onStreamAdded = [&](StreamInterface* stream) {
    MediaChunk* chunk = nullptr;
    EXPECT_EQ(stream->readStream(&chunk), kStatusOk);
    ASSERT_NE(chunk, nullptr);
    readInside.push_back(chunk->timestamp);
    chunk->dispose();
    std::uint32_t found = 0;
    EXPECT_EQ(stream->seekStream(0, &found, 0), kStatusOk);
    EXPECT_EQ(container->getPresentations().at(0), container->presentationId);
  };
  owner.onStreamRemoved = [&](std::uint64_t) {
    // Closing again from inside the close finds nothing left.
    EXPECT_EQ(container->closeStreams(false), kStatusOk);
    EXPECT_EQ(read(first).chunk, nullptr);
  };

  EXPECT_EQ(container->activatePresentation(container->getPresentations().at(0)), kStatusOk);
  EXPECT_EQ(readInside, (std::vector<std::uint32_t>{1000, 1000}));
  EXPECT_EQ(owner.selected, std::vector<std::uint64_t>{first->streamId});

  EXPECT_EQ(container->closeStreams(false), kStatusOk);
  EXPECT_EQ(owner.removed, (std::vector<std::uint64_t>{first->streamId, second->streamId}));
}

TEST_F(SubtitleContainerTest, AnOwnerClosingWhileStreamsAreAnnouncedStillHearsOfEachOnce) {
  OverlayStream* first = addStream(kTwo);
  OverlayStream* second = addStream(kTwo);
  owner.onStreamAdded = [&](StreamInterface*) { container->closeStreams(false); };
  EXPECT_EQ(container->activatePresentation(container->getPresentations().at(0)), kStatusOk);
  EXPECT_EQ(owner.added, (std::vector<StreamInterface*>{first, second}));
  EXPECT_EQ(owner.removed, (std::vector<std::uint64_t>{first->streamId, second->streamId}));
  EXPECT_EQ(owner.selected, std::vector<std::uint64_t>{first->streamId});
  EXPECT_TRUE(first->entries.empty());
  EXPECT_TRUE(second->entries.empty());
}

}  // namespace
}  // namespace Kelvo::testing

namespace Kelvo::testing {
namespace {

// A stream the host was never given cannot be deleted by the host: the
// container keeps it past closeStreams and deletes it when it goes (the leak
// checker of the sanitizer build sees it otherwise), entries released first.
TEST(SubtitleContainerOwnership, StreamsNeverAnnouncedGoWithTheContainer) {
  ContainerRig rig;
  OverlayStream* announced = rig.addStream({{1000, 500, "a"}});
  ASSERT_EQ(rig.container->activatePresentation(rig.container->getPresentations().at(0)), kStatusOk);
  OverlayStream* closedUnannounced = rig.addStream({{2000, 500, "b"}});
  ASSERT_EQ(rig.container->closeStreams(false), kStatusOk);
  EXPECT_EQ(rig.container->unannouncedClosed, std::vector<OverlayStream*>{closedUnannounced});
  EXPECT_TRUE(announced->announced);
}

TEST(SubtitleContainerOwnership, ContainerReleasedWithoutACloseFreesItsEntries) {
  FakePluginHost host;
  FakeOwner owner;
  auto* container = new SUBContainer(&host);
  container->attach(&owner, 1);
  auto* block = new std::uint8_t[2]{'x', '\0'};
  std::vector<MediaChunk*> entries{container->bufferAllocator->createChunk(block, 1)};
  {
    const std::lock_guard<std::recursive_mutex> guard(container->mutex);
    ASSERT_EQ(container->createOverlayStream(entries, String<unsigned char>::fromView("a.sub"), String<char>(),
                                             String<char>()),
              kStatusOk);
  }
  EXPECT_EQ(container->releaseReference(), 0);
  EXPECT_TRUE(owner.removed.empty());  // the owner is not called from the destructor
}

}  // namespace
}  // namespace Kelvo::testing
