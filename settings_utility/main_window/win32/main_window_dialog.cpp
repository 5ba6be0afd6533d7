// The main window's Win32 dialog: the dialog procedure forwards, the view methods are one
// window call each.
#include "settings_utility/main_window/win32/main_window_dialog.h"
#include "platform/win32/dialog_win32.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "settings_utility/resources/resource_ids.h"

namespace kora {
namespace {

constexpr int kWindowWidth = 502;
constexpr int kWindowHeight = 348;

// The eight push buttons, drawn from the skin's button images.
constexpr int kBitmapButtons[] = {IDC_CONNECT,     IDC_SELF_TEST,   IDC_GET_STATUS, IDC_SET_STATUS,
                                  IDC_SAVE_STATUS, IDC_LOAD_STATUS, IDC_INIT_STATUS, IDC_EXIT};
constexpr const char* kButtonFace = "Arial";
constexpr int kButtonFontHeight = 15;
constexpr int kButtonTextX = 20;
constexpr int kButtonTextY = 6;
constexpr COLORREF kButtonText = RGB(150, 108, 79);
constexpr COLORREF kButtonTextDisabled = RGB(129, 129, 129);

// Drawn straight onto the background picture.
constexpr int kValueTexts[] = {IDC_FW_VERSION, IDC_LANGUAGE};
constexpr int kHeadings[] = {IDC_INFO_HEADING, IDC_SETTING_HEADING};

template <std::size_t N>
bool IsOneOf(int id, const int (&ids)[N]) {
  return std::find(ids, ids + N, id) != ids + N;
}

}  // namespace

MainWindowDialog::MainWindowDialog(HINSTANCE instance)
    : instance_(instance),
      icon_(::LoadIconA(instance, MAKEINTRESOURCEA(IDI_APP))),
      background_(instance, IDB_MAIN_BACKGROUND) {}

void MainWindowDialog::Bind(MainWindow& presenter) { presenter_ = &presenter; }

INT_PTR CALLBACK MainWindowDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
  auto* view = platform::win32::DialogView<MainWindowDialog>(hwnd, message, lParam);
  if (message == WM_INITDIALOG && view != nullptr) view->hwnd_ = hwnd;
  if (view == nullptr || view->presenter_ == nullptr) return FALSE;
  return view->HandleMessage(message, wParam, lParam);
}

INT_PTR MainWindowDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return background_.Paint(reinterpret_cast<HDC>(wParam)) ? TRUE : FALSE;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      // A dialog procedure answers the control-colour messages with the brush itself.
      return reinterpret_cast<INT_PTR>(
          ControlColours(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    case WM_DRAWITEM:
      return BitmapButtonWin32::ReflectDrawItem(lParam) ? TRUE : FALSE;
    case WM_PAINT:
      return PaintMinimised() ? TRUE : FALSE;
    case WM_QUERYDRAGICON:
      return reinterpret_cast<INT_PTR>(icon_);
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

HBRUSH MainWindowDialog::ControlColours(HDC dc, HWND control) const {
  const int id = ::GetDlgCtrlID(control);
  if (IsOneOf(id, kHeadings)) return TransparentControlColours(dc, true);
  if (IsUnaddressedLabel(control) || IsOneOf(id, kValueTexts)) return TransparentControlColours(dc, false);
  return nullptr;
}

bool MainWindowDialog::PaintMinimised() { return platform::win32::PaintIconWhenMinimised(hwnd_, icon_); }

void MainWindowDialog::PrepareWindow() {
  // Without icon 128 the window keeps the default icon.
  if (icon_ != nullptr) {
    ::SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
    ::SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));
  }
  ::SetWindowPos(hwnd_, nullptr, 0, 0, kWindowWidth, kWindowHeight, SWP_NOMOVE | SWP_NOZORDER);

  headingFont_ = CreateHeadingFont(hwnd_);
  if (headingFont_) {
    for (int id : kHeadings)
      ::SendMessageA(Control(id), WM_SETFONT, reinterpret_cast<WPARAM>(headingFont_.Get()), TRUE);
  }

  // The presenter sets the captions next; until then each button keeps its template text.
  buttons_.clear();
  for (int id : kBitmapButtons) {
    auto button = std::make_unique<BitmapButtonWin32>(instance_);
    button->LoadImages(IDB_BUTTON_NORMAL, IDB_BUTTON_PRESSED, IDB_BUTTON_DISABLED);
    button->SetFont(kButtonFace, kButtonFontHeight);
    button->SetTextOrigin(kButtonTextX, kButtonTextY);
    button->SetTextColours(kButtonText, kButtonTextDisabled);
    if (button->Attach(hwnd_, id)) buttons_.push_back(std::move(button));
  }
}

void MainWindowDialog::EnableControl(int id, bool enable) { ::EnableWindow(Control(id), enable); }

void MainWindowDialog::SetControlText(int id, const std::string& text) {
  ::SetDlgItemTextA(hwnd_, id, text.c_str());
  if (IsOneOf(id, kValueTexts) || IsOneOf(id, kHeadings)) RefreshUnderControl(Control(id));
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

bool MainWindowDialog::ShowFileDialog(const FileDialogSpec& dialog, std::string& path) {
  // "Description|pattern|" pairs become the zero-separated, doubly zero-ended list.
  std::string filter = dialog.filter;
  std::replace(filter.begin(), filter.end(), '|', '\0');
  filter.push_back('\0');
  std::vector<char> name(std::max<std::size_t>(MAX_PATH, dialog.initialName.size() + 1), '\0');
  std::copy(dialog.initialName.begin(), dialog.initialName.end(), name.begin());

  OPENFILENAMEA ofn = {};
  // The record size of the oldest common dialog library, so that Windows 9x accepts it.
  ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  ofn.hwndOwner = hwnd_;
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = name.data();
  ofn.nMaxFile = static_cast<DWORD>(name.size());
  ofn.lpstrTitle = dialog.title.empty() ? nullptr : dialog.title.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | (dialog.overwritePrompt ? OFN_OVERWRITEPROMPT : 0) |
              (dialog.createPrompt ? OFN_CREATEPROMPT : 0) | (dialog.fileMustExist ? OFN_FILEMUSTEXIST : 0);
  const BOOL chosen = dialog.save ? ::GetSaveFileNameA(&ofn) : ::GetOpenFileNameA(&ofn);
  if (!chosen) return false;
  path = name.data();
  return true;
}

}  // namespace kora
