// Win32 adapter of the time seam: Sleep and GetTickCount (not GetTickCount64, which the
// Windows 9x family lacks).
#pragma once
#include "platform/clock.h"

namespace platform {

class Win32Clock : public Clock {
 public:
  void Sleep(std::uint32_t milliseconds) override;
  std::uint32_t TickCount() override;
};

}  // namespace platform
