// Process-wide kernel objects: the single-instance mapping.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// An open kernel object; closed (CloseHandle) when destroyed.
class KernelObject {
 public:
  virtual ~KernelObject() = default;
};

struct NamedMappingResult {
  std::unique_ptr<KernelObject> object;  // null when the call failed
  long lastError = 0;                    // GetLastError right after the call
};

class ProcessServices {
 public:
  virtual ~ProcessServices() = default;
  // CreateFileMappingA on the paging file, PAGE_READWRITE, of `size` bytes.
  virtual NamedMappingResult CreateNamedSharedMemory(const std::string& name, std::uint32_t size) = 0;
};

}  // namespace platform
