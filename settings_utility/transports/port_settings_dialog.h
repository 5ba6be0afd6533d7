// PortSettingsDialog: the modal dialog in which the user chooses the interface and its
// parameters. It shows the stored connection settings, offers the ports that exist for the
// chosen interface, and on OK writes the choice under the utility's own settings key.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "settings_utility/main_window/main_window_seams.h"
#include "settings_utility/main_window/message_presenter.h"

namespace kora {

class PortSettingsView : public MessagePresenter {
 public:
  // The skin: region, size, heading font, the two bitmap buttons.
  virtual void PrepareWindow() = 0;
  virtual void EnableControl(int id, bool enable) = 0;
  virtual void ShowControl(int id, bool show) = 0;
  virtual void SetControlText(int id, const std::string& text) = 0;
  virtual void ResetCombo(int id) = 0;
  virtual void AddComboString(int id, const std::string& text) = 0;
  virtual void SetComboSelection(int id, int index) = 0;
  virtual int GetComboSelection(int id) = 0;
  virtual std::string GetComboText(int id, int index) = 0;
  // The radio group 1048, 1052, 1049, 1050 as one index 0..3 (-1: none checked).
  virtual void SetRadioIndex(int index) = 0;
  virtual int GetRadioIndex() = 0;
  virtual void SetIpAddress(const std::uint8_t (&fields)[4]) = 0;
  virtual void GetIpAddress(std::uint8_t (&fields)[4]) = 0;
  // The TCP port edit 1054.
  virtual void SetTcpPortText(const std::string& text) = 0;
  virtual std::string GetTcpPortText() = 0;
  virtual void RedrawWindow() = 0;
  virtual void EndDialog(int result) = 0;
};

// A present USB device as the dialog lists it.
struct UsbListingEntry {
  std::string listingName;  // "USB001"
  std::string devicePath;
  std::string productId;    // "0006"
};

class UsbListing {
 public:
  virtual ~UsbListing() = default;
  // Enumerates the present devices afresh.
  virtual std::vector<UsbListingEntry> Enumerate() = 0;
};

class PortSettingsDialog {
 public:
  PortSettingsDialog(PortSettingsView& view, platform::Registry& registry, UsbListing& usb,
                     std::string printerName);

  void OnInitDialog();
  // WM_COMMAND: radio clicks, OK and Cancel.
  void OnCommand(int controlId, int notifyCode);

  // What the opener takes over after OK.
  PortChoice Choice() const;
  int interfaceIndex() const { return interfaceIndex_; }
  const std::string& settingsKey() const { return settingsKey_; }

 private:
  bool LoadSettings();
  void FillForInterface();
  void Push();
  void Pull();
  void OnOk();

  PortSettingsView& view_;
  platform::Registry& registry_;
  UsbListing& usb_;
  std::vector<UsbListingEntry> usbEntries_;
  int interfaceIndex_ = -1;
  std::string printerName_;
  std::string settingsKey_;
  std::string portText_;
  std::string usbDevicePath_;
  std::string ipText_;
  int baudRate_ = 0;
  int dataBits_ = 0;
  int parity_ = 0;
  int stopBits_ = 0;
  int flowControl_ = 0;
  std::uint32_t tcpPort_ = 0;
};

// "192.168.0.10" -> its four numbers; fields that are missing or not numbers read as 0.
void SplitIpAddress(const std::string& text, std::uint8_t (&fields)[4]);

}  // namespace kora
