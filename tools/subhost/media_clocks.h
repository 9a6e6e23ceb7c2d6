// The media clocks the reference host gives a stream: a stepping clock that
// jumps to wherever the next entry is due (for dump), and a wall clock that
// runs at a chosen speed (for play). Media time stays within 0 and
// kLatestMediaTime ms. One thread uses a clock at a time.
#pragma once

#include <chrono>
#include <cstdint>
#include <limits>

#include "plugin/host_interfaces.h"

namespace Kelvo::subhost {

inline constexpr std::int32_t kLatestMediaTime = std::numeric_limits<std::int32_t>::max();

// `time` limited to the clock's range, 0 to kLatestMediaTime ms.
std::int32_t clampMediaTime(std::int64_t time);

class HostClock : public MediaClock {
 public:
  virtual ~HostClock() = default;
  // Returns once media time has reached `time` ms (clamped to the range);
  // a time already passed returns at once.
  virtual void advanceTo(std::int64_t time) = 0;
};

class SteppingClock final : public HostClock {
 public:
  // Starts at `start` ms, clamped.
  explicit SteppingClock(std::int64_t start) : now(clampMediaTime(start)) {}
  std::int32_t getMediaTime() override { return now; }
  // Jumps forward; never goes back.
  void advanceTo(std::int64_t time) override;

 private:
  std::int32_t now;
};

class WallClock final : public HostClock {
 public:
  // Starts at `start` ms (clamped) now and runs `speed` media ms per wall ms.
  // Requires: speed > 0.
  WallClock(std::int64_t start, double speed);
  std::int32_t getMediaTime() override;
  // Sleeps until then.
  void advanceTo(std::int64_t time) override;

 private:
  std::int32_t start;
  double speed;
  std::chrono::steady_clock::time_point started;
};

}  // namespace Kelvo::subhost
