// BitmapButtonWin32: the owner-drawn push button of the skin. It subclasses a button of a
// dialog template (which has BS_OWNERDRAW), draws the image and caption that BitmapButton
// chooses for the button's state, and keeps its caption and the control's window text the
// same, so that what is drawn is also what screen readers and UI automation read.
#pragma once
#include "platform/win32/handle_owner_win32.h"  // brings <winsock2.h> before <windows.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "settings_utility/skin/bitmap_button.h"

namespace kora {

struct ImageListTraits {
  using Handle = HIMAGELIST;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { ::ImageList_Destroy(h); }
};
using ImageListHandle = platform::win32::HandleOwner<ImageListTraits>;

class BitmapButtonWin32 {
 public:
  explicit BitmapButtonWin32(HINSTANCE instance);
  ~BitmapButtonWin32();
  BitmapButtonWin32(const BitmapButtonWin32&) = delete;
  BitmapButtonWin32& operator=(const BitmapButtonWin32&) = delete;

  // The set-up, in the order a window uses it during its initialisation. Image ids 0 mean
  // absent; when the normal image cannot be loaded nothing changes.
  void LoadImages(int normalId, int pressedId, int disabledId);
  void SetCaption(const std::string& caption);
  void SetFont(const char* faceName, int height);
  void SetTextOrigin(int x, int y);
  void SetTextColours(COLORREF normal, COLORREF disabled);
  // Subclasses the control `controlId` of `dialog`; false when there is no such control.
  bool Attach(HWND dialog, int controlId);

  // For the owner's WM_DRAWITEM: hands the request to the subclassed button it is about.
  // True when a bitmap button drew it.
  static bool ReflectDrawItem(LPARAM drawItem);

 private:
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void Draw(const DRAWITEMSTRUCT& item);
  void Detach();

  HINSTANCE instance_;
  BitmapButton look_;
  ImageListHandle images_;
  RECT imageRect_ = {0, 0, 0, 0};
  platform::win32::GdiObject font_;
  HWND button_ = nullptr;
  WNDPROC originalProc_ = nullptr;
};

}  // namespace kora
