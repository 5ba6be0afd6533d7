#include "settings_utility/transports/connection_settings.h"

#include <cstdint>

#include "settings_utility/transports/registry_values.h"

namespace kora {

const char kUtilitySettingsKey[] = "Software\\KELVO\\HRX-410\\KORA";
const char kPrinterSettingsKeyPrefix[] = "Software\\KELVO\\HRX-410\\";

namespace {

constexpr auto kUser = platform::RegistryRoot::CurrentUser;

}  // namespace

bool ReadConnectionSettings(platform::Registry& registry, const std::string& keyPath,
                            ConnectionSettings& settings) {
  if (!RegistryKeyHasValues(registry, kUser, keyPath)) return false;

  bool result = ReadRegistryString(registry, kUser, keyPath, "Port", settings.portText);
  settings.kind = PortKindFromText(settings.portText);

  if (settings.kind == PortKind::Usb) {
    std::string devicePath;
    const bool gotPath = ReadRegistryString(registry, kUser, keyPath, "UsbdeviceName", devicePath);
    settings.portText += devicePath;
    result = result && gotPath;
  } else if (settings.kind == PortKind::Ethernet && settings.portText != "FILE:") {
    std::string host;
    const bool gotHost = ReadRegistryString(registry, kUser, keyPath, "TcpIp", host);
    settings.portText = host;
    const bool gotPort = ReadRegistryInt(registry, kUser, keyPath, "TcpPort", settings.speedOrPort);
    result = result && gotHost && gotPort;
  }

  // Read whatever else is there; these do not decide the result.
  ReadRegistryInt(registry, kUser, keyPath, settings.kind == PortKind::Ethernet ? "TcpPort" : "BaudRate",
          settings.speedOrPort);
  ReadRegistryInt(registry, kUser, keyPath, "DataBits", settings.dataBits);
  ReadRegistryInt(registry, kUser, keyPath, "FlowControl", settings.flowControl);
  ReadRegistryInt(registry, kUser, keyPath, "Parity", settings.parity);
  ReadRegistryInt(registry, kUser, keyPath, "StopBits", settings.stopBits);
  return result;
}

void SaveConnectionSettings(platform::Registry& registry, const ConnectionSettings& settings) {
  const std::string key = kUtilitySettingsKey;
  auto writeInt = [&](const char* name, int value) {
    WriteRegistryDword(registry, kUser, key, name, static_cast<std::uint32_t>(value));
  };
  switch (settings.kind) {
    case PortKind::Serial:
      WriteRegistryString(registry, kUser, key, "Port", settings.portText);
      writeInt("BaudRate", settings.speedOrPort);
      writeInt("DataBits", settings.dataBits);
      writeInt("FlowControl", settings.flowControl);
      writeInt("Parity", settings.parity);
      writeInt("StopBits", settings.stopBits);
      break;
    case PortKind::Parallel:
      WriteRegistryString(registry, kUser, key, "Port", settings.portText);
      break;
    case PortKind::Usb:
      // The port text is the six-character listing name followed by the device path.
      WriteRegistryString(registry, kUser, key, "Port", settings.portText.substr(0, 6));
      WriteRegistryString(registry, kUser, key, "UsbdeviceName",
                          settings.portText.size() > 6 ? settings.portText.substr(6) : std::string());
      break;
    case PortKind::Ethernet:
      WriteRegistryString(registry, kUser, key, "Port", "NET");
      WriteRegistryString(registry, kUser, key, "TcpIp", settings.portText);
      writeInt("TcpPort", settings.speedOrPort);
      break;
  }
}

}  // namespace kora
