// The USB devices the port settings dialog offers, read through the present-device list:
// only printers are offered, by listing name, and OK stores the chosen one's device path.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings_utility/resources/resource_ids.h"
#include "settings_utility/transports/port_settings_dialog.h"
#include "settings_utility/transports/usb_device_list.h"
#include "settings_utility/transports/usb_listing.h"
#include "tests/fakes/fake_device_files.h"
#include "tests/fakes/fake_port_settings_view.h"
#include "tests/fakes/fake_registry.h"
#include "tests/fakes/fake_setup_api.h"
#include "tests/fakes/fake_system.h"

namespace {

using platform::RegistryRoot;

const char kKey[] = "Software\\KELVO\\HRX-410\\KORA";
const char kTail[] = "#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";

TEST(UsbDeviceListing, OffersThePrintersAndStoresTheChosenPath) {
  fakes::FakeSetupApi setup;
  fakes::FakeDeviceFiles devices;
  fakes::FakeRegistry registry;
  fakes::FakeSystemInfo system;
  // Three present devices: a printer, another maker's device whose vendor id is 0006 (the
  // product id decides, not the vendor id), and a second printer with a lower-case path.
  const std::vector<std::string> paths = {
      std::string("\\\\?\\USB#VID_3C17&PID_0006#A1") + kTail,
      std::string("\\\\?\\USB#VID_0006&PID_3C17#B2") + kTail,
      std::string("\\\\?\\usb#vid_3c17&pid_0006#c3") + kTail,
  };
  for (const std::string& path : paths) {
    setup.interfaces.push_back({path});
    devices.AddDevice(path);
  }
  kora::UsbDeviceList list(setup, devices, registry, system);
  kora::UsbDeviceListing listing(list);

  const std::vector<kora::UsbListingEntry> entries = listing.Enumerate();
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[1].listingName, "USB002");
  EXPECT_EQ(entries[1].productId, "3C17");
  EXPECT_EQ(entries[2].devicePath, kora::UpperCaseAscii(paths[2]));

  registry.AddKey(RegistryRoot::CurrentUser, kKey);
  fakes::FakePortSettingsView view;
  kora::PortSettingsDialog dialog(view, registry, listing, "");
  dialog.OnInitDialog();
  dialog.OnCommand(IDC_PS_USB, platform::kBnClicked);
  EXPECT_TRUE(view.messages.empty());
  EXPECT_EQ(view.combos[IDC_PS_PORT].items, (std::vector<std::string>{"USB001", "USB003"}));

  view.SetComboSelection(IDC_PS_PORT, 1);
  dialog.OnCommand(platform::kIdOk, platform::kBnClicked);
  EXPECT_EQ(registry.StringValue(RegistryRoot::CurrentUser, kKey, "Port"), "USB003");
  EXPECT_EQ(registry.StringValue(RegistryRoot::CurrentUser, kKey, "UsbdeviceName"),
            kora::UpperCaseAscii(paths[2]));
}

}  // namespace
