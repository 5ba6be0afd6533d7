// What both skinned windows share under Win32: the background picture that replaces the
// system background, the heading font and colour, and the transparent drawing of labels
// over the picture.
#pragma once
#include "platform/win32/handle_owner_win32.h"  // brings <winsock2.h> before <windows.h>

#include <windows.h>

namespace kora {

constexpr COLORREF kHeadingColour = RGB(0, 70, 150);

// A bitmap resource loaded as a DIB section, painted at the window's top left corner.
class SkinBackground {
 public:
  SkinBackground(HINSTANCE instance, int bitmapId);
  bool Loaded() const { return static_cast<bool>(bitmap_); }
  HBITMAP Handle() const { return static_cast<HBITMAP>(bitmap_.Get()); }
  // WM_ERASEBKGND: copies the picture to (0, 0) in its own size. False when no picture was
  // loaded, so that the default erase runs.
  bool Paint(HDC dc) const;

 private:
  platform::win32::GdiObject bitmap_;
  int width_ = 0;
  int height_ = 0;
};

// "Arial Black" 9 point for the screen `window` is on; empty when it cannot be created.
platform::win32::GdiObject CreateHeadingFont(HWND window);

// WM_CTLCOLORSTATIC / WM_CTLCOLORBTN of a control drawn over the picture: transparent text
// background and the null brush, and for a heading its colour.
HBRUSH TransparentControlColours(HDC dc, bool heading);

// The id of a control as a dialog template gives it; the labels the program never addresses
// (id -1) come back as 0xFFFF from a 16-bit template field.
bool IsUnaddressedLabel(HWND control);

// A transparent control does not paint its own background: before it shows a new text,
// the window's picture under it is repainted, or the old text would stay visible.
void RefreshUnderControl(HWND control);

}  // namespace kora
