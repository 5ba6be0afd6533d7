// Win32 adapter of the system facts seam: GetVersion.
#pragma once
#include "platform/system_info.h"

namespace platform {

class Win32SystemInfo : public SystemInfo {
 public:
  std::uint32_t GetVersionWord() override;
};

}  // namespace platform
