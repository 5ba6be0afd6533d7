// Which family of Windows the utility runs on. The Windows 9x family reads the parallel
// status register directly and finds a USB device's ids in the registry; the NT family asks
// the port driver and reads the ids from the device path.
#pragma once
#include <cstdint>

#include "platform/system_info.h"

namespace kora {

// From the GetVersion word. NT family (top bit clear): true only when the upper word is 0.
// Top bit set: true from major version 4 on; below that only when bits 16..30 are 0.
bool IsWindows9x(std::uint32_t versionWord);
inline bool IsWindows9x(platform::SystemInfo& system) { return IsWindows9x(system.GetVersionWord()); }

}  // namespace kora
