// Where ICU's headers are at hand, the plug-in's own declarations of ICU's
// types are checked against them: they must match the release it binds.
#include <unicode/umachine.h>
#include <unicode/utypes.h>

#include <type_traits>

#include "text/ucnv_library.h"

namespace Quarnel {

static_assert(std::is_same_v<UChar, ::UChar>);
static_assert(std::is_same_v<UBool, ::UBool>);
static_assert(sizeof(UErrorCode) == sizeof(::UErrorCode));
static_assert(kUZeroError == ::U_ZERO_ERROR);
static_assert(kUInternalProgramError == ::U_INTERNAL_PROGRAM_ERROR);
static_assert(kUBufferOverflowError == ::U_BUFFER_OVERFLOW_ERROR);

}  // namespace Quarnel
