// Win32 I/O port adapter: the byte at `port`, read with the x86 `in` instruction.
#include "platform/win32/port_io_win32.h"

namespace platform {

std::uint8_t Win32PortIo::ReadPortByte(std::uint16_t port) {
  std::uint8_t value = 0;
  __asm__ __volatile__("inb %w1, %b0" : "=a"(value) : "Nd"(port));
  return value;
}

}  // namespace platform
