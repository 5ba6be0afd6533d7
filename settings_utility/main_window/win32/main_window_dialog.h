// The main window's Win32 dialog: implements MainWindowView over the dialog's HWND and holds
// the dialog procedure, which hands every message the presenter cares about to MainWindow.
#pragma once
#include "platform/win32/handle_owner_win32.h"  // brings <winsock2.h> before <windows.h>

#include <windows.h>

#include <memory>
#include <vector>

#include "settings_utility/main_window/main_window.h"
#include "settings_utility/main_window/main_window_view.h"
#include "settings_utility/skin/win32/bitmap_button_win32.h"
#include "settings_utility/skin/win32/skin_win32.h"

namespace kora {

class MainWindowDialog : public MainWindowView {
 public:
  explicit MainWindowDialog(HINSTANCE instance);
  MainWindowDialog(const MainWindowDialog&) = delete;
  MainWindowDialog& operator=(const MainWindowDialog&) = delete;

  // The presenter that receives the messages; bound before the dialog is created.
  void Bind(MainWindow& presenter);

  // For DialogBoxParamA, with a pointer to this view as its lParam.
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  // The dialog's window from WM_INITDIALOG until it is destroyed, else null: the owner of
  // the windows the main window opens (the port settings dialog).
  HWND Window() const { return hwnd_; }

  void PrepareWindow() override;
  void EnableControl(int id, bool enable) override;
  void SetControlText(int id, const std::string& text) override;
  void ResetCombo(int id) override;
  void AddComboString(int id, const std::string& text) override;
  void SetComboSelection(int id, int index) override;
  int GetComboSelection(int id) override;
  void SetProgressPosition(int position) override;
  void SetProgressStep(int step) override;
  void StepProgress() override;
  int ShowMessage(const std::string& text, const std::string& title,
                  platform::MessageIcon icon) override;
  void StartTimer(unsigned id, unsigned periodMs) override;
  void StopTimer(unsigned id) override;
  void RedrawWindow() override;
  void RedrawControl(int id) override;
  void EndDialog(int result) override;
  bool ShowFileDialog(const FileDialogSpec& dialog, std::string& path) override;

 private:
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  HWND Control(int id) const;
  // WM_CTLCOLORSTATIC / WM_CTLCOLORBTN: the brush, or null for the default colours.
  HBRUSH ControlColours(HDC dc, HWND control) const;
  bool PaintMinimised();

  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  MainWindow* presenter_ = nullptr;
  // Icons from LoadIconA are shared by the system and are not destroyed by the program.
  HICON icon_ = nullptr;
  SkinBackground background_;
  std::vector<std::unique_ptr<BitmapButtonWin32>> buttons_;
  platform::win32::GdiObject headingFont_;  // released when the window is gone
};

}  // namespace kora
