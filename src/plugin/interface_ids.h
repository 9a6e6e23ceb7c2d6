// The dotted identifiers by which the host asks the plug-in for an interface.
#pragma once

#include "framework/portable_string.h"

namespace Kelvo {

// "velmora.interface.container": the only identifier queryInterface accepts.
// Exists from the module's static initialisation until it unloads.
const String<char>& containerInterfaceId();

}  // namespace Kelvo
