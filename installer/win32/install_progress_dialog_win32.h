// The installer's Win32 windows: InstallProgressDialog implements InstallProgressView over the
// progress window's HWND and holds its dialog procedure, which hands initialisation, the timer
// and commands to the InstallProgressWindow presenter; PortTypeDialogWin32 does the same for
// the port type dialog, and PortTypePromptWin32 runs that dialog modally over the window.
#pragma once
#include "platform/win32/handle_owner_win32.h"  // brings <winsock2.h> before <windows.h>

#include <windows.h>

#include <functional>

#include "installer/install_progress_window.h"
#include "installer/port_type_dialog.h"

namespace installer {

class InstallProgressDialog : public InstallProgressView {
 public:
  explicit InstallProgressDialog(HINSTANCE instance);
  InstallProgressDialog(const InstallProgressDialog&) = delete;
  InstallProgressDialog& operator=(const InstallProgressDialog&) = delete;

  // The presenter that receives the messages; bound before the dialog is created.
  void Bind(InstallProgressWindow& presenter) { presenter_ = &presenter; }

  // For DialogBoxParamA, with a pointer to this view as its lParam.
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  // The window from WM_INITDIALOG until it is destroyed, else null: the owner of the port
  // dialog and of the boxes the window owns.
  HWND Window() const { return hwnd_; }

  void SetIcons() override;
  void TransferTexts(const std::string& status, const std::string& version) override;
  void SetProgressRange(int low, int high) override;
  void SetProgressStep(int step) override;
  void StepProgress() override;
  void SetProgressPosition(int position) override;
  void StartTimer(unsigned id, unsigned periodMs) override;
  void StopTimer(unsigned id) override;
  int ShowMessage(const std::string& text, const std::string& caption, std::uint32_t style,
                  bool ownedByWindow) override;
  void ShowWaitCursor(bool wait) override;
  void EndProcess(int exitCode) override;

 private:
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  HWND Control(int id) const { return ::GetDlgItem(hwnd_, id); }
  bool PaintMinimised();

  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  InstallProgressWindow* presenter_ = nullptr;
  // Icons from LoadIconA are shared by the system and are not destroyed by the program.
  HICON icon_ = nullptr;
};

class PortTypeDialogWin32 : public PortTypeView {
 public:
  explicit PortTypeDialogWin32(PortTypeDialog& presenter) : presenter_(presenter) {}
  PortTypeDialogWin32(const PortTypeDialogWin32&) = delete;
  PortTypeDialogWin32& operator=(const PortTypeDialogWin32&) = delete;

  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  void SetRadioIndex(int index) override;
  int GetRadioIndex() override;
  void EndDialog(int command) override;

 private:
  PortTypeDialog& presenter_;
  HWND hwnd_ = nullptr;
};

class PortTypePromptWin32 : public PortTypePrompt {
 public:
  // `owner` names the window the dialog is modal to (the progress window) when it opens.
  PortTypePromptWin32(HINSTANCE instance, std::function<HWND()> owner)
      : instance_(instance), owner_(std::move(owner)) {}

  // The command that ended the dialog; Cancel when it could not be shown.
  int Run(PortTypeDialog& dialog) override;

 private:
  HINSTANCE instance_;
  std::function<HWND()> owner_;
};

}  // namespace installer
