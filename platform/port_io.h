// Direct I/O port input. Only the Windows 9x family lets a program read the parallel status
// register itself; on the NT family the instruction faults, so callers use this there only.
#pragma once
#include <cstdint>

namespace platform {

class PortIo {
 public:
  virtual ~PortIo() = default;
  // One `in` of a byte from `port`.
  virtual std::uint8_t ReadPortByte(std::uint16_t port) = 0;
};

}  // namespace platform
