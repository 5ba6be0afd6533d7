// The uninstaller's Win32 dialog: implements UninstallDialogView over the dialog's HWND,
// draws the check list (an owner-drawn list box whose entries carry a check box, the check
// state kept as each entry's item data), and forwards the messages the presenter cares about.
#pragma once
#include "platform/win32/handle_owner_win32.h"  // brings <winsock2.h> before <windows.h>

#include <windows.h>

#include <string>

#include "uninstaller/uninstall_dialog.h"

namespace uninstaller {

// WM_COMMAND notification the check list sends its dialog when the user toggles an entry's
// check box (beyond the list box's own LBN_* codes).
constexpr WORD kCheckListCheckChanged = 40;

class UninstallDialogWin32 : public UninstallDialogView {
 public:
  explicit UninstallDialogWin32(HINSTANCE instance);
  UninstallDialogWin32(const UninstallDialogWin32&) = delete;
  UninstallDialogWin32& operator=(const UninstallDialogWin32&) = delete;

  // The presenter that receives the messages; bound before the dialog is created.
  void Bind(UninstallDialog& presenter) { presenter_ = &presenter; }

  // For DialogBoxParamA, with a pointer to this view as its lParam.
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  // RemovalView / RestartPromptView.
  int ShowMessage(const std::string& text, const std::string& caption, std::uint32_t style) override;
  void ShowStatus(const std::string& text) override;
  void EndProgram(int exitCode) override;
  void StepProgress() override;
  void SetProgressPosition(int position) override;
  void ShowWaitCursor(bool wait) override;
  void CloseDialog() override;

  // UninstallDialogView.
  void SetIcons() override;
  void SetProgressRange(int low, int high) override;
  void SetProgressStep(int step) override;
  void StartTimer(unsigned id, unsigned periodMs) override;
  void StopTimer(unsigned id) override;
  void EnableControl(int id, bool enable) override;
  void AddCheckListEntry(const std::string& text) override;
  int CheckListCount() override;
  std::string CheckListText(int index) override;
  bool IsCheckListEntryChecked(int index) override;
  void EndDialog(int result) override;

 private:
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  HWND Control(int id) const;
  bool PaintMinimised();
  void DrawCheckListEntry(const DRAWITEMSTRUCT& item);
  static void MeasureCheckListEntry(HWND dialog, MEASUREITEMSTRUCT& item);
  // The check list's own window procedure in front of the list box's: a click on an entry's
  // check box or the space bar toggles the entry.
  static LRESULT CALLBACK CheckListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam);
  void ToggleEntry(int index);

  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  UninstallDialog* presenter_ = nullptr;
  WNDPROC listBoxProc_ = nullptr;
  // Icons loaded with LR_SHARED belong to the system and are never destroyed by the program.
  HICON bigIcon_ = nullptr;
  HICON smallIcon_ = nullptr;
};

}  // namespace uninstaller
