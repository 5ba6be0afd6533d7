// The port settings dialog's Win32 view and prompt: the dialog procedure forwards, the view
// methods are one window call each.
#include "settings_utility/main_window/win32/port_settings_dialog_win32.h"
#include "platform/win32/dialog_win32.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/win32/gdi_win32.h"
#include "settings_utility/resources/resource_ids.h"
#include "settings_utility/skin/window_region.h"

namespace kora {
namespace {

// The radio group in template order: the position of a button is its interface number.
constexpr int kInterfaceButtons[] = {IDC_PS_SERIAL, IDC_PS_PARALLEL, IDC_PS_USB, IDC_PS_ETHERNET};

constexpr int kWindowWidth = 556;
constexpr int kWindowHeight = 388;

// Outside its shape the background picture is pure green.
constexpr COLORREF kShapeKey = RGB(0, 255, 0);

constexpr const char* kButtonFace = "Arial";
constexpr int kButtonFontHeight = 14;
constexpr int kButtonTextY = 6;
constexpr COLORREF kButtonText = RGB(0, 88, 38);
constexpr COLORREF kButtonTextDisabled = RGB(129, 129, 129);

// Drawn straight onto the background picture: the interface buttons, the frame and the labels.
constexpr int kTransparentControls[] = {IDC_PS_SERIAL,      IDC_PS_USB,          IDC_PS_ETHERNET,
                                        IDC_PS_PARALLEL,    IDC_PS_FRAME,        IDC_PS_PORT_LABEL,
                                        IDC_PS_BAUD_LABEL,  IDC_PS_BITS_LABEL,   IDC_PS_PARITY_LABEL,
                                        IDC_PS_STOP_LABEL,  IDC_PS_FLOW_LABEL,   IDC_PS_INTERFACE_LABEL};

bool IsTransparent(int id) {
  return std::find(std::begin(kTransparentControls), std::end(kTransparentControls), id) !=
         std::end(kTransparentControls);
}

}  // namespace

PortSettingsDialogWin32::PortSettingsDialogWin32(HINSTANCE instance)
    : instance_(instance),
      background_(instance, IDB_PORT_BACKGROUND),
      okButton_(instance),
      cancelButton_(instance) {
  if (background_.Loaded()) {
    platform::Win32RegionGdi gdi(background_.Handle());
    region_ = BuildWindowRegion(gdi, kShapeKey, false);
  }
}

void PortSettingsDialogWin32::Bind(PortSettingsDialog& presenter) { presenter_ = &presenter; }

INT_PTR CALLBACK PortSettingsDialogWin32::DialogProc(HWND hwnd, UINT message, WPARAM wParam,
                                                     LPARAM lParam) {
  auto* view = platform::win32::DialogView<PortSettingsDialogWin32>(hwnd, message, lParam);
  if (message == WM_INITDIALOG && view != nullptr) view->hwnd_ = hwnd;
  if (view == nullptr || view->presenter_ == nullptr) return FALSE;
  return view->HandleMessage(message, wParam, lParam);
}

INT_PTR PortSettingsDialogWin32::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
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
    case WM_INITDIALOG:
      presenter_->OnInitDialog();
      return TRUE;  // let the dialog manager set the focus
    case WM_COMMAND:
      presenter_->OnCommand(LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_NCDESTROY:
      headingFont_.Reset();
      hwnd_ = nullptr;
      return FALSE;
    default:
      return FALSE;
  }
}

HWND PortSettingsDialogWin32::Control(int id) const { return ::GetDlgItem(hwnd_, id); }

HBRUSH PortSettingsDialogWin32::ControlColours(HDC dc, HWND control) const {
  const int id = ::GetDlgCtrlID(control);
  if (id == IDC_PS_HEADING) return TransparentControlColours(dc, true);
  if (IsTransparent(id)) return TransparentControlColours(dc, false);
  return nullptr;
}

void PortSettingsDialogWin32::ApplyRegion() {
  if (!region_) return;  // no picture or no region: the window stays a rectangle
  auto& region = static_cast<platform::Win32Region&>(*region_);
  // Once SetWindowRgn accepts it, the region is the window's.
  if (::SetWindowRgn(hwnd_, region.Get(), TRUE)) region.Release();
  region_.reset();
}

void PortSettingsDialogWin32::SetUpButton(BitmapButtonWin32& button, int id, const char* caption,
                                          int textX) {
  button.LoadImages(IDB_BUTTON_NORMAL, IDB_BUTTON_PRESSED, IDB_BUTTON_DISABLED);
  button.SetCaption(caption);
  button.SetFont(kButtonFace, kButtonFontHeight);
  button.SetTextOrigin(textX, kButtonTextY);
  button.SetTextColours(kButtonText, kButtonTextDisabled);
  button.Attach(hwnd_, id);
}

void PortSettingsDialogWin32::PrepareWindow() {
  ApplyRegion();
  // The dialog opens over the main window's client area, one pixel lower.
  RECT placed;
  if (::GetWindowRect(hwnd_, &placed)) {
    ::SetWindowPos(hwnd_, nullptr, placed.left, placed.top + 1, kWindowWidth, kWindowHeight,
                   SWP_NOZORDER | SWP_NOACTIVATE);
  }
  headingFont_ = CreateHeadingFont(hwnd_);
  if (headingFont_) {
    ::SendMessageA(Control(IDC_PS_HEADING), WM_SETFONT,
                   reinterpret_cast<WPARAM>(headingFont_.Get()), TRUE);
  }
  SetUpButton(okButton_, IDOK, "OK", 65);
  SetUpButton(cancelButton_, IDCANCEL, "CANCEL", 55);
}

void PortSettingsDialogWin32::EnableControl(int id, bool enable) {
  ::EnableWindow(Control(id), enable);
}

void PortSettingsDialogWin32::ShowControl(int id, bool show) {
  ::ShowWindow(Control(id), show ? SW_SHOW : SW_HIDE);
}

void PortSettingsDialogWin32::SetControlText(int id, const std::string& text) {
  ::SetDlgItemTextA(hwnd_, id, text.c_str());
  if (id == IDC_PS_HEADING || IsTransparent(id)) RefreshUnderControl(Control(id));
}

void PortSettingsDialogWin32::ResetCombo(int id) {
  ::SendMessageA(Control(id), CB_RESETCONTENT, 0, 0);
}

void PortSettingsDialogWin32::AddComboString(int id, const std::string& text) {
  ::SendMessageA(Control(id), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void PortSettingsDialogWin32::SetComboSelection(int id, int index) {
  ::SendMessageA(Control(id), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int PortSettingsDialogWin32::GetComboSelection(int id) {
  return static_cast<int>(::SendMessageA(Control(id), CB_GETCURSEL, 0, 0));
}

std::string PortSettingsDialogWin32::GetComboText(int id, int index) {
  HWND combo = Control(id);
  const LRESULT length = ::SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == CB_ERR || length < 0) return std::string();
  std::vector<char> text(static_cast<std::size_t>(length) + 1, '\0');
  const LRESULT copied = ::SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                        reinterpret_cast<LPARAM>(text.data()));
  if (copied == CB_ERR || copied < 0) return std::string();
  return std::string(text.data(), static_cast<std::size_t>(copied));
}

void PortSettingsDialogWin32::SetRadioIndex(int index) {
  for (int i = 0; i < 4; ++i)
    ::CheckDlgButton(hwnd_, kInterfaceButtons[i], i == index ? BST_CHECKED : BST_UNCHECKED);
}

int PortSettingsDialogWin32::GetRadioIndex() {
  for (int i = 0; i < 4; ++i)
    if (::IsDlgButtonChecked(hwnd_, kInterfaceButtons[i]) == BST_CHECKED) return i;
  return -1;
}

void PortSettingsDialogWin32::SetIpAddress(const std::uint8_t (&fields)[4]) {
  ::SendMessageA(Control(IDC_PS_IP), IPM_SETADDRESS, 0,
                 static_cast<LPARAM>(MAKEIPADDRESS(fields[0], fields[1], fields[2], fields[3])));
}

void PortSettingsDialogWin32::GetIpAddress(std::uint8_t (&fields)[4]) {
  DWORD address = 0;
  ::SendMessageA(Control(IDC_PS_IP), IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address));
  fields[0] = static_cast<std::uint8_t>(FIRST_IPADDRESS(address));
  fields[1] = static_cast<std::uint8_t>(SECOND_IPADDRESS(address));
  fields[2] = static_cast<std::uint8_t>(THIRD_IPADDRESS(address));
  fields[3] = static_cast<std::uint8_t>(FOURTH_IPADDRESS(address));
}

void PortSettingsDialogWin32::SetTcpPortText(const std::string& text) {
  ::SetDlgItemTextA(hwnd_, IDC_PS_TCP_PORT, text.c_str());
}

std::string PortSettingsDialogWin32::GetTcpPortText() {
  HWND edit = Control(IDC_PS_TCP_PORT);
  const int length = ::GetWindowTextLengthA(edit);
  if (length <= 0) return std::string();
  std::vector<char> text(static_cast<std::size_t>(length) + 1, '\0');
  const int copied = ::GetWindowTextA(edit, text.data(), static_cast<int>(text.size()));
  return std::string(text.data(), copied > 0 ? static_cast<std::size_t>(copied) : 0);
}

void PortSettingsDialogWin32::RedrawWindow() {
  ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void PortSettingsDialogWin32::EndDialog(int result) { ::EndDialog(hwnd_, result); }

int PortSettingsDialogWin32::ShowMessage(const std::string& text, const std::string& title,
                                         platform::MessageIcon icon) {
  return ::MessageBoxA(hwnd_, text.c_str(), title.c_str(), MB_OK | static_cast<UINT>(icon));
}

PortSettingsPromptWin32::PortSettingsPromptWin32(HINSTANCE instance, platform::Registry& registry,
                                                 UsbListing& usb, std::function<HWND()> owner)
    : instance_(instance), registry_(registry), usb_(usb), owner_(std::move(owner)) {}

bool PortSettingsPromptWin32::Run(const std::string& printerName, PortChoice& choice) {
  PortSettingsDialogWin32 view(instance_);
  PortSettingsDialog presenter(view, registry_, usb_, printerName);
  view.Bind(presenter);
  HWND owner = owner_ ? owner_() : nullptr;
  // -1 (the template could not be created) counts as cancelled: nothing was chosen.
  const INT_PTR result =
      ::DialogBoxParamA(instance_, MAKEINTRESOURCEA(IDD_PORT_SETTINGS), owner,
                        PortSettingsDialogWin32::DialogProc, reinterpret_cast<LPARAM>(&view));
  if (result != IDOK) return false;
  choice = presenter.Choice();
  return true;
}

}  // namespace kora
