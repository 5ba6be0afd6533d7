// SerialPort: the exact line settings, the DSR presence check, the fixed time-outs, and that
// a refused open leaves nothing behind.
#include <gtest/gtest.h>

#include "platform/os_codes.h"
#include "settings_utility/transports/serial_port.h"
#include "tests/fakes/fake_clock.h"
#include "tests/fakes/fake_device_files.h"

namespace {

using fakes::FakeDeviceState;

kora::PortConfiguration Config(const std::string& port, int parity, int flowControl) {
  kora::PortConfiguration c;
  c.portText = port;
  c.baudRate = 38400;
  c.dataBits = 7;
  c.stopBits = 2;
  c.parity = parity;
  c.flowControl = flowControl;
  c.timeouts = {10, 10, 10, 0, 0};
  return c;
}

// A port state whose fields differ from everything the open sets, to see what it leaves.
platform::Dcb PortDefaults() {
  platform::Dcb dcb;
  dcb.baudRate = 1200;
  dcb.fBinary = true;
  dcb.fParity = true;
  dcb.fOutxCtsFlow = true;
  dcb.fOutxDsrFlow = false;
  dcb.fDtrControl = 1;
  dcb.fDsrSensitivity = true;
  dcb.fTXContinueOnXoff = true;
  dcb.fOutX = true;
  dcb.fInX = true;
  dcb.fErrorChar = true;
  dcb.fNull = true;
  dcb.fRtsControl = 1;
  dcb.fAbortOnError = true;
  dcb.xonLim = 2048;
  dcb.xoffLim = 512;
  dcb.byteSize = 8;
  dcb.parity = 1;
  dcb.stopBits = 0;
  dcb.xonChar = 0x11;
  dcb.xoffChar = 0x13;
  dcb.errorChar = '?';
  dcb.eofChar = 0x1A;
  dcb.evtChar = '\n';
  return dcb;
}

TEST(SerialPort, ProgramsTheLineAndLeavesTheRestOfTheDcb) {
  struct Row {
    int parity;
    int flowControl;
    bool fParity;
    bool xonXoff;
  } rows[] = {{0, 0, false, false}, {2, 0, true, false}, {0, 1, false, true}, {1, 1, true, true}};
  for (const Row& row : rows) {
    fakes::FakeDeviceFiles devices;
    fakes::FakeClock clock;
    auto port = devices.AddDevice("COM2");
    port->initialDcb = PortDefaults();
    kora::SerialPort serial(devices, clock);
    ASSERT_TRUE(serial.Configure(Config("COM2", row.parity, row.flowControl)));
    ASSERT_TRUE(serial.Open()) << "parity " << row.parity << " flow " << row.flowControl;

    platform::Dcb expected = PortDefaults();
    expected.baudRate = 38400;
    expected.byteSize = 7;
    expected.parity = static_cast<std::uint8_t>(row.parity);
    expected.stopBits = 2;
    expected.fParity = row.fParity;
    expected.fOutxCtsFlow = false;
    expected.fOutxDsrFlow = true;
    expected.fDtrControl = platform::kDtrControlHandshake;
    expected.fDsrSensitivity = false;
    expected.fTXContinueOnXoff = false;
    expected.fOutX = row.xonXoff;
    expected.fInX = row.xonXoff;
    expected.fNull = false;
    expected.fRtsControl = platform::kRtsControlDisable;
    EXPECT_TRUE(port->lastDcb == expected) << "parity " << row.parity << " flow " << row.flowControl;
    EXPECT_TRUE((port->lastTimeouts == platform::CommTimeouts{10, 10, 100, 5, 3000}));
    EXPECT_EQ(port->lastPurge, 0x0Fu);
  }
}

TEST(SerialPort, OpensExclusivelyAndSettlesBeforeUse) {
  fakes::FakeDeviceFiles devices;
  fakes::FakeClock clock;
  auto port = devices.AddDevice("\\\\.\\COM12");
  kora::SerialPort serial(devices, clock);
  ASSERT_TRUE(serial.Configure(Config("\\\\.\\COM12", 0, 0)));
  ASSERT_TRUE(serial.Open());
  ASSERT_EQ(devices.opens.size(), 1u);
  EXPECT_EQ(devices.opens[0].access, platform::kGenericRead | platform::kGenericWrite);
  EXPECT_EQ(devices.opens[0].shareMode, 0u);
  EXPECT_EQ(devices.opens[0].creation, platform::kOpenExisting);
  EXPECT_EQ(devices.opens[0].flags, platform::kFileAttributeNormal);
  EXPECT_EQ(clock.sleeps, std::vector<std::uint32_t>{100});
  const std::vector<std::string> expected = {"CreateFile", "GetCommState", "SetCommState", "GetCommModemStatus",
                                             "SetCommTimeouts", "PurgeComm"};
  EXPECT_EQ(port->calls, expected);
  // A second open on an open port does nothing more.
  EXPECT_TRUE(serial.Open());
  EXPECT_EQ(devices.opens.size(), 1u);
}

TEST(SerialPort, RefusedOpensLeaveThePortClosedForTheNextAttempt) {
  struct Row {
    const char* what;
    void (*breakIt)(FakeDeviceState&);
  } rows[] = {
      {"DSR off", [](FakeDeviceState& s) { s.modemStatus = 0x10; }},
      {"no modem status", [](FakeDeviceState& s) { s.failModemStatus = true; }},
      {"GetCommState fails", [](FakeDeviceState& s) { s.failGetCommState = true; }},
      {"SetCommState fails", [](FakeDeviceState& s) { s.failSetCommState = true; }},
      {"SetCommTimeouts fails", [](FakeDeviceState& s) { s.failSetTimeouts = true; }},
  };
  for (const Row& row : rows) {
    fakes::FakeDeviceFiles devices;
    fakes::FakeClock clock;
    auto port = devices.AddDevice("COM1");
    row.breakIt(*port);
    kora::SerialPort serial(devices, clock);
    ASSERT_TRUE(serial.Configure(Config("COM1", 0, 0)));
    EXPECT_FALSE(serial.Open()) << row.what;
    EXPECT_EQ(port->closeCount, 1u) << row.what;
    const std::uint8_t byte = 0x1B;
    EXPECT_EQ(serial.Write(&byte, 1), 0u) << row.what;

    *port = FakeDeviceState();  // the printer is switched on
    EXPECT_TRUE(serial.Open()) << row.what << ": a later open must be tried afresh";
  }
}

TEST(SerialPort, MissingPortFailsAfterTheSettleWait) {
  fakes::FakeDeviceFiles devices;
  fakes::FakeClock clock;
  kora::SerialPort serial(devices, clock);
  ASSERT_TRUE(serial.Configure(Config("COM7", 0, 0)));
  EXPECT_FALSE(serial.Open());
  EXPECT_EQ(clock.sleeps, std::vector<std::uint32_t>{100});
}

TEST(SerialPort, EmptyNameIsRefusedAtConfigure) {
  fakes::FakeDeviceFiles devices;
  fakes::FakeClock clock;
  kora::SerialPort serial(devices, clock);
  EXPECT_FALSE(serial.Configure(Config("", 0, 0)));
  EXPECT_FALSE(serial.Open());
  ASSERT_EQ(devices.opens.size(), 1u);
  EXPECT_EQ(devices.opens[0].path, "");
}

TEST(SerialPort, ReadsAndWritesOnlyWhileOpen) {
  fakes::FakeDeviceFiles devices;
  fakes::FakeClock clock;
  auto port = devices.AddDevice("COM1");
  port->input = {'7', 'x'};
  kora::SerialPort serial(devices, clock);
  serial.Configure(Config("COM1", 0, 0));
  const std::uint8_t command[] = {0x1B, 0x40};
  std::uint8_t buffer[4] = {};
  EXPECT_EQ(serial.Write(command, 2), 0u);
  EXPECT_EQ(serial.Read(buffer, 4), 0u);
  ASSERT_TRUE(serial.Open());
  EXPECT_EQ(serial.Write(command, 2), 2u);
  EXPECT_EQ(serial.Write(command, 0), 0u);
  EXPECT_EQ(serial.Write(nullptr, 2), 0u);
  EXPECT_EQ(serial.Read(buffer, 4), 2u);
  EXPECT_EQ(buffer[0], '7');
  port->failWrites = true;
  EXPECT_EQ(serial.Write(command, 2), 0u);
  serial.Close();
  EXPECT_EQ(port->closeCount, 1u);
  EXPECT_EQ(serial.Write(command, 2), 0u);
}

}  // namespace
