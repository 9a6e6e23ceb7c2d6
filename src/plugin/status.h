// The 32-bit status values of every interface the host calls, named once.
#pragma once

#include <cstdint>

namespace Kelvo {

using Status = std::uint32_t;

inline constexpr Status kStatusOk = 0;
// queryInterface: the identifier names no interface of this plug-in.
inline constexpr Status kStatusNoInterface = 3;
// Container, stream and parser operations: failure, or not possible now.
inline constexpr Status kStatusFailure = 0x80100001u;
// A URL that cannot become a local path.
inline constexpr Status kStatusBadUrl = 0x80800001u;
// Stream: nothing may be delivered yet, or no clock was given.
inline constexpr Status kStatusNotYet = 0xFFFFFFFFu;

// The identifier value with all 64 bits set: no identifier.
inline constexpr std::uint64_t kNoIdentifier = ~std::uint64_t{0};

}  // namespace Kelvo
