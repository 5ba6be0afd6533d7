// The transports of the real program, built over the device file seam and the OS services
// the parallel and USB transports need besides.
#pragma once
#include "platform/clock.h"
#include "platform/device_file.h"
#include "platform/device_notifications.h"
#include "platform/port_io.h"
#include "platform/system_info.h"
#include "settings_utility/transports/transport.h"

namespace kora {

class DeviceTransportFactory : public TransportFactory {
 public:
  DeviceTransportFactory(platform::DeviceFiles& devices, platform::Clock& clock,
                         platform::DeviceNotifications& notifications, platform::SystemInfo& system,
                         platform::PortIo& ports);
  std::unique_ptr<Transport> CreateSerialPort() override;
  std::unique_ptr<Transport> CreateParallelPort() override;
  std::unique_ptr<Transport> CreateUsbPrinterDevice() override;

 private:
  platform::DeviceFiles& devices_;
  platform::Clock& clock_;
  platform::DeviceNotifications& notifications_;
  platform::SystemInfo& system_;
  platform::PortIo& ports_;
};

}  // namespace kora
