// Keeps exceptions from crossing the host boundary: every operation the host
// can call runs its body through guarded(), which turns running out of memory
// (the only exception the plug-in raises) into the operation's failure result.
#pragma once

#include <exception>
#include <utility>

namespace Kelvo {

template <typename Result, typename Body>
Result guarded(Result failure, Body&& body) noexcept {
  try {
    return std::forward<Body>(body)();
  } catch (const std::exception&) {
    return failure;
  }
}

}  // namespace Kelvo
