// The transports of the real program, built over the device file seam.
#pragma once
#include "platform/clock.h"
#include "platform/device_file.h"
#include "settings_utility/transports/transport.h"

namespace kora {

class DeviceTransportFactory : public TransportFactory {
 public:
  DeviceTransportFactory(platform::DeviceFiles& devices, platform::Clock& clock);
  std::unique_ptr<Transport> CreateSerialPort() override;
  std::unique_ptr<Transport> CreateParallelPort() override;
  std::unique_ptr<Transport> CreateUsbPrinterDevice() override;

 private:
  platform::DeviceFiles& devices_;
  platform::Clock& clock_;
};

}  // namespace kora
