#include "settings_utility/transports/windows_family.h"

namespace kora {

bool IsWindows9x(std::uint32_t versionWord) {
  const bool topBit = (versionWord & 0x80000000u) != 0;
  if (!topBit) return (versionWord >> 16) == 0;
  const std::uint32_t major = versionWord & 0xFFu;
  if (major >= 4) return true;
  return (versionWord & 0x7FFF0000u) == 0;
}

}  // namespace kora
