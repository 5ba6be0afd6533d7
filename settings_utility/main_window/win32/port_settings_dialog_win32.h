// The port settings dialog under Win32: PortSettingsDialogWin32 implements PortSettingsView
// over the dialog's HWND and holds the dialog procedure, which hands initialisation and
// commands to the PortSettingsDialog presenter and paints the skin; PortSettingsPromptWin32
// is what the main window calls to run the dialog modally over itself.
#pragma once
#include "platform/win32/handle_owner_win32.h"  // brings <winsock2.h> before <windows.h>

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/gdi.h"
#include "platform/registry.h"
#include "settings_utility/main_window/main_window_seams.h"
#include "settings_utility/skin/win32/bitmap_button_win32.h"
#include "settings_utility/skin/win32/skin_win32.h"
#include "settings_utility/transports/port_settings_dialog.h"

namespace kora {

class PortSettingsDialogWin32 : public PortSettingsView {
 public:
  explicit PortSettingsDialogWin32(HINSTANCE instance);
  PortSettingsDialogWin32(const PortSettingsDialogWin32&) = delete;
  PortSettingsDialogWin32& operator=(const PortSettingsDialogWin32&) = delete;

  // The presenter that receives the messages; bound before the dialog is created.
  void Bind(PortSettingsDialog& presenter);

  // For DialogBoxParamA, with a pointer to this view as its lParam.
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  void PrepareWindow() override;
  void EnableControl(int id, bool enable) override;
  void ShowControl(int id, bool show) override;
  void SetControlText(int id, const std::string& text) override;
  void ResetCombo(int id) override;
  void AddComboString(int id, const std::string& text) override;
  void SetComboSelection(int id, int index) override;
  int GetComboSelection(int id) override;
  std::string GetComboText(int id, int index) override;
  void SetRadioIndex(int index) override;
  int GetRadioIndex() override;
  void SetIpAddress(const std::uint8_t (&fields)[4]) override;
  void GetIpAddress(std::uint8_t (&fields)[4]) override;
  void SetTcpPortText(const std::string& text) override;
  std::string GetTcpPortText() override;
  void RedrawWindow() override;
  void EndDialog(int result) override;
  int ShowMessage(const std::string& text, const std::string& title,
                  platform::MessageIcon icon) override;

 private:
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  HWND Control(int id) const;
  // WM_CTLCOLORSTATIC / WM_CTLCOLORBTN: the brush, or null for the default colours.
  HBRUSH ControlColours(HDC dc, HWND control) const;
  void ApplyRegion();
  void SetUpButton(BitmapButtonWin32& button, int id, const char* caption, int textX);

  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  PortSettingsDialog* presenter_ = nullptr;
  SkinBackground background_;
  // The window's shape, built with the window object; the window owns it once applied.
  std::unique_ptr<platform::Region> region_;
  BitmapButtonWin32 okButton_;
  BitmapButtonWin32 cancelButton_;
  platform::win32::GdiObject headingFont_;  // released when the window is gone
};

class PortSettingsPromptWin32 : public PortSettingsPrompt {
 public:
  // `owner` names the window the dialog is modal to (the main dialog) at the time it opens.
  PortSettingsPromptWin32(HINSTANCE instance, platform::Registry& registry, UsbListing& usb,
                          std::function<HWND()> owner);

  bool Run(const std::string& printerName, PortChoice& choice) override;

 private:
  HINSTANCE instance_;
  platform::Registry& registry_;
  UsbListing& usb_;
  std::function<HWND()> owner_;
};

}  // namespace kora
