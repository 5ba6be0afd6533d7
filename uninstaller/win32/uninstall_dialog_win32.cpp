// The uninstaller's Win32 dialog and its check list.
#include "uninstaller/win32/uninstall_dialog_win32.h"
#include "platform/win32/dialog_win32.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "platform/win32/gdi_win32.h"
#include "uninstaller/uninstall_dialog_ids.h"

namespace uninstaller {
namespace {

// The view of a check list, kept with the list box while it is subclassed.
const char kViewProperty[] = "KitUninstallDialogView";

// A window's device context from GetDC, released with its owner.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
  ~WindowDc() {
    if (dc_ != nullptr) ::ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// BeginPaint / EndPaint.
}  // namespace

UninstallDialogWin32::UninstallDialogWin32(HINSTANCE instance) : instance_(instance) {}

INT_PTR CALLBACK UninstallDialogWin32::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_MEASUREITEM) {
    // Sent while the controls are created, before WM_INITDIALOG introduces the view.
    auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
    if (item->CtlID != IDC_PRINTER_CHECK_LIST) return FALSE;
    MeasureCheckListEntry(hwnd, *item);
    return TRUE;
  }
  auto* view = platform::win32::DialogView<UninstallDialogWin32>(hwnd, message, lParam);
  if (message == WM_INITDIALOG && view != nullptr) view->hwnd_ = hwnd;
  if (view == nullptr || view->presenter_ == nullptr) return FALSE;
  return view->HandleMessage(message, wParam, lParam);
}

INT_PTR UninstallDialogWin32::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      HWND list = Control(IDC_PRINTER_CHECK_LIST);
      ::SetPropA(list, kViewProperty, this);
      listBoxProc_ = reinterpret_cast<WNDPROC>(
          ::SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&UninstallDialogWin32::CheckListProc)));
      presenter_->OnInitDialog();
      return TRUE;
    }
    case WM_TIMER:
      presenter_->OnTimer(static_cast<unsigned>(wParam));
      return TRUE;
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      const WORD code = HIWORD(wParam);
      if (id == IDC_PRINTER_CHECK_LIST && code == kCheckListCheckChanged) {
        presenter_->OnCheckChanged();
      } else if (id == IDC_UNINSTALL_BUTTON && code == BN_CLICKED) {
        presenter_->OnUninstall();
      } else if (id == IDCANCEL) {
        presenter_->OnCancel();
      } else {
        return FALSE;
      }
      return TRUE;
    }
    case WM_CLOSE:
      presenter_->OnCancel();
      return TRUE;
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item->CtlID != IDC_PRINTER_CHECK_LIST) return FALSE;
      DrawCheckListEntry(*item);
      return TRUE;
    }
    case WM_PAINT:
      return PaintMinimised() ? TRUE : FALSE;
    case WM_QUERYDRAGICON:
      return reinterpret_cast<INT_PTR>(bigIcon_);
    case WM_DESTROY: {
      HWND list = Control(IDC_PRINTER_CHECK_LIST);
      if (listBoxProc_ != nullptr) {
        ::SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(listBoxProc_));
        listBoxProc_ = nullptr;
      }
      ::RemovePropA(list, kViewProperty);
      return FALSE;
    }
    case WM_NCDESTROY:
      hwnd_ = nullptr;
      return FALSE;
    default:
      return FALSE;
  }
}

HWND UninstallDialogWin32::Control(int id) const { return ::GetDlgItem(hwnd_, id); }

// ---- The check list ----

void UninstallDialogWin32::MeasureCheckListEntry(HWND dialog, MEASUREITEMSTRUCT& item) {
  // One line of the dialog's font with a little room for the check box's frame.
  HFONT font = reinterpret_cast<HFONT>(::SendMessageA(dialog, WM_GETFONT, 0, 0));
  UINT height = 16;
  WindowDc dc(dialog);
  if (dc.Get() != nullptr && font != nullptr) {
    platform::win32::SelectedObject selected(dc.Get(), font);
    TEXTMETRICA metrics = {};
    if (::GetTextMetricsA(dc.Get(), &metrics)) height = static_cast<UINT>(metrics.tmHeight) + 3;
  }
  item.itemHeight = height;
}

void UninstallDialogWin32::DrawCheckListEntry(const DRAWITEMSTRUCT& item) {
  if (item.itemID == static_cast<UINT>(-1)) {
    // An empty list that has the focus: only the focus rectangle.
    if (item.itemAction & ODA_FOCUS) ::DrawFocusRect(item.hDC, &item.rcItem);
    return;
  }
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  const bool checked = item.itemData != 0;
  RECT box = item.rcItem;
  const int side = std::max<int>(0, (item.rcItem.bottom - item.rcItem.top) - 2);
  box.left += 1;
  box.top += 1;
  box.right = box.left + side;
  box.bottom = box.top + side;
  // The check box stays on the window's colour; only the text is highlighted.
  ::FillRect(item.hDC, &item.rcItem, ::GetSysColorBrush(COLOR_WINDOW));
  ::DrawFrameControl(item.hDC, &box, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT | (checked ? DFCS_CHECKED : 0));

  RECT text = item.rcItem;
  text.left = box.right + 3;
  ::FillRect(item.hDC, &text, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  const LRESULT length = ::SendMessageA(item.hwndItem, LB_GETTEXTLEN, item.itemID, 0);
  if (length > 0) {
    std::vector<char> name(static_cast<std::size_t>(length) + 1, '\0');
    ::SendMessageA(item.hwndItem, LB_GETTEXT, item.itemID, reinterpret_cast<LPARAM>(name.data()));
    const int oldMode = ::SetBkMode(item.hDC, TRANSPARENT);
    const COLORREF oldColour = ::SetTextColor(item.hDC, ::GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT label = text;
    label.left += 2;
    ::DrawTextA(item.hDC, name.data(), static_cast<int>(length), &label,
                DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    ::SetTextColor(item.hDC, oldColour);
    ::SetBkMode(item.hDC, oldMode);
  }
  if (item.itemState & ODS_FOCUS) ::DrawFocusRect(item.hDC, &text);
}

LRESULT CALLBACK UninstallDialogWin32::CheckListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* view = static_cast<UninstallDialogWin32*>(::GetPropA(list, kViewProperty));
  if (view == nullptr || view->listBoxProc_ == nullptr) return ::DefWindowProcA(list, message, wParam, lParam);
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      const int x = static_cast<short>(LOWORD(lParam));
      const LRESULT hit = ::SendMessageA(list, LB_ITEMFROMPOINT, 0, lParam);
      const int index = static_cast<short>(LOWORD(hit));
      // HIWORD set: the point lies below the last entry.
      if (HIWORD(hit) == 0 && index >= 0) {
        RECT entry = {};
        if (::SendMessageA(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&entry)) != LB_ERR &&
            x < entry.left + (entry.bottom - entry.top)) {
          view->ToggleEntry(index);
        }
      }
      break;
    }
    case WM_KEYDOWN:
      if (wParam == VK_SPACE) {
        const LRESULT current = ::SendMessageA(list, LB_GETCURSEL, 0, 0);
        if (current != LB_ERR) view->ToggleEntry(static_cast<int>(current));
        return 0;
      }
      break;
    case WM_CHAR:
      if (wParam == ' ') return 0;  // handled on WM_KEYDOWN; no type-ahead search on a blank
      break;
    default:
      break;
  }
  return ::CallWindowProcA(view->listBoxProc_, list, message, wParam, lParam);
}

void UninstallDialogWin32::ToggleEntry(int index) {
  HWND list = Control(IDC_PRINTER_CHECK_LIST);
  if (!::IsWindowEnabled(list)) return;
  const LRESULT data = ::SendMessageA(list, LB_GETITEMDATA, index, 0);
  if (data == LB_ERR) return;
  ::SendMessageA(list, LB_SETITEMDATA, index, data != 0 ? 0 : 1);
  RECT entry = {};
  if (::SendMessageA(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&entry)) != LB_ERR) {
    ::InvalidateRect(list, &entry, FALSE);
  }
  ::SendMessageA(hwnd_, WM_COMMAND, MAKEWPARAM(IDC_PRINTER_CHECK_LIST, kCheckListCheckChanged),
                 reinterpret_cast<LPARAM>(list));
}

void UninstallDialogWin32::AddCheckListEntry(const std::string& text) {
  HWND list = Control(IDC_PRINTER_CHECK_LIST);
  // The list sorts (LBS_SORT): the entry's index is where it landed.
  const LRESULT index = ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  if (index >= 0) ::SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(index), 0);
}

int UninstallDialogWin32::CheckListCount() {
  const LRESULT count = ::SendMessageA(Control(IDC_PRINTER_CHECK_LIST), LB_GETCOUNT, 0, 0);
  return count == LB_ERR ? 0 : static_cast<int>(count);
}

std::string UninstallDialogWin32::CheckListText(int index) {
  HWND list = Control(IDC_PRINTER_CHECK_LIST);
  const LRESULT length = ::SendMessageA(list, LB_GETTEXTLEN, index, 0);
  if (length == LB_ERR) return std::string();
  std::vector<char> text(static_cast<std::size_t>(length) + 1, '\0');
  const LRESULT copied = ::SendMessageA(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  return copied == LB_ERR ? std::string() : std::string(text.data(), static_cast<std::size_t>(copied));
}

bool UninstallDialogWin32::IsCheckListEntryChecked(int index) {
  const LRESULT data = ::SendMessageA(Control(IDC_PRINTER_CHECK_LIST), LB_GETITEMDATA, index, 0);
  return data != LB_ERR && data != 0;
}

// ---- The rest of the view ----

int UninstallDialogWin32::ShowMessage(const std::string& text, const std::string& caption, std::uint32_t style) {
  return ::MessageBoxA(hwnd_, text.c_str(), caption.c_str(), style);
}

void UninstallDialogWin32::ShowStatus(const std::string& text) {
  HWND status = Control(IDC_UNINSTALL_STATUS);
  ::SetWindowTextA(status, text.c_str());
  // The removal blocks this thread between steps: paint now, not when it is over.
  ::UpdateWindow(status);
}

void UninstallDialogWin32::EndProgram(int exitCode) { ::ExitProcess(static_cast<UINT>(exitCode)); }

void UninstallDialogWin32::StepProgress() {
  HWND progress = Control(IDC_UNINSTALL_PROGRESS);
  ::SendMessageA(progress, PBM_STEPIT, 0, 0);
  ::UpdateWindow(progress);
}

void UninstallDialogWin32::SetProgressPosition(int position) {
  HWND progress = Control(IDC_UNINSTALL_PROGRESS);
  ::SendMessageA(progress, PBM_SETPOS, static_cast<WPARAM>(position), 0);
  ::UpdateWindow(progress);
}

void UninstallDialogWin32::ShowWaitCursor(bool wait) {
  // System cursors are shared: nothing to release.
  ::SetCursor(::LoadCursorA(nullptr, wait ? IDC_WAIT : IDC_ARROW));
}

void UninstallDialogWin32::CloseDialog() { ::EndDialog(hwnd_, IDOK); }

void UninstallDialogWin32::SetIcons() {
  bigIcon_ = static_cast<HICON>(::LoadImageA(instance_, MAKEINTRESOURCEA(IDI_UNINSTALLER), IMAGE_ICON,
                                             ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON), LR_SHARED));
  smallIcon_ = static_cast<HICON>(::LoadImageA(instance_, MAKEINTRESOURCEA(IDI_UNINSTALLER), IMAGE_ICON,
                                               ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON),
                                               LR_SHARED));
  ::SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
  ::SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
}

void UninstallDialogWin32::SetProgressRange(int low, int high) {
  ::SendMessageA(Control(IDC_UNINSTALL_PROGRESS), PBM_SETRANGE, 0, MAKELPARAM(low, high));
}

void UninstallDialogWin32::SetProgressStep(int step) {
  ::SendMessageA(Control(IDC_UNINSTALL_PROGRESS), PBM_SETSTEP, static_cast<WPARAM>(step), 0);
}

void UninstallDialogWin32::StartTimer(unsigned id, unsigned periodMs) { ::SetTimer(hwnd_, id, periodMs, nullptr); }

void UninstallDialogWin32::StopTimer(unsigned id) { ::KillTimer(hwnd_, id); }

void UninstallDialogWin32::EnableControl(int id, bool enable) { ::EnableWindow(Control(id), enable ? TRUE : FALSE); }

void UninstallDialogWin32::EndDialog(int result) { ::EndDialog(hwnd_, result); }

bool UninstallDialogWin32::PaintMinimised() { return platform::win32::PaintIconWhenMinimised(hwnd_, bigIcon_); }

}  // namespace uninstaller
