// Operating-system facts the transports decide by: the packed version word.
#pragma once
#include <cstdint>

namespace platform {

class SystemInfo {
 public:
  virtual ~SystemInfo() = default;
  // GetVersion: major version in the low byte, minor in the next, the top bit set on the
  // Windows 9x family, a build number in the upper word on the NT family.
  virtual std::uint32_t GetVersionWord() = 0;
};

}  // namespace platform
