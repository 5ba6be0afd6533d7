// BitmapButtonWin32: image list, caption font, subclassing and the owner drawing.
#include "settings_utility/skin/win32/bitmap_button_win32.h"

#include <vector>

namespace kora {
namespace {

// The owner passes WM_DRAWITEM on to the button under this number, the offset that control
// containers conventionally use for reflected notifications.
constexpr UINT kReflectedDrawItem = 0x2000 + WM_DRAWITEM;

std::string WindowText(HWND window) {
  const int length = ::GetWindowTextLengthA(window);
  if (length <= 0) return std::string();
  std::vector<char> text(static_cast<std::size_t>(length) + 1, '\0');
  const int copied = ::GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
  return std::string(text.data(), copied > 0 ? static_cast<std::size_t>(copied) : 0);
}

}  // namespace

BitmapButtonWin32::BitmapButtonWin32(HINSTANCE instance) : instance_(instance) {}

BitmapButtonWin32::~BitmapButtonWin32() { Detach(); }

void BitmapButtonWin32::LoadImages(int normalId, int pressedId, int disabledId) {
  platform::win32::GdiObject normal(::LoadBitmapA(instance_, MAKEINTRESOURCEA(normalId)));
  if (!normal) return;
  BITMAP size = {};
  if (::GetObjectA(normal.Get(), sizeof size, &size) == 0) return;
  ImageListHandle list(::ImageList_Create(size.bmWidth, size.bmHeight, ILC_COLORDDB, 1, 2));
  if (!list) return;
  ::ImageList_Add(list.Get(), static_cast<HBITMAP>(normal.Get()), nullptr);
  for (int id : {pressedId, disabledId}) {
    if (id == 0) continue;
    // The list keeps its own copy of each image.
    platform::win32::GdiObject image(::LoadBitmapA(instance_, MAKEINTRESOURCEA(id)));
    if (image) ::ImageList_Add(list.Get(), static_cast<HBITMAP>(image.Get()), nullptr);
  }
  imageRect_ = {0, 0, size.bmWidth, size.bmHeight};
  images_ = std::move(list);
  look_.SetImageCount(::ImageList_GetImageCount(images_.Get()));
}

void BitmapButtonWin32::SetCaption(const std::string& caption) {
  look_.SetCaption(caption);
  // The window text follows through WM_SETTEXT, which the subclass turns back into the caption.
  if (button_ != nullptr) ::SetWindowTextA(button_, caption.c_str());
}

void BitmapButtonWin32::SetFont(const char* faceName, int height) {
  font_.Reset(::CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                            faceName));
}

void BitmapButtonWin32::SetTextOrigin(int x, int y) { look_.SetTextOrigin(x, y); }

void BitmapButtonWin32::SetTextColours(COLORREF normal, COLORREF disabled) {
  look_.SetTextColours(normal, disabled);
}

bool BitmapButtonWin32::Attach(HWND dialog, int controlId) {
  Detach();
  HWND button = ::GetDlgItem(dialog, controlId);
  if (button == nullptr) return false;
  ::SetWindowLongPtrA(button, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  originalProc_ = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc)));
  button_ = button;
  // One text for both: a caption set beforehand becomes the window text, otherwise the
  // template's text becomes the caption.
  if (!look_.caption().empty())
    ::SetWindowTextA(button_, look_.caption().c_str());
  else
    look_.SetCaption(WindowText(button_));
  ::InvalidateRect(button_, nullptr, TRUE);
  return true;
}

void BitmapButtonWin32::Detach() {
  if (button_ == nullptr) return;
  if (::IsWindow(button_)) {
    ::SetWindowLongPtrA(button_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(originalProc_));
    ::SetWindowLongPtrA(button_, GWLP_USERDATA, 0);
  }
  button_ = nullptr;
  originalProc_ = nullptr;
}

bool BitmapButtonWin32::ReflectDrawItem(LPARAM drawItem) {
  const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(drawItem);
  if (item == nullptr || item->CtlType != ODT_BUTTON || item->hwndItem == nullptr) return false;
  return ::SendMessageA(item->hwndItem, kReflectedDrawItem, 0, drawItem) != 0;
}

LRESULT CALLBACK BitmapButtonWin32::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<BitmapButtonWin32*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (self == nullptr) return ::DefWindowProcA(hwnd, message, wParam, lParam);
  const WNDPROC original = self->originalProc_;
  switch (message) {
    case kReflectedDrawItem:
      self->Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_SETTEXT:
      self->look_.SetCaption(lParam != 0 ? reinterpret_cast<const char*>(lParam) : "");
      break;
    case WM_NCDESTROY:
      self->Detach();
      break;
    default:
      break;
  }
  return ::CallWindowProcA(original, hwnd, message, wParam, lParam);
}

void BitmapButtonWin32::Draw(const DRAWITEMSTRUCT& item) {
  if (item.CtlType != ODT_BUTTON) return;
  HDC dc = item.hDC;
  // Without images the frame and caption fill the button as it is.
  RECT area = look_.imagesLoaded() ? imageRect_ : item.rcItem;
  if (look_.imagesLoaded()) {
    RECT now;
    ::GetWindowRect(item.hwndItem, &now);
    if (now.right - now.left != imageRect_.right || now.bottom - now.top != imageRect_.bottom)
      ::SetWindowPos(item.hwndItem, nullptr, 0, 0, imageRect_.right, imageRect_.bottom,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ::DrawFrameControl(dc, &area, DFC_BUTTON, DFCS_BUTTONPUSH);

  const bool disabled = (item.itemState & ODS_DISABLED) != 0;
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  const ButtonFace face = look_.Face(disabled, pressed);
  if (face.image >= 0) ::ImageList_Draw(images_.Get(), face.image, dc, 0, 0, ILD_NORMAL);

  const std::string& caption = look_.caption();
  if (caption.empty()) return;
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, face.textColour);
  HGDIOBJ previousFont = font_ ? ::SelectObject(dc, font_.Get()) : nullptr;
  if (face.centred) {
    ::DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &area, face.textFormat);
  } else {
    ::TextOutA(dc, face.textX, face.textY, caption.c_str(), static_cast<int>(caption.size()));
  }
  if (previousFont != nullptr) ::SelectObject(dc, previousFont);
}

}  // namespace kora
