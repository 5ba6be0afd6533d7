// The USB side: the Windows family rule, the present-device list (batches, upper-casing,
// ids on both families, indexes past the end), and the open device's notification handling
// (removal refused, removal suffered, arrival reopens).
#include <gtest/gtest.h>

#include <algorithm>

#include <set>

#include "platform/os_codes.h"
#include "settings_utility/transports/usb_device_list.h"
#include "settings_utility/transports/usb_printer_device.h"
#include "settings_utility/transports/windows_family.h"
#include "tests/fakes/fake_device_files.h"
#include "tests/fakes/fake_device_notifications.h"
#include "tests/fakes/fake_registry.h"
#include "tests/fakes/fake_setup_api.h"
#include "tests/fakes/fake_system.h"

namespace {

using platform::RegistryRoot;

TEST(IsWindows9x, ByTheVersionWord) {
  struct Row {
    std::uint32_t word;
    bool windows9x;
    const char* what;
  } rows[] = {
      {0xC3B60004, true, "Windows 95"},
      {0xC0000A04, true, "Windows 98"},
      {0xC0005A04, true, "Windows Me"},
      {0x08930005, false, "Windows 2000"},
      {0x0A280105, false, "Windows XP"},
      {0x17700006, false, "Windows Vista"},
      {0x1DB10106, false, "Windows 7"},
      {0x00000004, true, "NT family word without a build number"},
      {0x80000003, true, "top bit, major 3, bits 16..30 clear"},
      {0x80010003, false, "top bit, major 3, bits 16..30 set"},
      {0xFFFF0004, true, "top bit, major 4, whatever the rest"},
  };
  for (const Row& row : rows) EXPECT_EQ(kora::IsWindows9x(row.word), row.windows9x) << row.what;
}

const char kInterfaceTail[] = "#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";

// The interface path of the n-th USB device on the NT family.
std::string DevicePath(int n) {
  return "\\\\?\\USB#VID_04B8&PID_0E15#SERIAL" + std::to_string(n) + kInterfaceTail;
}

struct ListRig {
  fakes::FakeSetupApi setup;
  fakes::FakeDeviceFiles devices;
  fakes::FakeRegistry registry;
  fakes::FakeSystemInfo system;
  kora::UsbDeviceList list{setup, devices, registry, system};

  // `count` present devices of which those in `openable` can be opened.
  void Present(int count, const std::set<int>& openable) {
    for (int i = 0; i < count; ++i) {
      setup.interfaces.push_back({DevicePath(i)});
      if (openable.count(i)) devices.AddDevice(DevicePath(i));
    }
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : list.entries()) names.push_back(entry.listingName + " " + entry.devicePath);
    return names;
  }
};

// How a listed device shows in ListRig::Names.
std::string Listed(const char* name, int n) { return std::string(name) + " " + kora::UpperCaseAscii(DevicePath(n)); }

std::vector<std::uint32_t> UpTo(std::uint32_t last) {
  std::vector<std::uint32_t> indexes;
  for (std::uint32_t i = 0; i <= last; ++i) indexes.push_back(i);
  return indexes;
}

TEST(UsbDeviceList, WalksGrowingBatchesUntilOneYieldsADevice) {
  struct Row {
    int present;
    std::set<int> openable;
    std::uint32_t lastIndexAsked;
    std::vector<std::string> listed;
  } rows[] = {
      // Nothing in 0..7; the batch 8..15 finds the tenth device and ends at index 12, the end.
      {12, {9}, 12, {Listed("USB001", 9)}},
      // Two among the first eight: the first batch is the last one.
      {12, {2, 5}, 7, {Listed("USB001", 2), Listed("USB002", 5)}},
      // A device in the batch 32..63 is found only after three empty batches; the batch is
      // walked to the end of the set.
      {40, {35, 39}, 40, {Listed("USB001", 35), Listed("USB002", 39)}},
      {3, {}, 3, {}},
  };
  for (const Row& row : rows) {
    ListRig rig;
    rig.Present(row.present, row.openable);
    EXPECT_EQ(rig.list.Enumerate(), row.listed.size()) << row.present;
    EXPECT_EQ(rig.Names(), row.listed) << row.present;
    EXPECT_EQ(rig.setup.enumeratedIndexes, UpTo(row.lastIndexAsked)) << row.present;
    EXPECT_EQ(rig.setup.openSets, 0) << "the set is freed";
    for (const auto& open : rig.devices.opens) {
      EXPECT_EQ(open.access, platform::kGenericRead | platform::kGenericWrite);
      EXPECT_EQ(open.shareMode, platform::kFileShareRead | platform::kFileShareWrite);
      EXPECT_EQ(open.creation, platform::kOpenExisting);
    }
    for (int i : row.openable) EXPECT_EQ(rig.devices.devices[DevicePath(i)]->closeCount, 1u) << "probe closed at once";
  }
}

TEST(UsbDeviceList, AsksForPresentUsbDeviceInterfaces) {
  ListRig rig;
  rig.Present(1, {0});
  rig.list.Enumerate();
  ASSERT_EQ(rig.setup.classDevsCalls.size(), 1u);
  const auto& call = rig.setup.classDevsCalls[0];
  EXPECT_TRUE(call.hasGuid && call.classGuid == platform::kGuidDevInterfaceUsbDevice);
  EXPECT_EQ(call.flags, 0x12u);
  EXPECT_EQ(call.enumerator, "");
  for (const platform::Guid& asked : rig.setup.enumeratedClasses) EXPECT_TRUE(asked == platform::kGuidDevInterfaceUsbDevice);

  rig.setup.failGetClassDevs = true;
  EXPECT_EQ(rig.list.Enumerate(), 0u) << "a failed enumeration leaves an empty list, not the old one";
}

TEST(UsbDeviceList, LowerCasePathIsListedUpperCasedWithItsIds) {
  ListRig rig;
  const std::string lower = "\\\\?\\usb#vid_3c17&pid_0006#5&1a2b3c&0&1#{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
  rig.setup.interfaces.push_back({lower});
  rig.devices.AddDevice(lower);
  ASSERT_EQ(rig.list.Enumerate(), 1u);
  const kora::UsbDeviceEntry& entry = rig.list.entries()[0];
  EXPECT_EQ(entry.devicePath, "\\\\?\\USB#VID_3C17&PID_0006#5&1A2B3C&0&1#{A5DCBF10-6530-11D2-901F-00C04FB951ED}");
  EXPECT_EQ(entry.vendorId, "3C17");
  EXPECT_EQ(entry.productId, "0006");
  EXPECT_EQ(rig.devices.opens[0].path, lower) << "opened by the path the system gave";
}

TEST(UsbDeviceList, InterfacesThatFailAreSkipped) {
  ListRig rig;
  rig.Present(4, {0, 1, 2, 3});
  rig.setup.interfaces[0].enumError = platform::kErrorInvalidParameter;
  rig.setup.interfaces[1].detailError = platform::kErrorInsufficientBuffer;
  EXPECT_EQ(rig.list.Enumerate(), 2u);
  EXPECT_EQ(rig.Names(), (std::vector<std::string>{Listed("USB001", 2), Listed("USB002", 3)}));
}

TEST(UsbDeviceList, LookupsPastTheEndGiveNothing) {
  ListRig rig;
  rig.Present(2, {0, 1});
  ASSERT_EQ(rig.list.Enumerate(), 2u);
  EXPECT_EQ(rig.list.EntryByIndex(2), nullptr);
  EXPECT_EQ(rig.list.PathByIndex(2), "");
  ASSERT_NE(rig.list.EntryByIndex(1), nullptr);
  EXPECT_EQ(rig.list.PathByIndex(1), kora::UpperCaseAscii(DevicePath(1)));
  ASSERT_NE(rig.list.EntryByName("USB002"), nullptr);
  EXPECT_EQ(rig.list.EntryByName("USB002")->devicePath, kora::UpperCaseAscii(DevicePath(1)));
  EXPECT_EQ(rig.list.EntryByName("USB003"), nullptr);
}

TEST(UsbDeviceList, PathIsPresentEnumeratesAfreshAndComparesExactly) {
  ListRig rig;
  rig.Present(1, {0});
  const std::string upper = kora::UpperCaseAscii(DevicePath(0));
  EXPECT_TRUE(rig.list.PathIsPresent(upper));
  EXPECT_FALSE(rig.list.PathIsPresent(DevicePath(0))) << "the listed path is upper case";
  rig.devices.devices.clear();  // unplugged
  EXPECT_FALSE(rig.list.PathIsPresent(upper));
  EXPECT_EQ(rig.setup.classDevsCalls.size(), 3u);
}

TEST(UsbDeviceList, Windows9xTakesTheIdsFromTheDeviceInstance) {
  ListRig rig;
  rig.system.versionWord = fakes::kVersionWindows98;
  const std::string paths[] = {"\\\\.\\0000000000000012#{a5dcbf10-6530-11d2-901f-00c04fb951ed}",
                               "\\\\.\\0000000000000013#{a5dcbf10-6530-11d2-901f-00c04fb951ed}",
                               "\\\\.\\0000000000000014#{a5dcbf10-6530-11d2-901f-00c04fb951ed}",
                               "\\\\.\\0000000000000015#{a5dcbf10-6530-11d2-901f-00c04fb951ed}"};
  for (const std::string& path : paths) {
    rig.setup.interfaces.push_back({path});
    rig.devices.AddDevice(path);
  }
  auto instanceKey = [](const std::string& path) {
    return kora::kUsbDeviceClassKey9x + kora::UpperCaseAscii(path).substr(4);
  };
  rig.registry.SetString(RegistryRoot::LocalMachine, instanceKey(paths[0]), "DeviceInstance",
                         "usb\\vid_3c17&pid_0006\\5&1a2b");
  // paths[1] has no device instance: no entry, and the names stay consecutive.
  rig.registry.SetRaw(RegistryRoot::LocalMachine, instanceKey(paths[2]), "DeviceInstance",
                      {platform::kRegExpandSz, {'U', 'S', 'B', 0}});  // only REG_SZ counts
  rig.registry.SetString(RegistryRoot::LocalMachine, instanceKey(paths[3]), "DeviceInstance",
                         "USB\\VID_04B8&PID_0E15\\7&2");
  ASSERT_EQ(rig.list.Enumerate(), 2u);
  EXPECT_EQ(rig.list.entries()[0].listingName, "USB001");
  EXPECT_EQ(rig.list.entries()[0].vendorId, "3C17");
  EXPECT_EQ(rig.list.entries()[0].productId, "0006");
  EXPECT_EQ(rig.list.entries()[1].listingName, "USB002");
  EXPECT_EQ(rig.list.entries()[1].devicePath, kora::UpperCaseAscii(paths[3]));
  EXPECT_EQ(rig.list.entries()[1].vendorId, "04B8");
  EXPECT_EQ(rig.list.entries()[1].productId, "0E15");
}

// --- The open device and its notifications ---------------------------------------------

const std::string kPrinterPath =
    "\\\\?\\USB#VID_3C17&PID_0006#5&1A2B3C&0&1#{A5DCBF10-6530-11D2-901F-00C04FB951ED}";

struct DeviceRig {
  fakes::FakeDeviceFiles devices;
  std::shared_ptr<fakes::FakeDeviceState> printer = devices.AddDevice(kPrinterPath);
  fakes::FakeDeviceNotifications notifications;
  fakes::FakeSystemInfo system;
  kora::UsbPrinterDevice device{devices, notifications, system};

  bool Open() {
    kora::PortConfiguration c;
    c.portText = kPrinterPath;
    return device.Configure(c) && device.Open();
  }
  std::uint32_t WriteByte(std::uint8_t byte) { return device.Write(&byte, 1); }
};

TEST(UsbPrinterDevice, OpenMakesTheWindowAndBothRegistrationsAndCloseUndoesThem) {
  DeviceRig rig;
  ASSERT_TRUE(rig.Open());
  EXPECT_EQ(rig.device.state(), kora::UsbPrinterDevice::State::Open);
  ASSERT_EQ(rig.devices.opens.size(), 1u);
  EXPECT_EQ(rig.devices.opens[0].access, platform::kGenericRead | platform::kGenericWrite);
  EXPECT_EQ(rig.devices.opens[0].shareMode, 0u);
  EXPECT_EQ(rig.devices.opens[0].creation, platform::kOpenExisting);
  EXPECT_EQ(rig.devices.opens[0].flags, platform::kFileAttributeNormal);
  ASSERT_EQ(rig.notifications.windows.size(), 1u);
  EXPECT_EQ(rig.notifications.windows[0].name, "USBPNPWindow");
  EXPECT_EQ(rig.notifications.windows[0].controlId, 1234);
  ASSERT_EQ(rig.notifications.registrations.size(), 2u);
  EXPECT_TRUE(rig.notifications.registrations[0].forHandle);
  EXPECT_EQ(rig.notifications.registrations[0].handle, rig.printer->handleIdentity);
  EXPECT_FALSE(rig.notifications.registrations[1].forHandle);
  EXPECT_TRUE(rig.notifications.registrations[1].interfaceClass == platform::kGuidDevInterfaceUsbDevice);
  EXPECT_TRUE((rig.printer->lastTimeouts == platform::CommTimeouts{10, 0, 1000, 0, 0}))
      << "a silent printer must not hold a read for ever";

  rig.device.Close();
  EXPECT_EQ(rig.notifications.LiveWindows(), 0);
  EXPECT_EQ(rig.notifications.LiveRegistrations(true), 0);
  EXPECT_EQ(rig.notifications.LiveRegistrations(false), 0);
  EXPECT_EQ(rig.printer->calls.back(), "CloseHandle");
  EXPECT_EQ(rig.printer->calls[rig.printer->calls.size() - 2], "CancelIo");
  EXPECT_EQ(rig.WriteByte(0x1B), 0u);
}

TEST(UsbPrinterDevice, RefusedOpensLeaveNothingBehind) {
  struct Row {
    const char* what;
    bool deviceMissing;
    bool interfaceRegistrationFails;
  } rows[] = {{"device not there", true, false}, {"no interface notifications", false, true}};
  for (const Row& row : rows) {
    DeviceRig rig;
    if (row.deviceMissing) rig.devices.devices.clear();
    rig.notifications.failInterfaceRegistration = row.interfaceRegistrationFails;
    EXPECT_FALSE(rig.Open()) << row.what;
    EXPECT_EQ(rig.notifications.LiveWindows(), 0) << row.what;
    EXPECT_EQ(rig.notifications.LiveRegistrations(true), 0) << row.what;
    EXPECT_EQ(rig.printer->openCount, rig.printer->closeCount) << row.what;
    EXPECT_FALSE(rig.device.isOpen());
    EXPECT_EQ(rig.WriteByte(0x1B), 0u);
  }
  DeviceRig rig;
  kora::PortConfiguration empty;
  EXPECT_FALSE(rig.device.Configure(empty));
}

TEST(UsbPrinterDevice, RemovalIsRefusedThenSufferedThenUndoneByArrival) {
  for (std::uint32_t removal : {platform::kDbtDeviceRemoveComplete, platform::kDbtDeviceRemovePending}) {
    DeviceRig rig;
    ASSERT_TRUE(rig.Open());
    const std::uintptr_t first = rig.printer->handleIdentity;

    EXPECT_EQ(rig.notifications.Send(platform::kDbtDeviceQueryRemove, nullptr), platform::kDeviceChangeTrue)
        << "no data: nothing to decide";
    EXPECT_EQ(rig.notifications.SendHandleEvent(platform::kDbtDeviceQueryRemove, first + 99),
              platform::kDeviceChangeTrue) << "another device's handle";
    EXPECT_EQ(rig.notifications.SendHandleEvent(platform::kDbtDeviceQueryRemove, first),
              platform::kBroadcastQueryDeny);
    EXPECT_EQ(rig.WriteByte(0x10), 1u) << "the refused removal changes nothing";

    EXPECT_EQ(rig.notifications.SendHandleEvent(removal, first), platform::kDeviceChangeTrue);
    EXPECT_EQ(rig.device.state(), kora::UsbPrinterDevice::State::Removed);
    EXPECT_TRUE(rig.device.isOpen()) << "still marked open";
    EXPECT_FALSE(rig.device.holdsHandle());
    EXPECT_EQ(rig.printer->closeCount, 1u);
    EXPECT_TRUE(rig.notifications.registrations[0].unregistered) << "NT: the handle's registration is removed";
    EXPECT_EQ(rig.WriteByte(0x11), 0u);
    std::uint8_t reply[16];
    EXPECT_EQ(rig.device.Read(reply, 16), 0u);

    EXPECT_EQ(rig.notifications.SendInterfaceEvent(platform::kDbtDeviceArrival), platform::kDeviceChangeTrue);
    EXPECT_EQ(rig.device.state(), kora::UsbPrinterDevice::State::Open);
    EXPECT_EQ(rig.printer->openCount, 2u);
    EXPECT_EQ(std::count(rig.printer->calls.begin(), rig.printer->calls.end(), "SetCommTimeouts"), 2)
        << "the reopened handle gets its read time-outs too";
    EXPECT_NE(rig.printer->handleIdentity, first);
    EXPECT_EQ(rig.notifications.registrations.back().handle, rig.printer->handleIdentity)
        << "the new handle is registered";
    EXPECT_EQ(rig.WriteByte(0x12), 1u);
    EXPECT_EQ(rig.printer->writes.back(), std::vector<std::uint8_t>{0x12});
    EXPECT_EQ(rig.printer->writes.size(), 2u) << "nothing was written while it was away";
  }
}

TEST(UsbPrinterDevice, ArrivalWhileStillAwayKeepsTryingAndWindows9xOnlyForgets) {
  DeviceRig rig;
  rig.system.versionWord = fakes::kVersionWindows98;
  ASSERT_TRUE(rig.Open());
  auto printer = rig.printer;
  rig.notifications.SendHandleEvent(platform::kDbtDeviceRemoveComplete, printer->handleIdentity);
  EXPECT_TRUE(rig.notifications.registrations[0].forgotten);
  EXPECT_FALSE(rig.notifications.registrations[0].unregistered);

  rig.devices.devices.clear();  // another device arrives, not ours
  rig.notifications.SendInterfaceEvent(platform::kDbtDeviceArrival);
  EXPECT_EQ(rig.device.state(), kora::UsbPrinterDevice::State::Removed);
  EXPECT_EQ(rig.WriteByte(0x13), 0u);

  rig.devices.devices[kPrinterPath] = printer;  // ours is back
  rig.notifications.SendInterfaceEvent(platform::kDbtDeviceArrival);
  EXPECT_EQ(rig.device.state(), kora::UsbPrinterDevice::State::Open);
  EXPECT_EQ(rig.WriteByte(0x14), 1u);
}

TEST(UsbPrinterDevice, ArrivalOfAnOpenDeviceOpensNothingMore) {
  DeviceRig rig;
  ASSERT_TRUE(rig.Open());
  rig.notifications.SendInterfaceEvent(platform::kDbtDeviceArrival);
  rig.notifications.SendHandleEvent(platform::kDbtDeviceRemoveComplete, rig.printer->handleIdentity + 1);
  EXPECT_EQ(rig.printer->openCount, 1u);
  EXPECT_EQ(rig.device.state(), kora::UsbPrinterDevice::State::Open);
  EXPECT_EQ(rig.WriteByte(0x15), 1u);
}

}  // namespace
