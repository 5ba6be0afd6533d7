// Virtual time: Sleep advances the clock at once and is recorded.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/clock.h"

namespace fakes {

class FakeClock : public platform::Clock {
 public:
  void Sleep(std::uint32_t milliseconds) override {
    sleeps.push_back(milliseconds);
    now += milliseconds;
  }
  std::uint32_t TickCount() override { return static_cast<std::uint32_t>(now); }
  void Advance(std::uint64_t milliseconds) { now += milliseconds; }

  std::uint64_t TotalSlept() const {
    std::uint64_t total = 0;
    for (auto ms : sleeps) total += ms;
    return total;
  }

  std::uint64_t now = 0;
  std::vector<std::uint32_t> sleeps;
};

}  // namespace fakes
