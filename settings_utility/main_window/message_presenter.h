// Anything that can show the user a modal message box with an OK button.
#pragma once
#include <string>

#include "platform/os_codes.h"

namespace kora {

class MessagePresenter {
 public:
  virtual ~MessagePresenter() = default;
  // Returns the id of the button that closed the box.
  virtual int ShowMessage(const std::string& text, const std::string& title,
                          platform::MessageIcon icon) = 0;
};

}  // namespace kora
