// Port discovery: when the utility works for an installed Windows printer, the printer's
// port is looked up in the spooler, its kind and parameters are worked out from the system's
// own records (serial port settings, the USB printing enumeration, the standard TCP/IP port
// monitor), and the result is written as that printer's connection settings.
#pragma once
#include <cstdint>
#include <string>

#include "platform/registry.h"
#include "platform/spooler.h"
#include "settings_utility/main_window/main_window_seams.h"
#include "settings_utility/transports/port_kind.h"
#include "settings_utility/transports/usb_device_list.h"

namespace kora {

// What is learnt about the printer's port, with the values used where the system says
// nothing.
struct InstalledPrinterPort {
  std::string printerName;
  std::string portName;  // "COM1:", "LPT1:", "USB001", a TCP/IP port name, "FILE:"
  PortKind kind = PortKind::Ethernet;
  std::uint32_t attributes = 0;
  int baudRate = 115200;
  int dataBits = 0;
  int stopBits = 0;
  int parity = 0;
  int flowControl = 0;
  std::string tcpHost;
  std::uint32_t tcpPort = 0;  // 0 (with an empty host) when the port monitor has no number
  std::string usbDevicePath;
};

// Takes a serial port's entry of the system's port list, "speed,parity,data,stop,flow" (e.g.
// "9600,n,8,1,x"), into the serial fields. Runs of commas count as one separator; values
// that mean nothing here leave a field as it was.
void ApplySerialPortEntry(const std::string& entry, InstalledPrinterPort& port);

// Writes the connection settings of the installed printer `printerName` under
// HKCU "SOFTWARE\KELVO\HRX-410\<printer name>". Silent on every failure: a printer that
// cannot be read, or a missing "SOFTWARE\KELVO\HRX-410", writes nothing.
//
// Names are never cut to fit: keys are built at whatever length the names have, and a name
// the registry cannot hold makes its own call fail, which counts as any other failure.
// Subkey names longer than 255 characters are passed over while looking through a key.
//
// Where several USB printing instances carry the printer's port name, or several device
// instances the same parent prefix, the first one (in the registry's order) whose device is
// present now supplies the path; each presence test opens every USB device, so the search
// stops there.
void ImportInstalledPrinterPort(platform::Spooler& spooler, platform::Registry& registry,
                                UsbDeviceList& usbDevices, const std::string& printerName);

class InstalledPrinterPortImporter : public InstalledPortImporter {
 public:
  InstalledPrinterPortImporter(platform::Spooler& spooler, platform::Registry& registry,
                               UsbDeviceList& usbDevices)
      : spooler_(spooler), registry_(registry), usbDevices_(usbDevices) {}
  void Import(const std::string& printerName) override {
    ImportInstalledPrinterPort(spooler_, registry_, usbDevices_, printerName);
  }

 private:
  platform::Spooler& spooler_;
  platform::Registry& registry_;
  UsbDeviceList& usbDevices_;
};

}  // namespace kora
