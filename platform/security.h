// Registry security seam: a registry key opened so that its access list can be read and
// written (on this computer or through a remote registry connection), and the merge of one
// explicit access entry into an access list. One operation per platform call; keys and
// platform-allocated access lists are released by their owners.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

enum class PredefinedKey { LocalMachine, Users, ClassesRoot, CurrentUser };

// Access rights to ask for when opening a key (READ_CONTROL, WRITE_DAC, KEY_ENUMERATE_SUB_KEYS).
constexpr std::uint32_t kReadControl = 0x20000;
constexpr std::uint32_t kWriteDac = 0x40000;
constexpr std::uint32_t kKeyEnumerateSubKeys = 0x8;

// ACCESS_MODE, with the values of the platform.
enum class AccessMode : std::uint32_t { NotUsed = 0, Grant = 1, Set = 2, Deny = 3, Revoke = 4 };
// ACE inheritance flags (CONTAINER_INHERIT_ACE).
constexpr std::uint32_t kContainerInheritAce = 0x2;

// EXPLICIT_ACCESS_A with the trustee given by account name.
struct ExplicitAccess {
  std::string trusteeName;
  std::uint32_t permissions = 0;
  AccessMode mode = AccessMode::NotUsed;
  std::uint32_t inheritance = 0;
};

// An access list (DACL) that the platform allocated: a key's DACL together with the security
// descriptor it lies in, or a merged DACL. Released (LocalFree) when destroyed; the logic only
// hands it back to the seam.
class AccessList {
 public:
  virtual ~AccessList() = default;
};

class SecurableKey {
 public:
  virtual ~SecurableKey() = default;  // RegCloseKey; a predefined root key is left open
  // RegOpenKeyExA below this key.
  virtual long OpenSubkey(const std::string& path, std::uint32_t access,
                          std::unique_ptr<SecurableKey>& key) = 0;
  // GetSecurityInfo(SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION).
  virtual long GetDacl(std::unique_ptr<AccessList>& dacl) = 0;
  // SetSecurityInfo(SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION), no owner, group or SACL.
  virtual long SetDacl(const AccessList& dacl) = 0;
};

class RegistrySecurity {
 public:
  virtual ~RegistrySecurity() = default;
  // A predefined root key of this computer (no platform call).
  virtual std::unique_ptr<SecurableKey> Root(PredefinedKey root) = 0;
  // RegConnectRegistryA: `computer` is "\\" + the computer's name.
  virtual long ConnectRegistry(const std::string& computer, PredefinedKey root,
                               std::unique_ptr<SecurableKey>& key) = 0;
  // SetEntriesInAclA with the one entry over `old`.
  virtual long MergeEntries(const ExplicitAccess& entry, const AccessList& old,
                               std::unique_ptr<AccessList>& merged) = 0;
};

}  // namespace platform
