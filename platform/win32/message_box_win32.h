// Win32 adapter of the owner-less message boxes shown before any window exists.
#pragma once
#include "platform/message_box.h"

namespace platform {

class Win32MessageBoxes : public MessageBoxes {
 public:
  int Show(const std::string& text, const std::string& title, MessageIcon icon) override;
};

}  // namespace platform
