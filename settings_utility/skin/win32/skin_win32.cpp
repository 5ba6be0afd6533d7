// The shared parts of the skinned windows: background picture, heading font, transparency.
#include "settings_utility/skin/win32/skin_win32.h"

#include "platform/win32/gdi_win32.h"

namespace kora {
namespace {

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

SkinBackground::SkinBackground(HINSTANCE instance, int bitmapId)
    : bitmap_(::LoadImageA(instance, MAKEINTRESOURCEA(bitmapId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)) {
  BITMAP size = {};
  if (bitmap_ && ::GetObjectA(bitmap_.Get(), sizeof size, &size) != 0) {
    width_ = size.bmWidth;
    height_ = size.bmHeight;
  }
}

bool SkinBackground::Paint(HDC dc) const {
  if (!bitmap_) return false;
  platform::win32::MemoryDc source(::CreateCompatibleDC(dc));
  if (!source) return false;
  platform::win32::SelectedObject holds(source.Get(), bitmap_.Get());
  return ::BitBlt(dc, 0, 0, width_, height_, source.Get(), 0, 0, SRCCOPY) != FALSE;
}

platform::win32::GdiObject CreateHeadingFont(HWND window) {
  int pixelsPerInch = 96;
  {
    WindowDc dc(window);
    if (dc.Get() != nullptr) pixelsPerInch = ::GetDeviceCaps(dc.Get(), LOGPIXELSY);
  }
  return platform::win32::GdiObject(::CreateFontA(
      -::MulDiv(kHeadingPoints, pixelsPerInch, 72), 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE,
      DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
      DEFAULT_PITCH | FF_DONTCARE, kHeadingFace));
}

HBRUSH TransparentControlColours(HDC dc, bool heading) {
  ::SetBkMode(dc, TRANSPARENT);
  if (heading) ::SetTextColor(dc, kHeadingColour);
  return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

bool IsUnaddressedLabel(HWND control) {
  const int id = ::GetDlgCtrlID(control);
  return id == -1 || id == 0xFFFF;
}

void RefreshUnderControl(HWND control) {
  HWND parent = ::GetParent(control);
  if (parent == nullptr) return;
  RECT area;
  if (!::GetWindowRect(control, &area)) return;
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&area), 2);
  // The picture goes back at once; the controls in that area paint over it afterwards.
  ::RedrawWindow(parent, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_ERASENOW);
}

}  // namespace kora
