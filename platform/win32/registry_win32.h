// Win32 adapter of the registry seam: RegOpenKeyExA, RegCreateKeyExA and the calls on the
// key they return, which is closed when its RegistryKey is destroyed; RegDeleteKeyA and
// SHDeleteKeyA.
#pragma once
#include "platform/registry.h"

namespace platform {

class Win32Registry : public Registry {
 public:
  long OpenKey(RegistryRoot root, const std::string& path, std::uint32_t access,
               std::unique_ptr<RegistryKey>& key) override;
  long CreateKey(RegistryRoot root, const std::string& path, std::uint32_t access,
                 std::unique_ptr<RegistryKey>& key) override;
  long DeleteTree(RegistryRoot root, const std::string& path) override;
  long DeleteKey(RegistryRoot root, const std::string& path) override;
};

}  // namespace platform
