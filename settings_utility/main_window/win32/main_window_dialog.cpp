// The main window's Win32 dialog: the dialog procedure forwards, the view methods are one
// window call each.
#include "settings_utility/main_window/win32/main_window_dialog.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "settings_utility/resources/resource_ids.h"

namespace kora {
namespace {

constexpr int kWindowWidth = 502;
constexpr int kWindowHeight = 348;
constexpr int kHeadingPoints = 9;
constexpr const char* kHeadingFace = "Arial Black";

// A window's device context, released when the owner goes.
class WindowDc {
 public:
  explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(::GetDC(hwnd)) {}
  ~WindowDc() {
    if (dc_ != nullptr) ::ReleaseDC(hwnd_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

}  // namespace

MainWindowDialog::MainWindowDialog(HINSTANCE instance) : instance_(instance) {}

void MainWindowDialog::Bind(MainWindow& presenter) { presenter_ = &presenter; }

INT_PTR CALLBACK MainWindowDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    ::SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
    reinterpret_cast<MainWindowDialog*>(lParam)->hwnd_ = hwnd;
  }
  auto* view = reinterpret_cast<MainWindowDialog*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
  // Messages that arrive before WM_INITDIALOG (WM_SETFONT) find no view yet.
  if (view == nullptr || view->presenter_ == nullptr) return FALSE;
  return view->HandleMessage(message, wParam, lParam);
}

INT_PTR MainWindowDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      presenter_->OnInitDialog();
      return TRUE;  // let the dialog manager set the focus
    case WM_COMMAND:
      presenter_->OnCommand(LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_TIMER:
      presenter_->OnTimer(static_cast<unsigned>(wParam));
      return TRUE;
    case WM_DESTROY:
      presenter_->OnDestroy();
      return FALSE;  // the dialog manager's own clean-up still runs
    case WM_NCDESTROY:
      // The controls that used the heading font are gone now.
      headingFont_.Reset();
      hwnd_ = nullptr;
      return FALSE;
    default:
      return FALSE;
  }
}

HWND MainWindowDialog::Control(int id) const { return ::GetDlgItem(hwnd_, id); }

void MainWindowDialog::PrepareWindow() {
  // Icons from LoadIconA are shared by the system and are not destroyed by the program.
  // Until the artwork is generated there is no icon 128, and the window keeps the default.
  if (HICON icon = ::LoadIconA(instance_, MAKEINTRESOURCEA(IDI_APP))) {
    ::SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    ::SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  }
  ::SetWindowPos(hwnd_, nullptr, 0, 0, kWindowWidth, kWindowHeight, SWP_NOMOVE | SWP_NOZORDER);

  int pixelsPerInch = 96;
  {
    WindowDc dc(hwnd_);
    if (dc.Get() != nullptr) pixelsPerInch = ::GetDeviceCaps(dc.Get(), LOGPIXELSY);
  }
  headingFont_.Reset(::CreateFontA(-::MulDiv(kHeadingPoints, pixelsPerInch, 72), 0, 0, 0,
                                   FW_DONTCARE, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                   OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                   DEFAULT_PITCH | FF_DONTCARE, kHeadingFace));
  if (headingFont_) {
    for (int id : {IDC_INFO_HEADING, IDC_SETTING_HEADING}) {
      ::SendMessageA(Control(id), WM_SETFONT, reinterpret_cast<WPARAM>(headingFont_.Get()), TRUE);
    }
  }
}

void MainWindowDialog::EnableControl(int id, bool enable) { ::EnableWindow(Control(id), enable); }

void MainWindowDialog::SetControlText(int id, const std::string& text) {
  ::SetDlgItemTextA(hwnd_, id, text.c_str());
}

void MainWindowDialog::ResetCombo(int id) { ::SendMessageA(Control(id), CB_RESETCONTENT, 0, 0); }

void MainWindowDialog::AddComboString(int id, const std::string& text) {
  ::SendMessageA(Control(id), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void MainWindowDialog::SetComboSelection(int id, int index) {
  ::SendMessageA(Control(id), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int MainWindowDialog::GetComboSelection(int id) {
  return static_cast<int>(::SendMessageA(Control(id), CB_GETCURSEL, 0, 0));
}

void MainWindowDialog::SetProgressPosition(int position) {
  ::SendMessageA(Control(IDC_PROGRESS), PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void MainWindowDialog::SetProgressStep(int step) {
  ::SendMessageA(Control(IDC_PROGRESS), PBM_SETSTEP, static_cast<WPARAM>(step), 0);
}

void MainWindowDialog::StepProgress() { ::SendMessageA(Control(IDC_PROGRESS), PBM_STEPIT, 0, 0); }

int MainWindowDialog::ShowMessage(const std::string& text, const std::string& title,
                                  platform::MessageIcon icon) {
  return ::MessageBoxA(hwnd_, text.c_str(), title.c_str(), MB_OK | static_cast<UINT>(icon));
}

void MainWindowDialog::StartTimer(unsigned id, unsigned periodMs) {
  ::SetTimer(hwnd_, id, periodMs, nullptr);
}

void MainWindowDialog::StopTimer(unsigned id) { ::KillTimer(hwnd_, id); }

// Invalidate and paint at once, the children included: the caller is about to block the
// window's thread and wants the new state on screen first.
void MainWindowDialog::RedrawWindow() {
  ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void MainWindowDialog::RedrawControl(int id) {
  ::RedrawWindow(Control(id), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void MainWindowDialog::EndDialog(int result) { ::EndDialog(hwnd_, result); }

bool MainWindowDialog::ShowFileDialog(const FileDialogSpec& spec, std::string& path) {
  // "Description|pattern|" pairs become the zero-separated, doubly zero-ended list.
  std::string filter = spec.filter;
  std::replace(filter.begin(), filter.end(), '|', '\0');
  filter.push_back('\0');
  std::vector<char> name(std::max<std::size_t>(MAX_PATH, spec.initialName.size() + 1), '\0');
  std::copy(spec.initialName.begin(), spec.initialName.end(), name.begin());

  OPENFILENAMEA ofn = {};
  // The record size of the oldest common dialog library, so that Windows 9x accepts it.
  ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  ofn.hwndOwner = hwnd_;
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = name.data();
  ofn.nMaxFile = static_cast<DWORD>(name.size());
  ofn.lpstrTitle = spec.title.empty() ? nullptr : spec.title.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | (spec.overwritePrompt ? OFN_OVERWRITEPROMPT : 0) |
              (spec.createPrompt ? OFN_CREATEPROMPT : 0) | (spec.fileMustExist ? OFN_FILEMUSTEXIST : 0);
  const BOOL chosen = spec.save ? ::GetSaveFileNameA(&ofn) : ::GetOpenFileNameA(&ofn);
  if (!chosen) return false;
  path = name.data();
  return true;
}

}  // namespace kora
