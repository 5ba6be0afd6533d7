// Message boxes without an owner window (start-up, before any window exists).
#pragma once
#include <string>

#include "platform/os_codes.h"

namespace platform {

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // MessageBoxA(NULL, text, title, MB_OK | icon); returns the button id.
  virtual int Show(const std::string& text, const std::string& title, MessageIcon icon) = 0;
};

}  // namespace platform
