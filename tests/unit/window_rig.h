// A main window wired to fakes and to the printer simulator's in-process endpoints, driven
// the way a user drives the dialog.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "settings_utility/main_window/main_window.h"
#include "settings_utility/resources/resource_ids.h"
#include "settings_utility/transports/device_transport_factory.h"
#include "tests/fakes/fake_clock.h"
#include "tests/fakes/fake_device_notifications.h"
#include "tests/fakes/fake_files.h"
#include "tests/fakes/fake_main_window_view.h"
#include "tests/fakes/fake_misc.h"
#include "tests/fakes/fake_registry.h"
#include "tests/fakes/fake_spooler.h"
#include "tests/fakes/fake_system.h"
#include "tools/printer_simulator/simulated_endpoints.h"

namespace testing_rig {

namespace sim = printer_simulator;

constexpr char kHost[] = "127.0.0.1";
constexpr std::uint32_t kTcpPort = 9100;
const std::string kUsbPath = "\\\\?\\USB#VID_3C17&PID_0006#5&1A2B3C&0&1#{A5DCBF10-6530-11D2-901F-00C04FB951ED}";

struct WindowRig {
  fakes::FakeRegistry registry;
  fakes::FakeSpooler spooler;
  fakes::FakeClock clock;      // the utility's own waits
  fakes::FakeClock portClock;  // time the simulated ports spend waiting for a reply
  fakes::FakeResources resources;
  sim::PrinterSimulator printer;
  sim::SimulatedDevice serial{printer, sim::DeviceBehaviour::Serial(), &portClock};
  sim::SimulatedDevice parallel{printer, sim::DeviceBehaviour::Parallel(), &portClock};
  sim::SimulatedDevice usb{printer, sim::DeviceBehaviour::Usb(), &portClock};
  sim::SimulatedDeviceFiles devices;
  sim::SimulatedSocketLayer sockets{printer, kHost, kTcpPort, &portClock};
  fakes::FakeMainWindowView view;
  fakes::FakePortSettingsPrompt prompt;
  fakes::FakeInstalledPortImporter importer;
  fakes::FakeFiles files;
  kora::UtilityServices services{registry, spooler, devices, sockets, clock, resources, files};
  fakes::FakeDeviceNotifications notifications;
  fakes::FakeSystemInfo system;
  fakes::FakePortIo ports;
  kora::DeviceTransportFactory factory{devices, clock, notifications, system, ports};
  std::unique_ptr<kora::MainWindow> window;

  WindowRig() {
    devices.Add("COM1", serial);
    devices.Add("LPT1", parallel);
    devices.Add(kUsbPath, usb);
    sockets.Startup();
  }

  void Start(const std::string& printerName = "") {
    window = std::make_unique<kora::MainWindow>(view, services, factory, prompt, importer, printerName);
    window->OnInitDialog();
  }

  // A user can click only an enabled button.
  bool Click(int id) {
    if (!view.IsEnabled(id)) return false;
    window->OnCommand(id, platform::kBnClicked);
    return true;
  }
  bool Select(int id, int index) {
    if (!view.IsEnabled(id)) return false;
    view.UserSelects(id, index);
    window->OnCommand(id, platform::kCbnSelChange);
    return true;
  }

  void ChooseSerial() {
    prompt.choice = kora::PortChoice();
    prompt.choice.kind = kora::PortKind::Serial;
    prompt.choice.portText = "COM1";
    prompt.choice.baudRate = 19200;
  }
  void ChooseEthernet() {
    prompt.choice = kora::PortChoice();
    prompt.choice.kind = kora::PortKind::Ethernet;
    prompt.choice.ipText = kHost;
    prompt.choice.tcpPort = kTcpPort;
  }
  void ChooseParallel() {
    prompt.choice = kora::PortChoice();
    prompt.choice.kind = kora::PortKind::Parallel;
    prompt.choice.portText = "LPT1";
  }
  void ChooseUsb() {
    prompt.choice = kora::PortChoice();
    prompt.choice.kind = kora::PortKind::Usb;
    prompt.choice.portText = "USB001";
    prompt.choice.usbDevicePath = kUsbPath;
  }

  // Starts the window and connects through the port dialog; true when connected.
  bool StartConnected(kora::PortKind kind) {
    if (kind == kora::PortKind::Serial) ChooseSerial();
    if (kind == kora::PortKind::Parallel) ChooseParallel();
    if (kind == kora::PortKind::Ethernet) ChooseEthernet();
    if (kind == kora::PortKind::Usb) ChooseUsb();
    Start();
    Click(IDC_CONNECT);
    return window->state().printerConnected;
  }

  std::string LastMessage() const { return view.LastMessage(); }

  // Every byte the printer got over the port of `kind`, in order.
  std::vector<std::uint8_t> Written(kora::PortKind kind) const {
    switch (kind) {
      case kora::PortKind::Serial: return serial.AllWritten();
      case kora::PortKind::Parallel: return parallel.AllWritten();
      case kora::PortKind::Usb: return usb.AllWritten();
      case kora::PortKind::Ethernet: break;
    }
    return sockets.AllSent();
  }
};

}  // namespace testing_rig
