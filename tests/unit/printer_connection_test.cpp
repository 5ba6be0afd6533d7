// PrinterConnection: dispatch by port text, the failure messages, the release of Windows
// printers on the same port, and the paced Ethernet send.
#include <gtest/gtest.h>

#include "settings_utility/transports/device_transport_factory.h"
#include "settings_utility/transports/printer_connection.h"
#include "tests/fakes/fake_clock.h"
#include "tests/fakes/fake_files.h"
#include "tests/fakes/fake_device_files.h"
#include "tests/fakes/fake_device_notifications.h"
#include "tests/fakes/fake_main_window_view.h"
#include "tests/fakes/fake_misc.h"
#include "tests/fakes/fake_registry.h"
#include "tests/fakes/fake_spooler.h"
#include "tests/fakes/fake_sockets.h"
#include "tests/fakes/fake_system.h"

namespace {

using kora::PortKind;

struct Rig {
  fakes::FakeRegistry registry;
  fakes::FakeSpooler spooler;
  fakes::FakeDeviceFiles devices;
  fakes::FakeSocketLayer sockets;
  fakes::FakeClock clock;
  fakes::FakeResources resources;
  fakes::FakeMainWindowView view;
  fakes::FakeFiles files;
  kora::UtilityServices services{registry, spooler, devices, sockets, clock, resources, files};
  fakes::FakeDeviceNotifications notifications;
  fakes::FakeSystemInfo system;
  fakes::FakePortIo ports;
  kora::DeviceTransportFactory factory{devices, clock, notifications, system, ports};
  kora::PrinterConnection connection{services, factory, view};
};

TEST(PrinterConnection, UnknownPortTextIsAConfigurationError) {
  Rig rig;
  rig.connection.settings().portText = "PRN";
  rig.connection.settings().kind = PortKind::Serial;
  EXPECT_FALSE(rig.connection.Open());
  ASSERT_EQ(rig.view.messages.size(), 1u);
  EXPECT_EQ(rig.view.messages[0].text, "Port Configuration Set Error!");
  EXPECT_EQ(rig.view.messages[0].title, "Error");
  EXPECT_EQ(rig.view.messages[0].icon, platform::MessageIcon::Stop);
  EXPECT_FALSE(rig.connection.connected());
}

TEST(PrinterConnection, PortThatDoesNotOpenSaysSo) {
  Rig rig;  // no COM1 device
  EXPECT_FALSE(rig.connection.Open());
  ASSERT_EQ(rig.view.messages.size(), 1u);
  EXPECT_EQ(rig.view.messages[0].text, "Can't open port and Printer is disconnected");
  EXPECT_EQ(rig.view.messages[0].title, "Information");
  EXPECT_EQ(rig.view.messages[0].icon, platform::MessageIcon::Exclamation);
}

TEST(PrinterConnection, SerialOpenSendReadClose) {
  Rig rig;
  auto port = rig.devices.AddDevice("COM1");
  port->input = {'c'};
  ASSERT_TRUE(rig.connection.Open());
  EXPECT_TRUE(rig.connection.connected());
  const std::uint8_t init[] = {0x1B, 0x40};
  EXPECT_EQ(rig.connection.SendCommand(init, 2), 2u);
  std::uint8_t byte = 0;
  EXPECT_EQ(rig.connection.ReadReply(&byte, 1), 1u);
  EXPECT_EQ(byte, 'c');
  rig.connection.Close();
  EXPECT_FALSE(rig.connection.connected());
  EXPECT_EQ(port->closeCount, 1u);
  EXPECT_EQ(rig.connection.SendCommand(init, 2), 0u);
  EXPECT_TRUE(rig.view.messages.empty());
}

TEST(PrinterConnection, ReleasesPrintersOnThePortAndGivesThemBack) {
  Rig rig;
  rig.devices.AddDevice("COM1");
  rig.spooler.AddPrinter("Receipt", "COM1:");
  rig.spooler.AddPrinter("Label", "COM10:");
  rig.spooler.AddPrinter("Office", "LPT1:");
  ASSERT_TRUE(rig.connection.Open());
  EXPECT_EQ(rig.spooler.PortOf("Receipt"), "FILE:");
  EXPECT_EQ(rig.spooler.PortOf("Label"), "FILE:");  // "COM1" is a substring of "COM10:"
  EXPECT_EQ(rig.spooler.PortOf("Office"), "LPT1:");
  EXPECT_EQ(rig.connection.releasedPrinters().size(), 2u);
  rig.connection.Close();
  EXPECT_EQ(rig.spooler.PortOf("Receipt"), "COM1:");
  EXPECT_EQ(rig.spooler.PortOf("Label"), "COM10:");
  EXPECT_TRUE(rig.connection.releasedPrinters().empty());
}

TEST(PrinterConnection, FailedOpenKeepsTheRecordUntilRestored) {
  Rig rig;  // COM1 does not open
  rig.spooler.AddPrinter("Receipt", "COM1:");
  EXPECT_FALSE(rig.connection.Open());
  EXPECT_EQ(rig.spooler.PortOf("Receipt"), "FILE:");
  EXPECT_EQ(rig.connection.releasedPrinters().size(), 1u);
  rig.connection.RestoreReleasedPrinters();
  EXPECT_EQ(rig.spooler.PortOf("Receipt"), "COM1:");
}

TEST(PortRelease, AfterAFailureLaterPrintersAreRecordedButNotSwitched) {
  fakes::FakeSpooler spooler;
  spooler.AddPrinter("A", "COM1:");
  spooler.AddPrinter("B", "COM1:");
  spooler.AddPrinter("C", "COM1:");
  spooler.failOpen.insert("A");  // a printer that cannot be opened is skipped silently
  spooler.failGet.insert("B");   // a failed read stops the switching
  kora::ReleasedPrinters released;
  kora::PortRelease(spooler, "COM1", released);
  EXPECT_EQ(released.size(), 3u);
  EXPECT_EQ(spooler.PortOf("A"), "COM1:");
  EXPECT_EQ(spooler.PortOf("B"), "COM1:");
  EXPECT_EQ(spooler.PortOf("C"), "COM1:");
}

TEST(PortRelease, RestoreGivesEachPrinterBackEvenWhenOneFails) {
  fakes::FakeSpooler spooler;
  spooler.AddPrinter("A", "FILE:");
  spooler.AddPrinter("B", "FILE:");
  kora::ReleasedPrinters released = {{"A", "COM1:"}, {"B", "COM1:"}};
  spooler.failGet.insert("A");
  kora::RestoreReleasedPrinters(spooler, released);
  EXPECT_EQ(spooler.PortOf("B"), "COM1:");
  EXPECT_TRUE(released.empty());
}

TEST(PortRelease, NoReleaseForUsbOrEthernet) {
  Rig rig;
  rig.spooler.AddPrinter("Receipt", "USB001");
  rig.connection.settings().portText = "USB001\\\\?\\USB#VID_3C17&PID_0006#X#{A5DCBF10-6530-11D2-901F-00C04FB951ED}";
  rig.connection.settings().kind = PortKind::Usb;
  rig.connection.Open();
  EXPECT_EQ(rig.spooler.PortOf("Receipt"), "USB001");
  EXPECT_TRUE(rig.spooler.log.empty());
}

TEST(PrinterConnection, EthernetConnectFailureMessageAndRetry) {
  Rig rig;
  rig.connection.settings().kind = PortKind::Ethernet;
  rig.connection.settings().portText = "FILE:";
  rig.connection.settings().speedOrPort = 9100;
  EXPECT_FALSE(rig.connection.Open());
  ASSERT_EQ(rig.view.messages.size(), 1u);
  EXPECT_EQ(rig.view.messages[0].text,
            "Error : Failed to connected \r\nPlease, check IP port configuration in printer control pannel \"PORT\"");
  EXPECT_EQ(rig.view.messages[0].title, "Error");
  EXPECT_EQ(rig.view.messages[0].icon, platform::MessageIcon::Stop);
  EXPECT_EQ(rig.sockets.connects, (std::vector<std::string>{"FILE::9100"}));
  EXPECT_EQ(rig.sockets.openSockets, 0);

  rig.sockets.acceptHost = "FILE:";
  EXPECT_TRUE(rig.connection.Open());
  EXPECT_EQ(rig.sockets.lastReceiveTimeout, kora::kEthernetReceiveTimeoutMs);
  rig.connection.Close();
  EXPECT_EQ(rig.sockets.openSockets, 0);
}

TEST(PrinterConnection, SocketThatCannotBeCreated) {
  Rig rig;
  rig.connection.settings().kind = PortKind::Ethernet;
  rig.sockets.failCreate = true;
  EXPECT_FALSE(rig.connection.Open());
  ASSERT_EQ(rig.view.messages.size(), 1u);
  EXPECT_EQ(rig.view.messages[0].text, "Error : Failed to Create socket!");
  EXPECT_EQ(rig.view.messages[0].icon, platform::MessageIcon::Stop);
}

TEST(PrinterConnection, EthernetSendsInPiecesWithPauses) {
  struct Row {
    std::uint32_t count;
    int failOnSend;  // 0: never
    std::vector<int> pieces;
    std::vector<std::uint32_t> pauses;
    std::uint32_t result;
  } rows[] = {
      {10000, 0, {4096, 4096, 1808}, {500, 500}, 10000},
      {10000, 2, {4096}, {500}, 4096},  // the failed second piece is not counted
      {4096, 0, {4096}, {}, 4096},
      {8192, 0, {4096, 4096}, {500}, 8192},
      {62, 0, {62}, {}, 62},
  };
  for (const Row& row : rows) {
    Rig rig;
    rig.connection.settings().kind = PortKind::Ethernet;
    rig.connection.settings().portText = "127.0.0.1";
    rig.sockets.acceptHost = "127.0.0.1";
    ASSERT_TRUE(rig.connection.Open());
    rig.sockets.failOnSend = row.failOnSend;
    std::vector<std::uint8_t> data(row.count);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 7);
    EXPECT_EQ(rig.connection.SendCommand(data.data(), row.count), row.result) << row.count;
    std::vector<int> sizes;
    std::vector<std::uint8_t> joined;
    for (const auto& piece : rig.sockets.sends) {
      sizes.push_back(static_cast<int>(piece.size()));
      joined.insert(joined.end(), piece.begin(), piece.end());
    }
    EXPECT_EQ(sizes, row.pieces) << row.count;
    EXPECT_EQ(rig.clock.sleeps, row.pauses) << row.count;
    if (row.failOnSend == 0) {
      EXPECT_EQ(joined, data) << row.count;
    }
  }
}

}  // namespace
