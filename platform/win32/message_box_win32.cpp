// Win32 message box adapter.
#include "platform/win32/message_box_win32.h"

#include <windows.h>

namespace platform {

int Win32MessageBoxes::Show(const std::string& text, const std::string& title, MessageIcon icon) {
  return ::MessageBoxA(nullptr, text.c_str(), title.c_str(), MB_OK | static_cast<UINT>(icon));
}

}  // namespace platform
