// The installer's Win32 windows: the dialog procedures forward, the view methods are one
// window call each.
#include "installer/win32/install_progress_dialog_win32.h"
#include "platform/win32/dialog_win32.h"

#include <commctrl.h>

#include "installer/resources/installer_resource_ids.h"

namespace installer {

static_assert(IDC_PROGRESS == kProgressBarId && IDC_VERSION_TEXT == kVersionTextId &&
                  IDC_STATUS_TEXT == kStatusTextId,
              "the template's control ids are the presenter's");
static_assert(IDC_PORT_COM1 == kPortButtonIds[0] && IDC_PORT_COM2 == kPortButtonIds[1] &&
                  IDC_PORT_COM3 == kPortButtonIds[2] && IDC_PORT_COM4 == kPortButtonIds[3] &&
                  IDC_PORT_LPT1 == kPortButtonIds[4] && IDC_PORT_LPT2 == kPortButtonIds[5] &&
                  IDC_PORT_USB == kPortButtonIds[6],
              "the radio group's ids follow the selection index");
static_assert(IDOK == kCommandOk && IDCANCEL == kCommandCancel, "the dialog commands are the presenter's");

InstallProgressDialog::InstallProgressDialog(HINSTANCE instance)
    : instance_(instance), icon_(::LoadIconA(instance, MAKEINTRESOURCEA(IDI_INSTALLER))) {}

INT_PTR CALLBACK InstallProgressDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* view = platform::win32::DialogView<InstallProgressDialog>(hwnd, message, lParam);
  if (message == WM_INITDIALOG && view != nullptr) view->hwnd_ = hwnd;
  if (view == nullptr || view->presenter_ == nullptr) return FALSE;
  return view->HandleMessage(message, wParam, lParam);
}

INT_PTR InstallProgressDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      presenter_->OnInitDialog();
      return TRUE;  // the default focus
    case WM_TIMER:
      presenter_->OnTimer(static_cast<unsigned>(wParam));
      return TRUE;
    case WM_COMMAND:
      // Enter, Esc and the close box arrive here; the presenter decides that they do nothing,
      // and the dialog manager ends nothing on its own.
      presenter_->OnCommand(LOWORD(wParam));
      return TRUE;
    case WM_PAINT:
      return PaintMinimised() ? TRUE : FALSE;
    case WM_QUERYDRAGICON:
      return reinterpret_cast<INT_PTR>(icon_);
    case WM_NCDESTROY:
      hwnd_ = nullptr;
      return FALSE;
    default:
      return FALSE;
  }
}

bool InstallProgressDialog::PaintMinimised() { return platform::win32::PaintIconWhenMinimised(hwnd_, icon_); }

void InstallProgressDialog::SetIcons() {
  if (icon_ == nullptr) return;  // the window keeps the default icon
  ::SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  ::SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
}

void InstallProgressDialog::TransferTexts(const std::string& status, const std::string& version) {
  ::SetDlgItemTextA(hwnd_, IDC_STATUS_TEXT, status.c_str());
  ::SetDlgItemTextA(hwnd_, IDC_VERSION_TEXT, version.c_str());
  // The thread blocks between steps and handles no messages: paint what changed now.
  ::UpdateWindow(hwnd_);
}

void InstallProgressDialog::SetProgressRange(int low, int high) {
  ::SendMessageA(Control(IDC_PROGRESS), PBM_SETRANGE, 0, MAKELPARAM(low, high));
}

void InstallProgressDialog::SetProgressStep(int step) {
  ::SendMessageA(Control(IDC_PROGRESS), PBM_SETSTEP, static_cast<WPARAM>(step), 0);
}

void InstallProgressDialog::StepProgress() { ::SendMessageA(Control(IDC_PROGRESS), PBM_STEPIT, 0, 0); }

void InstallProgressDialog::SetProgressPosition(int position) {
  ::SendMessageA(Control(IDC_PROGRESS), PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void InstallProgressDialog::StartTimer(unsigned id, unsigned periodMs) { ::SetTimer(hwnd_, id, periodMs, nullptr); }

void InstallProgressDialog::StopTimer(unsigned id) { ::KillTimer(hwnd_, id); }

int InstallProgressDialog::ShowMessage(const std::string& text, const std::string& caption, std::uint32_t style,
                                       bool ownedByWindow) {
  return ::MessageBoxA(ownedByWindow ? hwnd_ : nullptr, text.c_str(), caption.c_str(), style);
}

void InstallProgressDialog::ShowWaitCursor(bool wait) {
  ::SetCursor(::LoadCursorA(nullptr, wait ? IDC_WAIT : IDC_ARROW));
}

void InstallProgressDialog::EndProcess(int exitCode) { ::ExitProcess(static_cast<UINT>(exitCode)); }

INT_PTR CALLBACK PortTypeDialogWin32::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* view = platform::win32::DialogView<PortTypeDialogWin32>(hwnd, message, lParam);
  if (message == WM_INITDIALOG && view != nullptr) view->hwnd_ = hwnd;
  if (view == nullptr) return FALSE;
  switch (message) {
    case WM_INITDIALOG:
      view->presenter_.OnInitDialog(*view);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        view->presenter_.OnCommand(*view, LOWORD(wParam));
        return TRUE;
      }
      return FALSE;
    case WM_NCDESTROY:
      view->hwnd_ = nullptr;
      return FALSE;
    default:
      return FALSE;
  }
}

void PortTypeDialogWin32::SetRadioIndex(int index) {
  for (int i = 0; i < kPortButtonCount; ++i) {
    ::CheckDlgButton(hwnd_, kPortButtonIds[i], i == index ? BST_CHECKED : BST_UNCHECKED);
  }
}

int PortTypeDialogWin32::GetRadioIndex() {
  for (int i = 0; i < kPortButtonCount; ++i) {
    if (::IsDlgButtonChecked(hwnd_, kPortButtonIds[i]) == BST_CHECKED) return i;
  }
  return -1;
}

void PortTypeDialogWin32::EndDialog(int command) { ::EndDialog(hwnd_, command); }

int PortTypePromptWin32::Run(PortTypeDialog& dialog) {
  PortTypeDialogWin32 view(dialog);
  const INT_PTR result = ::DialogBoxParamA(instance_, MAKEINTRESOURCEA(IDD_PORT_TYPE), owner_(),
                                           PortTypeDialogWin32::DialogProc, reinterpret_cast<LPARAM>(&view));
  return result == -1 ? kCommandCancel : static_cast<int>(result);
}

}  // namespace installer
