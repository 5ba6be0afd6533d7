// UsbDeviceList: the present USB devices that can be opened, each with a listing name
// (USB001, USB002, ...) and its vendor and product ids.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "platform/device_file.h"
#include "platform/registry.h"
#include "platform/setup_api.h"
#include "platform/system_info.h"

namespace kora {

struct UsbDeviceEntry {
  std::string devicePath;   // upper case
  std::string listingName;  // "USB%03d" of the 1-based position
  std::string productId;    // 4 characters, e.g. "0006"
  std::string vendorId;     // 4 characters, e.g. "3C17"
};

// The device class key under which Windows 9x records each interface's device instance.
extern const char kUsbDeviceClassKey9x[];

// Upper-cases only the letters a to z, as device paths are compared.
std::string UpperCaseAscii(std::string text);

class UsbDeviceList {
 public:
  UsbDeviceList(platform::SetupApi& setup, platform::DeviceFiles& devices,
                platform::Registry& registry, platform::SystemInfo& system);

  // Lists the devices afresh; the number of entries.
  std::size_t Enumerate();
  // Empty when the index is not below the count.
  std::string PathByIndex(std::size_t index) const;
  // Null when the index is not below the count.
  const UsbDeviceEntry* EntryByIndex(std::size_t index) const;
  // Null when no entry has that name.
  const UsbDeviceEntry* EntryByName(const std::string& listingName) const;
  // Enumerates, then true when an entry has exactly this path (case-sensitive).
  bool PathIsPresent(const std::string& devicePath);

  const std::vector<UsbDeviceEntry>& entries() const { return entries_; }

 private:
  void AddEntry(const std::string& upperPath, bool windows9x);

  platform::SetupApi& setup_;
  platform::DeviceFiles& devices_;
  platform::Registry& registry_;
  platform::SystemInfo& system_;
  std::vector<UsbDeviceEntry> entries_;
};

}  // namespace kora
