#include "settings_utility/transports/usb_device_list.h"

#include <memory>

#include "platform/os_codes.h"
#include "settings_utility/transports/registry_values.h"
#include "settings_utility/transports/windows_family.h"

namespace kora {

const char kUsbDeviceClassKey9x[] =
    "System\\CurrentControlSet\\Control\\DeviceClasses\\{a5dcbf10-6530-11d2-901f-00c04fb951ed}\\##.#";

namespace {

// Interface indexes are asked for in batches 0..7, 8..15, 16..31, ...: the first batch that
// yields a device ends the walk, so a machine with many USB devices is not opened whole.
constexpr std::uint32_t kFirstBatchEnd = 8;

// "DeviceInstance" is read into a buffer of this many bytes.
constexpr std::size_t kDeviceInstanceBytes = 255;

// Where the ids sit: \\?\USB#VID_vvvv&PID_pppp#... on the NT family, USB\VID_vvvv&PID_pppp\...
// in a Windows 9x device instance.
constexpr std::size_t kNtVendorOffset = 12;
constexpr std::size_t kNtProductOffset = 21;
constexpr std::size_t k9xVendorOffset = 8;
constexpr std::size_t k9xProductOffset = 17;
constexpr std::size_t kIdLength = 4;

// The 4 characters at `offset`, fewer (or none) where the text ends first.
std::string IdAt(const std::string& text, std::size_t offset) {
  return offset < text.size() ? text.substr(offset, kIdLength) : std::string();
}

// "USB%03d".
std::string ListingName(std::size_t position) {
  std::string digits = std::to_string(position);
  if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
  return "USB" + digits;
}

}  // namespace

std::string UpperCaseAscii(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

UsbDeviceList::UsbDeviceList(platform::SetupApi& setup, platform::DeviceFiles& devices,
                             platform::Registry& registry, platform::SystemInfo& system)
    : setup_(setup), devices_(devices), registry_(registry), system_(system) {}

void UsbDeviceList::AddEntry(const std::string& upperPath, bool windows9x) {
  UsbDeviceEntry entry;
  entry.devicePath = upperPath;
  if (!windows9x) {
    entry.vendorId = IdAt(upperPath, kNtVendorOffset);
    entry.productId = IdAt(upperPath, kNtProductOffset);
  } else {
    // Windows 9x paths do not carry the ids in this shape; the interface's device instance does.
    const std::string key = kUsbDeviceClassKey9x + (upperPath.size() > 4 ? upperPath.substr(4) : std::string());
    std::unique_ptr<platform::RegistryKey> opened;
    if (registry_.OpenKey(platform::RegistryRoot::LocalMachine, key, platform::kKeyRead, opened) !=
            platform::kErrorSuccess ||
        !opened)
      return;
    platform::RegistryValue raw;
    std::string instance;
    if (opened->QueryValue("DeviceInstance", kDeviceInstanceBytes, raw) != platform::kErrorSuccess ||
        raw.type != platform::kRegSz || !StringFromValue(raw, instance))
      return;
    instance = UpperCaseAscii(instance);
    entry.vendorId = IdAt(instance, k9xVendorOffset);
    entry.productId = IdAt(instance, k9xProductOffset);
  }
  entry.listingName = ListingName(entries_.size() + 1);
  entries_.push_back(entry);
}

std::size_t UsbDeviceList::Enumerate() {
  entries_.clear();
  const platform::Guid& usbClass = platform::kGuidDevInterfaceUsbDevice;
  std::unique_ptr<platform::DeviceInfoSet> set =
      setup_.GetClassDevs(&usbClass, std::string(), platform::kDigcfPresent | platform::kDigcfDeviceInterface);
  if (!set) return 0;
  const bool windows9x = IsWindows9x(system_);

  std::uint32_t batchStart = 0;
  std::uint32_t batchEnd = kFirstBatchEnd;
  bool moreItems = true;
  while (moreItems) {
    const std::size_t before = entries_.size();
    for (std::uint32_t index = batchStart; index < batchEnd; ++index) {
      platform::DeviceInterfaceData interfaceData;
      const long status = set->EnumDeviceInterfaces(usbClass, index, interfaceData);
      if (status == platform::kErrorNoMoreItems) {
        moreItems = false;
        break;
      }
      if (status != platform::kErrorSuccess) continue;
      std::string path;
      if (set->GetDeviceInterfaceDetail(interfaceData, path) != platform::kErrorSuccess) continue;
      // Only a device that can be opened now is worth offering; the probe is closed at once.
      std::unique_ptr<platform::DeviceFile> probe =
          devices_.Open(path, platform::kGenericRead | platform::kGenericWrite,
                        platform::kFileShareRead | platform::kFileShareWrite, platform::kOpenExisting, 0);
      if (!probe) continue;
      probe.reset();
      AddEntry(UpperCaseAscii(path), windows9x);
    }
    if (entries_.size() > before) break;
    if (batchEnd > 0x7FFFFFFFu) break;  // the index range is used up
    batchStart = batchEnd;
    batchEnd *= 2;
  }
  return entries_.size();
}

std::string UsbDeviceList::PathByIndex(std::size_t index) const {
  return index < entries_.size() ? entries_[index].devicePath : std::string();
}

const UsbDeviceEntry* UsbDeviceList::EntryByIndex(std::size_t index) const {
  return index < entries_.size() ? &entries_[index] : nullptr;
}

const UsbDeviceEntry* UsbDeviceList::EntryByName(const std::string& listingName) const {
  for (const UsbDeviceEntry& entry : entries_)
    if (entry.listingName == listingName) return &entry;
  return nullptr;
}

bool UsbDeviceList::PathIsPresent(const std::string& devicePath) {
  Enumerate();
  for (const UsbDeviceEntry& entry : entries_)
    if (entry.devicePath == devicePath) return true;
  return false;
}

}  // namespace kora
