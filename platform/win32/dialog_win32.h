// What every dialog view of the kit does the same way: finding its view object from the
// dialog procedure, and painting its icon while minimised.
#pragma once
#include <windows.h>

namespace platform {
namespace win32 {

// The view passed as DialogBoxParamA's parameter, kept with the dialog from WM_INITDIALOG
// on; null for the messages that arrive before it (WM_SETFONT).
template <typename View>
View* DialogView(HWND hwnd, UINT message, LPARAM lParam) {
  if (message == WM_INITDIALOG) ::SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
  return reinterpret_cast<View*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
}

// Minimised, a window shows its icon in the middle of what is left of it. False when the
// window is not minimised (or has no icon) and the default painting is to run.
inline bool PaintIconWhenMinimised(HWND hwnd, HICON icon) {
  if (!::IsIconic(hwnd) || icon == nullptr) return false;
  PAINTSTRUCT paint = {};
  const HDC dc = ::BeginPaint(hwnd, &paint);
  if (dc == nullptr) return false;
  ::SendMessageA(hwnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client = {};
  ::GetClientRect(hwnd, &client);
  const int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
  ::DrawIcon(dc, x, y, icon);
  ::EndPaint(hwnd, &paint);
  return true;
}

}  // namespace win32
}  // namespace platform
