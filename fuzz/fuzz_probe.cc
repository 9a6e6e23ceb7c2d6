// The bytes are a source the host asks about. The first byte picks the
// code-page settings and whether the host supports the "UTF8" format; the
// rest is the file. Probe answers true or false, and appends the missing
// format record exactly when it recognises the file and the host lacks it.
#include <cstdint>
#include <cstring>
#include <vector>

#include "fuzz_support.h"
#include "sub/sub_container.h"

namespace {

class Formats final : public Kelvo::FormatList {
 public:
  void append(const Kelvo::StreamFormat& format) override { records.push_back(format); }
  std::vector<Kelvo::StreamFormat> records;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > Kelvo::fuzzing::kMaxInputBytes) return 0;
  const Kelvo::fuzzing::InputCopy input(data, size);
  static const Kelvo::fuzzing::ScratchFile file(".sub");

  Kelvo::fuzzing::ByteReader reader(input.data(), input.size());
  const std::uint8_t settings = reader.byte();
  const std::uint8_t hostByte = reader.byte();
  file.write(reader.rest());

  Kelvo::testing::FakePluginHost host;
  host.supportsFormats = (hostByte & 1) != 0;
  Kelvo::testing::FakeOwner owner;
  Kelvo::fuzzing::configureOwner(owner, settings, 0);
  auto* container = new Kelvo::SUBContainer(&host);
  container->attach(&owner, 7);

  Kelvo::String<unsigned char> url = Kelvo::String<unsigned char>::fromView(file.url());
  Kelvo::SourceDescriptor source{0, &url};
  Formats formats;
  const bool recognised = container->probe(&source, 0, 0, &formats);
  if (recognised) {
    SUB_FUZZ_CHECK(host.supportsFormats && formats.records.empty());
  } else if (!formats.records.empty()) {
    // Recognised, but the host lacks the format: one record, and only then.
    SUB_FUZZ_CHECK(!host.supportsFormats && formats.records.size() == 1);
    SUB_FUZZ_CHECK(std::memcmp(formats.records[0].code, "UTF8\0\0\0", 8) == 0);
    SUB_FUZZ_CHECK(formats.records[0].recordSize == 20 && formats.records[0].unitSize == 4);
  }
  // Without a list to append to the answer is the same.
  SUB_FUZZ_CHECK(container->probe(&source, 0, 0, nullptr) == recognised);
  SUB_FUZZ_CHECK(container->releaseReference() == 0);
  return 0;
}
