// UsbDeviceListing: one enumeration of the device list per call, entries copied in order.
#include "settings_utility/transports/usb_listing.h"

namespace kora {

UsbDeviceListing::UsbDeviceListing(UsbDeviceList& devices) : devices_(devices) {}

std::vector<UsbListingEntry> UsbDeviceListing::Enumerate() {
  devices_.Enumerate();
  std::vector<UsbListingEntry> listed;
  listed.reserve(devices_.entries().size());
  for (const UsbDeviceEntry& entry : devices_.entries())
    listed.push_back({entry.listingName, entry.devicePath, entry.productId});
  return listed;
}

}  // namespace kora
