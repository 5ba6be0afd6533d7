// Win32 adapter of the registry security seam: predefined roots, RegConnectRegistryA,
// RegOpenKeyExA, GetSecurityInfo / SetSecurityInfo on a key and SetEntriesInAclA.
#pragma once
#include "platform/security.h"

namespace platform {

class Win32RegistrySecurity : public RegistrySecurity {
 public:
  std::unique_ptr<SecurableKey> Root(PredefinedKey root) override;
  long ConnectRegistry(const std::string& computer, PredefinedKey root,
                       std::unique_ptr<SecurableKey>& key) override;
  long MergeEntries(const ExplicitAccess& entry, const AccessList& old,
                       std::unique_ptr<AccessList>& merged) override;
};

}  // namespace platform
