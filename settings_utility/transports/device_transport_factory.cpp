#include "settings_utility/transports/device_transport_factory.h"

#include "settings_utility/transports/serial_port.h"

namespace kora {

DeviceTransportFactory::DeviceTransportFactory(platform::DeviceFiles& devices, platform::Clock& clock)
    : devices_(devices), clock_(clock) {}

std::unique_ptr<Transport> DeviceTransportFactory::CreateSerialPort() {
  return std::make_unique<SerialPort>(devices_, clock_);
}

// The parallel and USB transports are added by the changes that bring them; until then a
// parallel or USB port text is refused with the configuration message.
std::unique_ptr<Transport> DeviceTransportFactory::CreateParallelPort() { return nullptr; }
std::unique_ptr<Transport> DeviceTransportFactory::CreateUsbPrinterDevice() { return nullptr; }

}  // namespace kora
