// Win32 adapter of the process services seam: the named mapping that keeps the utility to
// one running copy.
#pragma once
#include "platform/process.h"

namespace platform {

class Win32ProcessServices : public ProcessServices {
 public:
  NamedMappingResult CreateNamedSharedMemory(const std::string& name, std::uint32_t size) override;
};

}  // namespace platform
