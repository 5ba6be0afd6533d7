// UsbDeviceListing: the USB devices that the port settings dialog offers, read from the
// present-device list of the USB transport.
#pragma once
#include <vector>

#include "settings_utility/transports/port_settings_dialog.h"
#include "settings_utility/transports/usb_device_list.h"

namespace kora {

class UsbDeviceListing : public UsbListing {
 public:
  explicit UsbDeviceListing(UsbDeviceList& devices);

  // Enumerates the devices afresh and gives each one's listing name, path and product id.
  std::vector<UsbListingEntry> Enumerate() override;

 private:
  UsbDeviceList& devices_;
};

}  // namespace kora
