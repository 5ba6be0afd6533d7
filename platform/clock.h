// Time seam. Every blocking wait of the logic goes through Sleep so that unit tests run on
// virtual time and assert the waits as data.
#pragma once
#include <cstdint>

namespace platform {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual void Sleep(std::uint32_t milliseconds) = 0;
  // Milliseconds since an arbitrary start; wraps like GetTickCount.
  virtual std::uint32_t TickCount() = 0;
};

}  // namespace platform
