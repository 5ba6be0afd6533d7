// Setup API seam of the removal side and the installer: the devices of an enumerator with
// their registry properties and their removal, and the system's INF files (list, open, find a
// line, copy an INF into the store as an OEM INF and uninstall such a copy). One operation per
// setup API call; a device set is destroyed (SetupDiDestroyDeviceInfoList) and an INF closed
// (SetupCloseInfFile) with its owner.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/guid.h"
#include "platform/registry.h"
#include "platform/setup_api.h"

namespace platform {

// A function that the running system lacks (ERROR_PROC_NOT_FOUND).
constexpr long kErrorProcNotFound = 127;

// SetupDiGetDeviceRegistryPropertyA property codes.
constexpr std::uint32_t kSpdrpHardwareId = 0x1;
// INF styles (INF_STYLE_OLDNT, INF_STYLE_WIN4).
constexpr std::uint32_t kInfStyleOldNt = 0x1;
constexpr std::uint32_t kInfStyleWin4 = 0x2;
// SetupUninstallOEMInfA flags (SUOI_FORCEDELETE).
constexpr std::uint32_t kSuoiForceDelete = 0x1;
// SetupCopyOEMInfA media type (SPOST_PATH) and copy style (SP_COPY_NOOVERWRITE).
constexpr std::uint32_t kSpostPath = 1;
constexpr std::uint32_t kSpCopyNoOverwrite = 0x8;
// SetupCopyOEMInfA refusing to overwrite an INF already in the store (ERROR_FILE_EXISTS).
constexpr long kErrorFileExists = 80;

// SP_DEVINFO_DATA without its size. `reserved` is the set's own reference to the device:
// the logic only hands the record back to the set that filled it.
struct DeviceInfoData {
  Guid classGuid;
  std::uint32_t devInst = 0;
  std::uintptr_t reserved = 0;
};

class DeviceSet {
 public:
  virtual ~DeviceSet() = default;  // SetupDiDestroyDeviceInfoList
  // SetupDiEnumDeviceInfo: kErrorSuccess with `device` filled, else the last error
  // (kErrorNoMoreItems past the last device).
  virtual long EnumDeviceInfo(std::uint32_t index, DeviceInfoData& device) = 0;
  // SetupDiGetDeviceRegistryPropertyA into a buffer of bufferBytes: a longer property gives
  // kErrorInsufficientBuffer and leaves `value` untouched.
  virtual long GetDeviceRegistryProperty(const DeviceInfoData& device, std::uint32_t property,
                                         std::size_t bufferBytes, RegistryValue& value) = 0;
  // SetupDiRemoveDevice.
  virtual long RemoveDevice(const DeviceInfoData& device) = 0;
};

class InfFile {
 public:
  virtual ~InfFile() = default;  // SetupCloseInfFile
  // SetupFindFirstLineA: kErrorSuccess when the section has a line with that key.
  virtual long FindFirstLine(const std::string& section, const std::string& key) = 0;
};

class DeviceSetup {
 public:
  virtual ~DeviceSetup() = default;
  // SetupDiGetClassDevsA with no class, the enumerator and the flags.
  virtual long GetEnumeratorDevices(const std::string& enumerator, std::uint32_t flags,
                                    std::unique_ptr<DeviceSet>& set) = 0;
  // SetupGetInfFileListA without a folder (the system INF folder): a size call, then a fetch
  // into a buffer of that size. The file names, in the order listed.
  virtual long GetInfFileList(std::uint32_t style, std::vector<std::string>& names) = 0;
  // SetupOpenInfFileA with no class.
  virtual long OpenInf(const std::string& name, std::uint32_t style, std::unique_ptr<InfFile>& inf) = 0;
  // SetupUninstallOEMInfA. Windows 2000 lacks it: the adapter binds it at run time and
  // answers kErrorProcNotFound there.
  virtual long UninstallOemInf(const std::string& infFileName, std::uint32_t flags) = 0;
  // SetupCopyOEMInfA of `sourceInf` (a full path) without a media location, into a
  // destination name buffer of bufferChars characters that starts empty. `destination` is
  // what the buffer holds after a copy, and after a copy refused because the INF is already in
  // the store (kErrorFileExists), which still names that copy; empty after other failures.
  virtual long CopyOemInf(const std::string& sourceInf, std::uint32_t mediaType, std::uint32_t copyStyle,
                          std::size_t bufferChars, std::string& destination) = 0;
};

}  // namespace platform
