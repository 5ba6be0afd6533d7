// Win32 adapter of the removal side's setup API seam: SetupDiGetClassDevsA by enumerator,
// SetupDiEnumDeviceInfo, SetupDiGetDeviceRegistryPropertyA, SetupDiRemoveDevice,
// SetupGetInfFileListA, SetupOpenInfFileA, SetupFindFirstLineA, SetupCopyOEMInfA and
// SetupUninstallOEMInfA.
#pragma once
#include "platform/device_setup.h"

namespace platform {

class Win32DeviceSetup : public DeviceSetup {
 public:
  long GetEnumeratorDevices(const std::string& enumerator, std::uint32_t flags,
                            std::unique_ptr<DeviceSet>& set) override;
  long GetInfFileList(std::uint32_t style, std::vector<std::string>& names) override;
  long OpenInf(const std::string& name, std::uint32_t style, std::unique_ptr<InfFile>& inf) override;
  long UninstallOemInf(const std::string& infFileName, std::uint32_t flags) override;
  long CopyOemInf(const std::string& sourceInf, std::uint32_t mediaType, std::uint32_t copyStyle,
                  std::size_t bufferChars, std::string& destination) override;
};

}  // namespace platform
