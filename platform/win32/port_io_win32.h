// Win32 adapter of the I/O port seam: one `in` instruction. Windows 9x lets a program do
// this; the NT family faults on it, so the logic only calls it on Windows 9x.
#pragma once
#include "platform/port_io.h"

namespace platform {

class Win32PortIo : public PortIo {
 public:
  std::uint8_t ReadPortByte(std::uint16_t port) override;
};

}  // namespace platform
