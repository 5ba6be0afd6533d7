// What the main window asks of the port settings dialog and of the installed-printer port
// import, so that the window logic does not depend on how either is built.
#pragma once
#include <cstdint>
#include <string>

#include "settings_utility/transports/port_kind.h"

namespace kora {

// The members of the port settings dialog that its opener takes over after OK.
struct PortChoice {
  PortKind kind = PortKind::Serial;
  std::string portText;        // "COM1", "\\.\COM12", "LPT1", "USB001", empty for Ethernet
  std::string usbDevicePath;   // Usb only
  std::string ipText;          // Ethernet only, "%d.%d.%d.%d"
  int baudRate = 19200;
  int dataBits = 8;
  int parity = 0;
  int stopBits = 0;
  int flowControl = 0;
  std::uint32_t tcpPort = 0;
};

class PortSettingsPrompt {
 public:
  virtual ~PortSettingsPrompt() = default;
  // Shows the dialog modally for `printerName` (empty in the utility's own use). True and
  // `choice` filled when it ended with OK; false when cancelled.
  virtual bool Run(const std::string& printerName, PortChoice& choice) = 0;
};

class InstalledPortImporter {
 public:
  virtual ~InstalledPortImporter() = default;
  // Writes the connection settings of the installed Windows printer `printerName` under
  // "Software\KELVO\HRX-410\<printerName>"; silent on every failure.
  virtual void Import(const std::string& printerName) = 0;
};

}  // namespace kora
