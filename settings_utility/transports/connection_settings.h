// How the utility reaches the printer, as kept under a registry key of the current user.
#pragma once
#include <string>

#include "platform/registry.h"
#include "settings_utility/transports/port_kind.h"

namespace kora {

extern const char kUtilitySettingsKey[];        // "Software\KELVO\HRX-410\KORA"
extern const char kPrinterSettingsKeyPrefix[];  // "Software\KELVO\HRX-410\" + printer name

struct ConnectionSettings {
  // "Port"; for Usb the listing name immediately followed by the device path, for Ethernet
  // the host.
  std::string portText = "COM1";
  int flowControl = 0;     // 0 hardware (DTR/DSR), 1 Xon/Xoff
  int speedOrPort = 19200; // "BaudRate" for Serial, "TcpPort" for Ethernet
  int dataBits = 8;
  int parity = 0;          // 0 none, 1 odd, 2 even
  int stopBits = 0;        // 0 one, 1 one and a half, 2 two
  PortKind kind = PortKind::Serial;
};

// True when "Port" and the values its kind needs were read. A key that cannot be opened or
// holds no value gives false and changes nothing; otherwise every value that could be read
// is taken over, whatever the result.
bool ReadConnectionSettings(platform::Registry& registry, const std::string& keyPath,
                            ConnectionSettings& settings);

// Writes the settings under kUtilitySettingsKey, the values by kind.
void SaveConnectionSettings(platform::Registry& registry, const ConnectionSettings& settings);

}  // namespace kora
