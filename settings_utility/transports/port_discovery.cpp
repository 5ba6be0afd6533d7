#include "settings_utility/transports/port_discovery.h"

#include <memory>
#include <vector>

#include "platform/os_codes.h"
#include "settings_utility/transports/registry_values.h"

namespace kora {

namespace {

using platform::RegistryKey;
using platform::RegistryRoot;

const char kSerialPortsKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports";
const char kUsbPrintInstancesKey[] = "SYSTEM\\CurrentControlSet\\Enum\\USBPRINT\\KELVO_HRX-410";
const char kUsbDeviceInstancesKey[] = "SYSTEM\\CurrentControlSet\\Enum\\USB\\Vid_3C17&Pid_0006";
const char kTcpIpPortsKey[] = "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports";
const char kSettingsBaseKey[] = "SOFTWARE\\KELVO\\HRX-410";
const char kUsbPathHead[] = "\\\\?\\USB#VID_3C17&PID_0006#";
const char kUsbPathTail[] = "#{A5DCBF10-6530-11D2-901F-00C04FB951ED}";

// Subkey names are read up to this many characters; texts up to this many bytes.
constexpr std::size_t kSubkeyNameChars = 255;
constexpr std::size_t kTextValueBytes = 255;

// A USB printing instance is named "<parent prefix>&<port name>", the port name being
// "USBnnn".
constexpr std::size_t kUsbPortNameLength = 6;

constexpr auto kMachine = RegistryRoot::LocalMachine;
constexpr auto kUser = RegistryRoot::CurrentUser;

std::unique_ptr<RegistryKey> OpenForReading(platform::Registry& registry, const std::string& path) {
  std::unique_ptr<RegistryKey> key;
  if (registry.OpenKey(kMachine, path, platform::kKeyRead, key) != platform::kErrorSuccess) key.reset();
  return key;
}

// Calls visit(name) for each subkey until it returns false. A name longer than the buffer is
// passed over; any other failure ends the walk.
template <typename Visit>
void ForEachSubkey(RegistryKey& key, Visit visit) {
  for (std::uint32_t index = 0;; ++index) {
    std::string name;
    const long status = key.EnumSubkey(index, kSubkeyNameChars, name);
    if (status == platform::kErrorMoreData) continue;
    if (status != platform::kErrorSuccess) return;
    if (!visit(name)) return;
  }
}

// A REG_SZ value of up to kTextValueBytes; false for any other type or a longer value.
bool ReadText(RegistryKey& key, const std::string& name, std::string& text) {
  platform::RegistryValue raw;
  if (key.QueryValue(name, kTextValueBytes, raw) != platform::kErrorSuccess) return false;
  if (raw.type != platform::kRegSz) return false;
  return StringFromValue(raw, text);
}

std::vector<std::string> SplitAtCommas(const std::string& text) {
  std::vector<std::string> fields;
  std::string field;
  for (char c : text) {
    if (c != ',') {
      field += c;
    } else if (!field.empty()) {
      fields.push_back(field);
      field.clear();
    }
  }
  if (!field.empty()) fields.push_back(field);
  return fields;
}

void ReadSerialSettings(platform::Registry& registry, InstalledPrinterPort& port) {
  std::string entry;
  if (ReadRegistryString(registry, kMachine, kSerialPortsKey, port.portName, entry))
    ApplySerialPortEntry(entry, port);
}

// The present device path of the printer's USB device whose parent prefix is `prefix`.
std::string DevicePathOfParentPrefix(platform::Registry& registry, UsbDeviceList& usbDevices,
                                     const std::string& prefix) {
  std::unique_ptr<RegistryKey> instances = OpenForReading(registry, kUsbDeviceInstancesKey);
  if (!instances) return std::string();
  std::string found;
  ForEachSubkey(*instances, [&](const std::string& instance) {
    std::unique_ptr<RegistryKey> device =
        OpenForReading(registry, std::string(kUsbDeviceInstancesKey) + "\\" + instance);
    std::string parentPrefix;
    if (!device || !ReadText(*device, "ParentIdPrefix", parentPrefix) || parentPrefix != prefix) return true;
    const std::string path = UpperCaseAscii(kUsbPathHead + instance + kUsbPathTail);
    if (usbDevices.PathIsPresent(path)) found = path;
    return found.empty();
  });
  return found;
}

void FindUsbDevicePath(platform::Registry& registry, UsbDeviceList& usbDevices, InstalledPrinterPort& port) {
  // A printer that works off line has no device to talk to: its path stays empty, and the
  // connection then says the port cannot be configured.
  if ((port.attributes & platform::kPrinterAttributeWorkOffline) != 0) return;
  std::unique_ptr<RegistryKey> printing = OpenForReading(registry, kUsbPrintInstancesKey);
  if (!printing) return;
  ForEachSubkey(*printing, [&](const std::string& name) {
    if (name.size() <= kUsbPortNameLength) return true;
    const std::string portName = name.substr(name.size() - kUsbPortNameLength);
    const std::string prefix = name.substr(0, name.size() - kUsbPortNameLength - 1);
    if (portName == port.portName) port.usbDevicePath = DevicePathOfParentPrefix(registry, usbDevices, prefix);
    return port.usbDevicePath.empty();
  });
}

void ReadTcpIpPort(platform::Registry& registry, InstalledPrinterPort& port) {
  std::unique_ptr<RegistryKey> key = OpenForReading(registry, std::string(kTcpIpPortsKey) + "\\" + port.portName);
  if (!key) return;
  platform::RegistryValue raw;
  std::uint32_t number = 0;
  if (key->QueryValue("PortNumber", kRegistryValueBufferBytes, raw) != platform::kErrorSuccess ||
      raw.type != platform::kRegDword || !DwordFromValue(raw, number))
    return;
  port.tcpPort = number;
  std::string host;
  if (ReadText(*key, "IPAddress", host) && !host.empty()) {
    port.tcpHost = host;
  } else if (ReadText(*key, "HostName", host)) {
    port.tcpHost = host;
  }
}

std::string WithoutTrailingColon(std::string name) {
  if (!name.empty() && name.back() == ':') name.pop_back();
  return name;
}

void WriteSettingsKey(platform::Registry& registry, const InstalledPrinterPort& port) {
  std::unique_ptr<RegistryKey> base;
  if (registry.OpenKey(kUser, kSettingsBaseKey,
                       platform::kKeyRead | platform::kKeyCreateSubKey | platform::kKeySetValue,
                       base) != platform::kErrorSuccess ||
      !base)
    return;
  bool exists = false;
  ForEachSubkey(*base, [&](const std::string& name) {
    exists = name == port.printerName;
    return !exists;
  });
  const std::string path = std::string(kSettingsBaseKey) + "\\" + port.printerName;
  std::unique_ptr<RegistryKey> key;
  const long status = exists ? registry.OpenKey(kUser, path, platform::kKeyWrite, key)
                             : registry.CreateKey(kUser, path, platform::kKeyWrite, key);
  if (status != platform::kErrorSuccess || !key) return;

  auto text = [&](const char* name, const std::string& value) { key->SetValue(name, MakeStringValue(value)); };
  auto number = [&](const char* name, std::uint32_t value) { key->SetValue(name, MakeDwordValue(value)); };
  switch (port.kind) {
    case PortKind::Serial:
      text("Port", WithoutTrailingColon(port.portName));
      number("BaudRate", static_cast<std::uint32_t>(port.baudRate));
      number("DataBits", static_cast<std::uint32_t>(port.dataBits));
      number("Parity", static_cast<std::uint32_t>(port.parity));
      number("StopBits", static_cast<std::uint32_t>(port.stopBits));
      number("FlowControl", static_cast<std::uint32_t>(port.flowControl));
      break;
    case PortKind::Parallel:
      text("Port", WithoutTrailingColon(port.portName));
      break;
    case PortKind::Usb:
      text("Port", port.portName);
      text("UsbdeviceName", port.usbDevicePath);
      break;
    case PortKind::Ethernet:
      text("Port", port.portName);
      if (port.portName == "FILE:") break;
      text("TcpIp", port.tcpHost);
      number("TcpPort", port.tcpPort);
      break;
  }
}

}  // namespace

void ApplySerialPortEntry(const std::string& entry, InstalledPrinterPort& port) {
  std::vector<std::string> fields = SplitAtCommas(entry);
  fields.resize(5);  // fields past the end of the text are empty
  const std::string& speed = fields[0];
  const std::string& parity = fields[1];
  const std::string& dataBits = fields[2];
  const std::string& stopBits = fields[3];
  const std::string& flow = fields[4];

  // Below 4800 the printer has no speed of its own: the slowest it has is 2400.
  if (speed == "110" || speed == "300" || speed == "1200" || speed == "2400") port.baudRate = 2400;
  else if (speed == "4800" || speed == "9600" || speed == "19200" || speed == "38400" || speed == "57600")
    port.baudRate = std::stoi(speed);
  else if (speed == "115200" || speed == "230400" || speed == "460800" || speed == "921600")
    port.baudRate = 115200;

  if (parity == "n" || parity == "m" || parity == "s") port.parity = 0;
  else if (parity == "o") port.parity = 1;
  else if (parity == "e") port.parity = 2;

  if (dataBits == "5" || dataBits == "6" || dataBits == "7") port.dataBits = 7;
  else if (dataBits == "8") port.dataBits = 8;

  if (stopBits == "1") port.stopBits = 0;
  else if (stopBits == "1.5") port.stopBits = 1;
  else if (stopBits == "2") port.stopBits = 2;

  if (flow == "x") port.flowControl = 1;
  else if (flow == "p" || flow == " " || flow.empty()) port.flowControl = 0;
}

void ImportInstalledPrinterPort(platform::Spooler& spooler, platform::Registry& registry,
                                UsbDeviceList& usbDevices, const std::string& printerName) {
  std::unique_ptr<platform::PrinterHandle> printer;
  if (spooler.OpenPrinter(printerName, platform::kPrinterAllAccess, printer) != platform::kErrorSuccess ||
      !printer)
    return;
  platform::PrinterInfo2 info;
  if (printer->GetPrinter2(info) != platform::kErrorSuccess) return;

  InstalledPrinterPort port;
  port.printerName = info.printerName;
  port.portName = info.portName;
  port.attributes = info.attributes;

  const std::string prefix = port.portName.substr(0, 3);
  if (prefix == "COM") {
    port.kind = PortKind::Serial;
    ReadSerialSettings(registry, port);
  } else if (prefix == "LPT") {
    port.kind = PortKind::Parallel;
  } else if (prefix == "USB") {
    port.kind = PortKind::Usb;
    FindUsbDevicePath(registry, usbDevices, port);
  } else {
    port.kind = PortKind::Ethernet;
    ReadTcpIpPort(registry, port);
  }
  WriteSettingsKey(registry, port);
}

}  // namespace kora
