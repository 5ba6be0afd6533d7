// Win32 adapter of the resources seam: binary resources of the running program's own module.
#pragma once
#include "platform/resources.h"

namespace platform {

class Win32Resources : public Resources {
 public:
  bool LoadBinary(int id, const std::string& type, std::vector<std::uint8_t>& bytes) override;
};

}  // namespace platform
