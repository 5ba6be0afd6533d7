// Setup API seam: device information sets and the device interfaces in them. One operation
// per SetupDi call; a set is destroyed (SetupDiDestroyDeviceInfoList) with its owner.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/guid.h"

namespace platform {

// SetupDiGetClassDevsA flags.
constexpr std::uint32_t kDigcfDefault = 0x01;
constexpr std::uint32_t kDigcfPresent = 0x02;
constexpr std::uint32_t kDigcfAllClasses = 0x04;
constexpr std::uint32_t kDigcfProfile = 0x08;
constexpr std::uint32_t kDigcfDeviceInterface = 0x10;

// SP_DEVICE_INTERFACE_DATA. `reserved` is the set's own reference to the interface: the
// logic only hands it back to the set that filled it.
struct DeviceInterfaceData {
  Guid interfaceClassGuid;
  std::uint32_t flags = 0;
  std::uintptr_t reserved = 0;
};

class DeviceInfoSet {
 public:
  virtual ~DeviceInfoSet() = default;  // SetupDiDestroyDeviceInfoList
  // SetupDiEnumDeviceInterfaces(set, no device, interfaceClass, index): kErrorSuccess with
  // `data` filled, else the last error (kErrorNoMoreItems past the last interface).
  virtual long EnumDeviceInterfaces(const Guid& interfaceClass, std::uint32_t index,
                                    DeviceInterfaceData& data) = 0;
  // SetupDiGetDeviceInterfaceDetailA: a size call, then a fetch into a buffer of that size.
  // kErrorSuccess with the device path, else the error of the call that failed.
  virtual long GetDeviceInterfaceDetail(const DeviceInterfaceData& data, std::string& devicePath) = 0;
  // Device enumeration (SetupDiEnumDeviceInfo, registry properties) and removal are added
  // here by the uninstaller, which works on sets made by enumerator.
};

class SetupApi {
 public:
  virtual ~SetupApi() = default;
  // SetupDiGetClassDevsA. `classGuid` null: no class (with kDigcfAllClasses); `enumerator`
  // empty: none. Null when the call fails.
  virtual std::unique_ptr<DeviceInfoSet> GetClassDevs(const Guid* classGuid,
                                                      const std::string& enumerator,
                                                      std::uint32_t flags) = 0;
};

}  // namespace platform
