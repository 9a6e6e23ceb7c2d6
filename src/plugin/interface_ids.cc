#include "plugin/interface_ids.h"

namespace Kelvo {
namespace {

const String<char> kContainerInterfaceId("velmora.interface.container", StandardAllocator<char>::instance());

}  // namespace

const String<char>& containerInterfaceId() { return kContainerInterfaceId; }

}  // namespace Kelvo
