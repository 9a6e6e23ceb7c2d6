// Host call sequences the interfaces allow, in orders a careless or hurried
// host may use them: before attach, twice in a row, on a stream after its
// container closed it, with chunks kept past the close. Each is safe and
// answers what the operation's contract says; the sanitizer builds see any
// use of freed memory or leak.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "container_fixture.h"
#include "temp_files.h"

namespace Kelvo::testing {
namespace {

constexpr std::string_view kFile =
    "00:00:01.00,00:00:02.00\nfirst\n00:00:03.00,00:00:04.00\nsecond\n00:00:05.00,00:00:06.00\nthird\n";

Status openUrl(ContainerInterface& container, const std::string& url) {
  String<unsigned char> text = String<unsigned char>::fromView(url);
  SourceDescriptor source{0, &text};
  return container.open(&source);
}

class HostSequences : public ContainerFixture {
 protected:
  HostSequences() : url("file://" + files.write("a.sub", kFile).string()) {}

  TempFolder files;
  std::string url;
};

// Every operation of the container's table before attach: no owner to name
// or announce streams, so nothing opens or activates, and nothing breaks.
TEST_F(HostSequences, EveryContainerOperationBeforeAttachFailsCleanly) {
  FakePluginHost lonelyHost;
  auto* lonely = new SUBContainer(&lonelyHost);
  String<unsigned char> text = String<unsigned char>::fromView(url);
  SourceDescriptor source{0, &text};

  EXPECT_TRUE(lonely->probe(&source, 0, 0, nullptr));  // asks the host only
  lonely->parserHookA(1);
  EXPECT_EQ(lonely->parserHookB(1), kStatusFailure);
  EXPECT_EQ(lonely->open(&source), kStatusFailure);
  EXPECT_EQ(lonely->getUrl().chars, nullptr);
  EXPECT_EQ(lonely->getContainerId(), 0u);
  std::uint32_t pair[2] = {9, 9};
  EXPECT_EQ(lonely->getValuePair(&pair[0], &pair[1]), kStatusOk);
  EXPECT_EQ(lonely->containerReserved(), 0u);
  const List<std::uint64_t> presentations = lonely->getPresentations();
  ASSERT_EQ(presentations.nodeCount, 1u);
  EXPECT_EQ(presentations.at(0), kNoIdentifier);
  EXPECT_EQ(lonely->getPresentationName(kNoIdentifier).view(), "");
  EXPECT_EQ(lonely->activatePresentation(kNoIdentifier), kStatusFailure);
  EXPECT_EQ(lonely->closeStreams(false), kStatusOk);
  std::uint64_t size = 7;
  EXPECT_EQ(lonely->getSourceSize(&size), kStatusFailure);
  EXPECT_EQ(size, 7u);
  String<unsigned char> mime = String<unsigned char>::fromView("text/x-sub");
  EXPECT_EQ(lonely->lookupMimeType(mime), 1);
  EXPECT_EQ(lonely->getMimeTypeCount(), 2u);
  EXPECT_TRUE(lonely->streams.empty());
  EXPECT_TRUE(lonelyHost.events.empty());

  // Attached afterwards, the same object works.
  FakeOwner lateOwner;
  lonely->attach(&lateOwner, 3);
  EXPECT_EQ(lonely->open(&source), kStatusOk);
  EXPECT_EQ(lonely->activatePresentation(lonely->getPresentations().at(0)), kStatusOk);
  ASSERT_EQ(lateOwner.added.size(), 1u);
  EXPECT_EQ(lonely->closeStreams(false), kStatusOk);
  delete lateOwner.added[0];
  EXPECT_EQ(lonely->releaseReference(), 0);
}

// A host that keeps chunks and its stream past the close, closes twice,
// activates twice and gives no clock.
TEST_F(HostSequences, ChunksAndStreamsOutliveTheCloseAndRepeatedCallsAreHarmless) {
  ASSERT_EQ(openUrl(*container, url), kStatusOk);
  const std::uint64_t presentation = container->getPresentations().at(0);
  ASSERT_EQ(container->activatePresentation(presentation), kStatusOk);
  ASSERT_EQ(container->activatePresentation(presentation), kStatusOk);
  ASSERT_EQ(owner.added.size(), 1u);  // handed over once: the host deletes it once
  StreamInterface* stream = owner.added[0];

  // Without a clock nothing is due; a null clock leaves the one given.
  MediaChunk* chunk = nullptr;
  EXPECT_EQ(stream->readStream(&chunk), kStatusNotYet);
  EXPECT_EQ(stream->setClock(nullptr), kStatusNotYet);
  EXPECT_EQ(stream->readStream(&chunk), kStatusNotYet);
  clock.now = 10000;
  ASSERT_EQ(stream->setClock(&clock), kStatusOk);
  EXPECT_EQ(stream->setClock(nullptr), kStatusNotYet);
  std::vector<MediaChunk*> kept;
  for (int i = 0; i < 2; ++i) {
    ASSERT_EQ(stream->readStream(&chunk), kStatusOk);
    ASSERT_NE(chunk, nullptr);
    kept.push_back(chunk);
  }

  EXPECT_EQ(container->closeStreams(false), kStatusOk);
  EXPECT_EQ(container->closeStreams(false), kStatusOk);
  EXPECT_EQ(owner.removed, std::vector<std::uint64_t>{stream->streamId});

  // The closed stream reads as an empty one, whatever the host asks.
  EXPECT_EQ(stream->readStream(&chunk), kStatusOk);
  EXPECT_EQ(chunk, nullptr);
  std::uint32_t found = 0;
  EXPECT_EQ(stream->seekStream(3000, &found, 0), kStatusOk);
  EXPECT_EQ(found, 3000u);
  EXPECT_EQ(stream->findNextTime(0, 4000, &found), kStatusOk);
  EXPECT_EQ(found, 4000u);
  EXPECT_TRUE(stream->setRate(-1000));
  EXPECT_EQ(stream->resetPosition(), kStatusOk);
  EXPECT_EQ(stream->readStream(&chunk), kStatusOk);
  EXPECT_EQ(chunk, nullptr);

  // The chunks the host kept are still whole and go back to the allocator.
  EXPECT_EQ(textOf(kept[0]), "first");
  EXPECT_EQ(textOf(kept[1]), "second");
  for (MediaChunk* held : kept) held->dispose();

  // A later open makes a new stream; activating announces only that one.
  ASSERT_EQ(openUrl(*container, url), kStatusOk);
  EXPECT_EQ(container->activatePresentation(presentation), kStatusOk);
  ASSERT_EQ(owner.added.size(), 2u);
  EXPECT_NE(owner.added[1], stream);
  EXPECT_EQ(owner.selected.back(), owner.added[1]->streamId);
}

}  // namespace
}  // namespace Kelvo::testing
