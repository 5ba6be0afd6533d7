#include "settings_utility/transports/device_transport_factory.h"

#include "settings_utility/transports/parallel_port.h"
#include "settings_utility/transports/serial_port.h"
#include "settings_utility/transports/usb_printer_device.h"

namespace kora {

DeviceTransportFactory::DeviceTransportFactory(platform::DeviceFiles& devices, platform::Clock& clock,
                                               platform::DeviceNotifications& notifications,
                                               platform::SystemInfo& system, platform::PortIo& ports)
    : devices_(devices), clock_(clock), notifications_(notifications), system_(system), ports_(ports) {}

std::unique_ptr<Transport> DeviceTransportFactory::CreateSerialPort() {
  return std::make_unique<SerialPort>(devices_, clock_);
}

std::unique_ptr<Transport> DeviceTransportFactory::CreateParallelPort() {
  return std::make_unique<ParallelPort>(devices_, system_, ports_);
}

std::unique_ptr<Transport> DeviceTransportFactory::CreateUsbPrinterDevice() {
  return std::make_unique<UsbPrinterDevice>(devices_, notifications_, system_);
}

}  // namespace kora
