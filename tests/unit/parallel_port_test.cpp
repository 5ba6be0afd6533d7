// ParallelPort: which port texts it takes, the readiness rule on both Windows families, the
// time-outs it programs and what a refused open leaves behind.
#include <gtest/gtest.h>

#include <optional>

#include "platform/os_codes.h"
#include "settings_utility/transports/parallel_port.h"
#include "tests/fakes/fake_device_files.h"
#include "tests/fakes/fake_system.h"
#include "tools/printer_simulator/simulated_endpoints.h"

namespace {

namespace sim = printer_simulator;

kora::PortConfiguration Config(const std::string& port, platform::CommTimeouts timeouts = {10, 10, 10, 0, 0}) {
  kora::PortConfiguration c;
  c.portText = port;
  c.timeouts = timeouts;
  return c;
}

// A parallel printer at the far end, on the port names LPT1 to LPT3.
struct Rig {
  sim::PrinterSimulator printer;
  sim::SimulatedDevice device{printer, sim::DeviceBehaviour::Parallel()};
  sim::SimulatedDeviceFiles devices;
  fakes::FakeSystemInfo system;
  fakes::FakePortIo ports;
  kora::ParallelPort port{devices, system, ports};

  Rig() {
    for (const char* name : {"LPT1", "LPT2", "LPT3"}) devices.Add(name, device);
  }
};

TEST(ParallelPort, TakesOnlyLptNamesAndAlwaysTheFiveMinuteWriteTimeout) {
  struct Row {
    const char* port;
    bool accepted;
  } rows[] = {{"LPT3", true}, {"LPT1", true}, {"COM1", false}, {"", false}, {"lpt1", false}, {"USB001", false}};
  for (const Row& row : rows) {
    Rig rig;
    EXPECT_EQ(rig.port.Configure(Config(row.port, {1, 2, 3, 4, 5})), row.accepted) << row.port;
    EXPECT_TRUE((rig.port.timeouts() == platform::CommTimeouts{1, 2, 3, 4, 300000})) << row.port;
  }
}

TEST(ParallelPort, OnNtOnlyTheExactReadyStatusOpens) {
  struct Row {
    std::optional<std::uint8_t> status;  // none: the status query fails
    bool opens;
    const char* what;
  } rows[] = {
      {0x80, true, "selected and ready"},
      {0x84, false, "paper out"},
      {0xC0, false, "busy"},
      {0x88, false, "off line"},
      {0x00, false, "not selected"},
      {std::nullopt, false, "query fails"},
  };
  for (const Row& row : rows) {
    Rig rig;
    rig.device.parallelStatus = row.status;
    ASSERT_TRUE(rig.port.Configure(Config("LPT1")));
    EXPECT_EQ(rig.port.Open(), row.opens) << row.what;
    EXPECT_EQ(rig.device.openHandles, row.opens ? 1 : 0) << row.what << ": a refused port is closed again";
    EXPECT_TRUE(rig.ports.reads.empty()) << row.what << ": the register is never touched on NT";
    const std::uint8_t byte = 0x00;
    EXPECT_EQ(rig.port.Write(&byte, 1), row.opens ? 1u : 0u) << row.what;
    if (!row.opens) continue;
    EXPECT_TRUE((*rig.device.lastTimeouts == platform::CommTimeouts{10, 10, 10, 0, 300000}));
    EXPECT_EQ(rig.device.purges, std::vector<std::uint32_t>{0x0F});
    EXPECT_EQ(rig.device.flushes, 1);
  }
}

TEST(ParallelPort, OnWindows9xTheStatusRegisterDecides) {
  struct Row {
    const char* port;
    std::uint16_t register_;
    std::uint8_t value;
    bool opens;
  } rows[] = {
      {"LPT1", 0x379, 0x7F, false}, {"LPT1", 0x379, 0xDF, true}, {"LPT2", 0x279, 0x7F, false},
      {"LPT2", 0x279, 0x5F, true},  {"LPT3", 0x3BD, 0x7F, false}, {"LPT3", 0x3BD, 0x80, true},
  };
  for (const Row& row : rows) {
    Rig rig;
    rig.system.versionWord = fakes::kVersionWindows98;
    rig.device.parallelStatus = std::nullopt;  // Windows 9x has no status request
    rig.ports.values[row.register_] = row.value;
    ASSERT_TRUE(rig.port.Configure(Config(row.port)));
    EXPECT_EQ(rig.port.Open(), row.opens) << row.port << " " << int(row.value);
    EXPECT_EQ(rig.ports.reads, std::vector<std::uint16_t>{row.register_}) << row.port;
    EXPECT_EQ(rig.device.openHandles, row.opens ? 1 : 0);
    if (row.opens) {
      EXPECT_TRUE((*rig.device.lastTimeouts == platform::CommTimeouts{100, 100, 100, 0, 300000})) << row.port;
    }
  }
}

TEST(ParallelPort, OpensExclusivelyAndClosesWithCancel) {
  fakes::FakeDeviceFiles devices;
  fakes::FakeSystemInfo system;
  fakes::FakePortIo ports;
  auto lpt = devices.AddDevice("LPT2");
  lpt->parallelStatus = {0x80};
  lpt->input = {'c'};
  kora::ParallelPort port(devices, system, ports);
  ASSERT_TRUE(port.Configure(Config("LPT2")));
  ASSERT_TRUE(port.Open());
  ASSERT_TRUE(port.Open()) << "a second open keeps the port";
  ASSERT_EQ(devices.opens.size(), 1u);
  EXPECT_EQ(devices.opens[0].access, platform::kGenericRead | platform::kGenericWrite);
  EXPECT_EQ(devices.opens[0].shareMode, 0u);
  EXPECT_EQ(devices.opens[0].creation, platform::kOpenExisting);
  EXPECT_EQ(devices.opens[0].flags, platform::kFileAttributeNormal);

  const std::uint8_t command[] = {0x1D, 0x49, 0x43};
  lpt->writeLimit = 2;  // the printer stops taking bytes: the count says so
  EXPECT_EQ(port.Write(command, 3), 2u);
  EXPECT_EQ(port.Write(command, 0), 0u);
  std::uint8_t reply[4] = {};
  EXPECT_EQ(port.Read(reply, 4), 1u);
  EXPECT_EQ(reply[0], 'c');

  port.Close();
  const std::vector<std::string> expected = {"CreateFile", "DeviceIoControl", "SetCommTimeouts", "PurgeComm",
                                             "FlushFileBuffers", "WriteFile", "ReadFile", "CancelIo", "CloseHandle"};
  EXPECT_EQ(lpt->calls, expected);
  EXPECT_EQ(port.Write(command, 3), 0u);
  EXPECT_EQ(port.Read(reply, 4), 0u);
}

}  // namespace
