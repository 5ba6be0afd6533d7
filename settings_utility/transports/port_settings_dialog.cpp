#include "settings_utility/transports/port_settings_dialog.h"

#include <cstdio>
#include <cstdlib>

#include "platform/os_codes.h"
#include "settings_utility/resources/resource_ids.h"
#include "settings_utility/transports/connection_settings.h"
#include "settings_utility/transports/registry_values.h"

namespace kora {

namespace {

constexpr auto kUser = platform::RegistryRoot::CurrentUser;
const char* const kBaudRates[] = {"9600", "19200", "38400", "57600", "115200"};
const char* const kDataBits[] = {"8", "7"};
const char* const kParities[] = {"NONE", "ODD", "EVEN"};
const char* const kStopBits[] = {"1", "1.5", "2"};
const char* const kFlowControls[] = {"Hardware", "Xon/Xoff"};
constexpr int kLineCombos[] = {IDC_PS_BAUD, IDC_PS_DATABITS, IDC_PS_PARITY, IDC_PS_STOPBITS, IDC_PS_FLOW};
const char kUsbProductId[] = "0006";

template <std::size_t N>
void Fill(PortSettingsView& view, int id, const char* const (&entries)[N]) {
  view.ResetCombo(id);
  for (const char* entry : entries) view.AddComboString(id, entry);
}

int BaudRateIndex(int baudRate) {
  switch (baudRate) {
    case 9600: return 0;
    case 38400: return 2;
    case 57600: return 3;
    case 115200: return 4;
    default: return 1;  // 19200
  }
}

}  // namespace

void SplitIpAddress(const std::string& text, std::uint8_t (&fields)[4]) {
  std::size_t start = 0;
  for (int i = 0; i < 4; ++i) {
    fields[i] = 0;
    if (start > text.size()) continue;
    const std::size_t dot = text.find('.', start);
    const std::string part = text.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
    fields[i] = static_cast<std::uint8_t>(std::strtoul(part.c_str(), nullptr, 10));
    start = dot == std::string::npos ? text.size() + 1 : dot + 1;
  }
}

PortSettingsDialog::PortSettingsDialog(PortSettingsView& view, platform::Registry& registry, UsbListing& usb,
                                       std::string printerName)
    : view_(view), registry_(registry), usb_(usb), printerName_(std::move(printerName)) {}

void PortSettingsDialog::Push() {
  view_.SetRadioIndex(interfaceIndex_);
  view_.SetTcpPortText(std::to_string(tcpPort_));
}

void PortSettingsDialog::Pull() {
  interfaceIndex_ = view_.GetRadioIndex();
  const std::string text = view_.GetTcpPortText();
  char* end = nullptr;
  const unsigned long value = std::strtoul(text.c_str(), &end, 10);
  // The edit takes digits only; an empty or oversized entry keeps the last good number.
  if (!text.empty() && end != nullptr && *end == '\0' && value <= 0xFFFFFFFFul)
    tcpPort_ = static_cast<std::uint32_t>(value);
}

void PortSettingsDialog::OnInitDialog() {
  Fill(view_, IDC_PS_BAUD, kBaudRates);
  Fill(view_, IDC_PS_DATABITS, kDataBits);
  Fill(view_, IDC_PS_PARITY, kParities);
  Fill(view_, IDC_PS_STOPBITS, kStopBits);
  Fill(view_, IDC_PS_FLOW, kFlowControls);
  view_.PrepareWindow();
  settingsKey_ = printerName_.empty() ? kUtilitySettingsKey : kPrinterSettingsKeyPrefix + printerName_;
  if (LoadSettings()) return;
  view_.SetComboSelection(IDC_PS_BAUD, 1);
  for (int id : {IDC_PS_DATABITS, IDC_PS_PARITY, IDC_PS_STOPBITS, IDC_PS_FLOW}) view_.SetComboSelection(id, 0);
  interfaceIndex_ = 0;
  FillForInterface();
}

bool PortSettingsDialog::LoadSettings() {
  if (!RegistryKeyHasValues(registry_, kUser, settingsKey_)) return false;
  bool result = ReadRegistryString(registry_, kUser, settingsKey_, "Port", portText_);
  const PortKind kind = PortKindFromText(portText_);
  interfaceIndex_ = static_cast<int>(kind);
  if (kind == PortKind::Usb) {
    result = ReadRegistryString(registry_, kUser, settingsKey_, "UsbdeviceName", usbDevicePath_) && result;
  } else if (kind == PortKind::Ethernet) {
    const bool gotIp = ReadRegistryString(registry_, kUser, settingsKey_, "TcpIp", ipText_);
    std::uint8_t fields[4];
    SplitIpAddress(ipText_, fields);
    view_.SetIpAddress(fields);
    std::uint32_t port = 0;
    const bool gotPort = ReadRegistryDword(registry_, kUser, settingsKey_, "TcpPort", port);
    if (gotPort) tcpPort_ = port;
    result = result && gotIp && gotPort;
  }
  FillForInterface();

  for (int i = 0;; ++i) {
    const std::string entry = view_.GetComboText(IDC_PS_PORT, i);
    if (entry.empty()) break;
    if (entry == portText_) {
      view_.SetComboSelection(IDC_PS_PORT, i);
      break;
    }
  }

  ReadRegistryInt(registry_, kUser, settingsKey_, "BaudRate", baudRate_);
  view_.SetComboSelection(IDC_PS_BAUD, BaudRateIndex(baudRate_));
  ReadRegistryInt(registry_, kUser, settingsKey_, "DataBits", dataBits_);
  view_.SetComboSelection(IDC_PS_DATABITS, dataBits_ == 7 ? 1 : 0);
  ReadRegistryInt(registry_, kUser, settingsKey_, "FlowControl", flowControl_);
  view_.SetComboSelection(IDC_PS_FLOW, flowControl_ == 1 ? 1 : 0);
  ReadRegistryInt(registry_, kUser, settingsKey_, "Parity", parity_);
  view_.SetComboSelection(IDC_PS_PARITY, parity_ == 1 || parity_ == 2 ? parity_ : 0);
  ReadRegistryInt(registry_, kUser, settingsKey_, "StopBits", stopBits_);
  view_.SetComboSelection(IDC_PS_STOPBITS, stopBits_ == 1 || stopBits_ == 2 ? stopBits_ : 0);
  Push();
  return result;
}

void PortSettingsDialog::FillForInterface() {
  view_.ResetCombo(IDC_PS_PORT);
  view_.ShowControl(IDC_PS_PORT, true);
  view_.ShowControl(IDC_PS_BAUD, true);
  view_.ShowControl(IDC_PS_IP, false);
  view_.ShowControl(IDC_PS_TCP_PORT, false);
  for (int id : kLineCombos) view_.EnableControl(id, false);
  view_.SetControlText(IDC_PS_PORT_LABEL, "Port :");
  view_.SetControlText(IDC_PS_BAUD_LABEL, "Baud Rate :");

  switch (interfaceIndex_) {
    case 0: {
      char name[16];
      for (int n = 1; n <= 15; ++n) {
        std::snprintf(name, sizeof name, n <= 9 ? "COM%d" : "\\\\.\\COM%d", n);
        view_.AddComboString(IDC_PS_PORT, name);
      }
      for (int id : kLineCombos) view_.EnableControl(id, true);
      view_.SetComboSelection(IDC_PS_PORT, 0);
      break;
    }
    case 1:
      for (const char* name : {"LPT1", "LPT2", "LPT3"}) view_.AddComboString(IDC_PS_PORT, name);
      view_.SetComboSelection(IDC_PS_PORT, 0);
      break;
    case 2: {
      usbEntries_ = usb_.Enumerate();
      bool any = false;
      for (const UsbListingEntry& entry : usbEntries_) {
        if (entry.productId != kUsbProductId) continue;
        view_.AddComboString(IDC_PS_PORT, entry.listingName);
        any = true;
      }
      if (!any) {
        view_.ShowMessage("Not Connect USB Device and Power off!", "Error", platform::MessageIcon::Stop);
        interfaceIndex_ = 0;
        FillForInterface();
        return;
      }
      view_.SetComboSelection(IDC_PS_PORT, 0);
      break;
    }
    case 3:
      view_.ShowControl(IDC_PS_PORT, false);
      view_.ShowControl(IDC_PS_BAUD, false);
      view_.ShowControl(IDC_PS_IP, true);
      view_.ShowControl(IDC_PS_TCP_PORT, true);
      view_.SetControlText(IDC_PS_PORT_LABEL, "IP :");
      view_.SetControlText(IDC_PS_BAUD_LABEL, "Port :");
      break;
    default:
      break;
  }
  Push();
  view_.RedrawWindow();
}

void PortSettingsDialog::OnCommand(int controlId, int notifyCode) {
  if (notifyCode != platform::kBnClicked) return;
  switch (controlId) {
    case IDC_PS_SERIAL:
      interfaceIndex_ = 0;
      FillForInterface();
      break;
    case IDC_PS_PARALLEL:
      interfaceIndex_ = 1;
      FillForInterface();
      break;
    case IDC_PS_USB:
      interfaceIndex_ = 2;
      FillForInterface();
      break;
    case IDC_PS_ETHERNET:
      interfaceIndex_ = 3;
      FillForInterface();
      break;
    case platform::kIdOk:
      OnOk();
      break;
    case platform::kIdCancel:
      view_.EndDialog(platform::kIdCancel);
      break;
    default:
      break;
  }
}

void PortSettingsDialog::OnOk() {
  Pull();
  settingsKey_ = kUtilitySettingsKey;
  const int port = view_.GetComboSelection(IDC_PS_PORT);
  portText_ = port >= 0 ? view_.GetComboText(IDC_PS_PORT, port) : std::string();
  auto selectedNumber = [&](int id) {
    const int index = view_.GetComboSelection(id);
    return index >= 0 ? std::atoi(view_.GetComboText(id, index).c_str()) : 0;
  };
  baudRate_ = selectedNumber(IDC_PS_BAUD);
  dataBits_ = selectedNumber(IDC_PS_DATABITS);
  flowControl_ = view_.GetComboSelection(IDC_PS_FLOW);
  parity_ = view_.GetComboSelection(IDC_PS_PARITY);
  stopBits_ = view_.GetComboSelection(IDC_PS_STOPBITS);

  const std::string& key = settingsKey_;
  auto writeInt = [&](const char* name, int value) {
    WriteRegistryDword(registry_, kUser, key, name, static_cast<std::uint32_t>(value));
  };
  switch (interfaceIndex_) {
    case 0:
      WriteRegistryString(registry_, kUser, key, "Port", portText_);
      writeInt("BaudRate", baudRate_);
      writeInt("DataBits", dataBits_);
      writeInt("FlowControl", flowControl_);
      writeInt("Parity", parity_);
      writeInt("StopBits", stopBits_);
      break;
    case 1:
      WriteRegistryString(registry_, kUser, key, "Port", portText_);
      break;
    case 2:
      usbDevicePath_.clear();
      for (const UsbListingEntry& entry : usbEntries_)
        if (entry.listingName == portText_) usbDevicePath_ = entry.devicePath;
      WriteRegistryString(registry_, kUser, key, "Port", portText_);
      WriteRegistryString(registry_, kUser, key, "UsbdeviceName", usbDevicePath_);
      break;
    case 3: {
      std::uint8_t fields[4];
      view_.GetIpAddress(fields);
      char text[16];
      std::snprintf(text, sizeof text, "%d.%d.%d.%d", fields[0], fields[1], fields[2], fields[3]);
      ipText_ = text;
      WriteRegistryString(registry_, kUser, key, "Port", portText_);
      WriteRegistryString(registry_, kUser, key, "TcpIp", ipText_);
      WriteRegistryDword(registry_, kUser, key, "TcpPort", tcpPort_);
      break;
    }
    default:
      break;
  }
  Push();
  view_.EndDialog(platform::kIdOk);
}

PortChoice PortSettingsDialog::Choice() const {
  PortChoice choice;
  choice.kind = static_cast<PortKind>(interfaceIndex_ >= 0 && interfaceIndex_ <= 3 ? interfaceIndex_ : 0);
  choice.portText = portText_;
  choice.usbDevicePath = usbDevicePath_;
  choice.ipText = ipText_;
  choice.baudRate = baudRate_;
  choice.dataBits = dataBits_;
  choice.parity = parity_;
  choice.stopBits = stopBits_;
  choice.flowControl = flowControl_;
  choice.tcpPort = tcpPort_;
  return choice;
}

}  // namespace kora
