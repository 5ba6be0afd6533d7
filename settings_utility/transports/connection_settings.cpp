#include "settings_utility/transports/connection_settings.h"

#include <cstdint>
#include <memory>

#include "platform/os_codes.h"
#include "settings_utility/transports/registry_values.h"

namespace kora {

const char kUtilitySettingsKey[] = "Software\\KELVO\\HRX-410\\KORA";
const char kPrinterSettingsKeyPrefix[] = "Software\\KELVO\\HRX-410\\";

namespace {

constexpr auto kUser = platform::RegistryRoot::CurrentUser;

bool KeyHasValues(platform::Registry& registry, const std::string& keyPath) {
  std::unique_ptr<platform::RegistryKey> key;
  if (registry.OpenKey(kUser, keyPath, platform::kKeyRead, key) != platform::kErrorSuccess || !key)
    return false;
  platform::RegistryKeyInfo info;
  return key->QueryInfo(info) == platform::kErrorSuccess && info.valueCount > 0;
}

bool ReadInt(platform::Registry& registry, const std::string& keyPath, const char* name, int& target) {
  std::uint32_t value = 0;
  if (!ReadRegistryDword(registry, kUser, keyPath, name, value)) return false;
  target = static_cast<int>(value);
  return true;
}

}  // namespace

bool ReadConnectionSettings(platform::Registry& registry, const std::string& keyPath,
                            ConnectionSettings& settings) {
  if (!KeyHasValues(registry, keyPath)) return false;

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
    const bool gotPort = ReadInt(registry, keyPath, "TcpPort", settings.speedOrPort);
    result = result && gotHost && gotPort;
  }

  // Read whatever else is there; these do not decide the result.
  ReadInt(registry, keyPath, settings.kind == PortKind::Ethernet ? "TcpPort" : "BaudRate",
          settings.speedOrPort);
  ReadInt(registry, keyPath, "DataBits", settings.dataBits);
  ReadInt(registry, keyPath, "FlowControl", settings.flowControl);
  ReadInt(registry, keyPath, "Parity", settings.parity);
  ReadInt(registry, keyPath, "StopBits", settings.stopBits);
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
