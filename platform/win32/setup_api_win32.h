// Win32 adapter of the setup API seam: SetupDiGetClassDevsA and the device-interface calls
// on the set it returns, which is destroyed with its DeviceInfoSet.
#pragma once
#include "platform/setup_api.h"

namespace platform {

class Win32SetupApi : public SetupApi {
 public:
  std::unique_ptr<DeviceInfoSet> GetClassDevs(const Guid* classGuid, const std::string& enumerator,
                                              std::uint32_t flags) override;
};

}  // namespace platform
