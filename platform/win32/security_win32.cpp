// Win32 registry security adapter. An access list holds the PACL the calls use and the
// LocalAlloc'ed block it lies in (the security descriptor GetSecurityInfo returned, or the ACL
// SetEntriesInAclA built), which it frees.
#include "platform/win32/security_win32.h"

#include "platform/win32/removal_handles_win32.h"

#include <aclapi.h>

namespace platform {

namespace {

// The access-list calls are absent from Windows 95/98/Me: bound at run time so that the
// programs still load there to refuse their work.
template <typename Function>
Function Advapi(const char* name) {
  return win32::BindFunction<Function>(::GetModuleHandleA("advapi32.dll"), name);
}
using GetSecurityInfoFunction = DWORD(WINAPI*)(HANDLE, SE_OBJECT_TYPE, SECURITY_INFORMATION, PSID*, PSID*, PACL*,
                                               PACL*, PSECURITY_DESCRIPTOR*);
using SetSecurityInfoFunction = DWORD(WINAPI*)(HANDLE, SE_OBJECT_TYPE, SECURITY_INFORMATION, PSID, PSID, PACL, PACL);
using BuildAccessFunction = VOID(WINAPI*)(PEXPLICIT_ACCESS_A, LPSTR, DWORD, ACCESS_MODE, DWORD);
using SetEntriesFunction = DWORD(WINAPI*)(ULONG, PEXPLICIT_ACCESS_A, PACL, PACL*);

HKEY PredefinedHandle(PredefinedKey root) {
  switch (root) {
    case PredefinedKey::LocalMachine: return HKEY_LOCAL_MACHINE;
    case PredefinedKey::Users: return HKEY_USERS;
    case PredefinedKey::ClassesRoot: return HKEY_CLASSES_ROOT;
    case PredefinedKey::CurrentUser: return HKEY_CURRENT_USER;
  }
  return HKEY_LOCAL_MACHINE;
}

class Win32AccessList : public AccessList {
 public:
  // `acl` may be null: a key without a DACL.
  Win32AccessList(PACL acl, HLOCAL memory) : acl_(acl), memory_(memory) {}
  PACL Acl() const { return acl_; }

 private:
  PACL acl_;
  win32::LocalMemory memory_;
};

// The seam hands back only lists that this adapter made.
PACL AclOf(const AccessList& list) { return static_cast<const Win32AccessList&>(list).Acl(); }

class Win32SecurableKey : public SecurableKey {
 public:
  // A key this adapter opened: closed with its owner.
  static std::unique_ptr<Win32SecurableKey> Opened(HKEY key) {
    return std::unique_ptr<Win32SecurableKey>(new Win32SecurableKey(key, key));
  }
  // A predefined root: used, never closed.
  static std::unique_ptr<Win32SecurableKey> Predefined(HKEY root) {
    return std::unique_ptr<Win32SecurableKey>(new Win32SecurableKey(root, nullptr));
  }

  long OpenSubkey(const std::string& path, std::uint32_t access, std::unique_ptr<SecurableKey>& key) override {
    HKEY opened = nullptr;
    const LSTATUS status = ::RegOpenKeyExA(key_, path.c_str(), 0, access, &opened);
    if (status == ERROR_SUCCESS) key = Opened(opened);
    return status;
  }

  long GetDacl(std::unique_ptr<AccessList>& dacl) override {
    PACL acl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const auto getSecurityInfo = Advapi<GetSecurityInfoFunction>("GetSecurityInfo");
    if (!getSecurityInfo) return ERROR_CALL_NOT_IMPLEMENTED;
    const DWORD status = getSecurityInfo(key_, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                         &acl, nullptr, &descriptor);
    if (status != ERROR_SUCCESS) return static_cast<long>(status);
    dacl = std::make_unique<Win32AccessList>(acl, descriptor);
    return ERROR_SUCCESS;
  }

  long SetDacl(const AccessList& dacl) override {
    const auto setSecurityInfo = Advapi<SetSecurityInfoFunction>("SetSecurityInfo");
    if (!setSecurityInfo) return ERROR_CALL_NOT_IMPLEMENTED;
    return static_cast<long>(setSecurityInfo(key_, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                             AclOf(dacl), nullptr));
  }

 private:
  Win32SecurableKey(HKEY key, HKEY owned) : key_(key), owned_(owned) {}

  HKEY key_;
  win32::RegistryKeyHandle owned_;  // empty for a predefined root
};

}  // namespace

std::unique_ptr<SecurableKey> Win32RegistrySecurity::Root(PredefinedKey root) {
  return Win32SecurableKey::Predefined(PredefinedHandle(root));
}

long Win32RegistrySecurity::ConnectRegistry(const std::string& computer, PredefinedKey root,
                                            std::unique_ptr<SecurableKey>& key) {
  HKEY connected = nullptr;
  const LSTATUS status = ::RegConnectRegistryA(computer.c_str(), PredefinedHandle(root), &connected);
  if (status == ERROR_SUCCESS) key = Win32SecurableKey::Opened(connected);
  return status;
}

long Win32RegistrySecurity::MergeEntries(const ExplicitAccess& entry, const AccessList& old,
                                            std::unique_ptr<AccessList>& merged) {
  std::string trustee = entry.trusteeName;  // BuildExplicitAccessWithNameA takes LPSTR
  EXPLICIT_ACCESS_A access = {};
  const auto buildAccess = Advapi<BuildAccessFunction>("BuildExplicitAccessWithNameA");
  const auto setEntries = Advapi<SetEntriesFunction>("SetEntriesInAclA");
  if (!buildAccess || !setEntries) return ERROR_CALL_NOT_IMPLEMENTED;
  buildAccess(&access, &trustee[0], entry.permissions, static_cast<ACCESS_MODE>(entry.mode), entry.inheritance);
  PACL result = nullptr;
  const DWORD status = setEntries(1, &access, AclOf(old), &result);
  if (status != ERROR_SUCCESS) return static_cast<long>(status);
  merged = std::make_unique<Win32AccessList>(result, result);
  return ERROR_SUCCESS;
}

}  // namespace platform
