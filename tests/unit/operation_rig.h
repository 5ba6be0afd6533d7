// The printer operations below the window: a connection over recording fakes, with the
// window members, the controls and the context the operations work on.
#pragma once
#include <memory>

#include "settings_utility/printer_protocol/operation_context.h"
#include "settings_utility/transports/device_transport_factory.h"
#include "tests/fakes/fake_clock.h"
#include "tests/fakes/fake_device_files.h"
#include "tests/fakes/fake_device_notifications.h"
#include "tests/fakes/fake_files.h"
#include "tests/fakes/fake_main_window_view.h"
#include "tests/fakes/fake_misc.h"
#include "tests/fakes/fake_registry.h"
#include "tests/fakes/fake_sockets.h"
#include "tests/fakes/fake_spooler.h"
#include "tests/fakes/fake_system.h"

namespace testing_rig {

struct OperationRig {
  fakes::FakeDeviceFiles devices;
  std::shared_ptr<fakes::FakeDeviceState> port = devices.AddDevice("COM1");  // the default settings' port
  fakes::FakeClock clock;
  fakes::FakeMainWindowView view;
  fakes::FakeRegistry registry;
  fakes::FakeSpooler spooler;
  fakes::FakeSocketLayer sockets;
  fakes::FakeResources resources;
  fakes::FakeFiles files;
  kora::UtilityServices services{registry, spooler, devices, sockets, clock, resources, files};
  fakes::FakeDeviceNotifications notifications;
  fakes::FakeSystemInfo system;
  fakes::FakePortIo ports;
  kora::DeviceTransportFactory factory{devices, clock, notifications, system, ports};
  kora::PrinterConnection connection{services, factory, view};
  kora::WindowState state;
  kora::SettingsControls controls{view, state};
  kora::OperationContext context{view, state, connection, controls, clock};
};

}  // namespace testing_rig
