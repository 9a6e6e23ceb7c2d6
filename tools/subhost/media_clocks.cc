#include "media_clocks.h"

#include <algorithm>
#include <cassert>
#include <thread>

namespace Kelvo::subhost {

std::int32_t clampMediaTime(std::int64_t time) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(time, 0, kLatestMediaTime));
}

void SteppingClock::advanceTo(std::int64_t time) { now = std::max(now, clampMediaTime(time)); }

WallClock::WallClock(std::int64_t startTime, double mediaSpeed)
    : start(clampMediaTime(startTime)), speed(mediaSpeed), started(std::chrono::steady_clock::now()) {
  assert(speed > 0);
}

std::int32_t WallClock::getMediaTime() {
  const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - started;
  const double media = static_cast<double>(start) + elapsed.count() * speed;
  return media >= kLatestMediaTime ? kLatestMediaTime : clampMediaTime(static_cast<std::int64_t>(media));
}

void WallClock::advanceTo(std::int64_t time) {
  const std::int32_t target = clampMediaTime(time);
  for (std::int32_t now = getMediaTime(); now < target; now = getMediaTime()) {
    // Wake at least every 100 ms of wall time to catch up with a drifting sleep.
    const double wallMilliseconds = std::min(static_cast<double>(target - now) / speed, 100.0);
    std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(std::max(wallMilliseconds, 0.01)));
  }
}

}  // namespace Kelvo::subhost
