// The registry access grant and its permission language.
#include "uninstaller/registry_access/registry_access.h"

#include <cctype>
#include <new>

#include "platform/os_codes.h"

namespace removal {

const char kGrantEveryoneFullControl[] = "/PG:Everyone:Fc";

namespace {

constexpr std::size_t kMaxKeyPathChars = 512;
constexpr std::size_t kMaxOptionChars = 127;  // a 128-character buffer with its zero
constexpr std::size_t kMaxRightsChars = 512;

constexpr std::uint32_t kRightsFullControl = 0xF003F;  // KEY_ALL_ACCESS
constexpr std::uint32_t kRightsRead = 0x20019;         // KEY_READ
constexpr std::uint32_t kRightsWrite = 0x20026;        // KEY_WRITE

char UpperAscii(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

std::string Upper(std::string text) {
  for (char& c : text) c = UpperAscii(c);
  return text;
}

bool RootFromName(const std::string& name, platform::PredefinedKey& root) {
  const std::string upper = Upper(name);
  if (upper == "HKLM" || upper == "HKEY_LOCAL_MACHINE") root = platform::PredefinedKey::LocalMachine;
  else if (upper == "HKU" || upper == "HKEY_USERS") root = platform::PredefinedKey::Users;
  else if (upper == "HKCR" || upper == "HKEY_CLASSES_ROOT") root = platform::PredefinedKey::ClassesRoot;
  else if (upper == "HKCU" || upper == "HKEY_CURRENT_USER") root = platform::PredefinedKey::CurrentUser;
  else return false;
  return true;
}

// The character at `index`, or zero past the end (as in the zero-ended text it came from).
char At(const std::string& text, std::size_t index) { return index < text.size() ? text[index] : '\0'; }

long ApplyOption(platform::RegistrySecurity& security, const std::string& keyPath, const std::string& option) {
  if (option.size() > kMaxOptionChars) return platform::kErrorInvalidParameter;

  const std::size_t firstColon = option.find(':');
  const std::string field1 = option.substr(0, firstColon);
  platform::AccessMode mode = platform::AccessMode::NotUsed;
  if (UpperAscii(At(field1, 1)) == 'P') {
    switch (UpperAscii(At(field1, 2))) {
      case 'D': mode = platform::AccessMode::Deny; break;
      case 'G': mode = platform::AccessMode::Grant; break;
      case 'R': mode = platform::AccessMode::Revoke; break;
      case 'S': mode = platform::AccessMode::Set; break;
      default: return platform::kErrorInvalidParameter;
    }
  }

  if (firstColon == std::string::npos) return platform::kErrorInvalidParameter;
  const std::size_t secondColon = option.find(':', firstColon + 1);
  const std::string trustee = option.substr(firstColon + 1, secondColon == std::string::npos
                                                                ? std::string::npos
                                                                : secondColon - firstColon - 1);
  if (trustee.empty()) return platform::kErrorInvalidParameter;

  std::uint32_t mask = 0;
  if (mode == platform::AccessMode::Grant || mode == platform::AccessMode::Set ||
      mode == platform::AccessMode::Deny) {
    if (secondColon == std::string::npos || secondColon + 1 == option.size()) {
      return platform::kErrorInvalidParameter;
    }
    // A rights text with a bad pair still grants what it names; odd length grants nothing.
    ParseRightsCodes(option.substr(secondColon + 1), mask);
  }

  std::unique_ptr<platform::SecurableKey> key;
  const long opened = OpenKeyPath(security, keyPath, key);
  if (opened != platform::kErrorSuccess) return opened;

  platform::ExplicitAccess entry;
  entry.trusteeName = trustee;
  entry.permissions = mask;
  entry.mode = mode;
  entry.inheritance = platform::kContainerInheritAce;  // subkeys inherit the entry
  return SetKeyDacl(security, *key, entry);
}

long OpenPath(platform::RegistrySecurity& security, const std::string& keyPath,
              std::unique_ptr<platform::SecurableKey>& key) {
  if (keyPath.size() > kMaxKeyPathChars) return platform::kErrorInvalidParameter;

  std::string computer;
  std::string rest;
  if (keyPath.compare(0, 2, "\\\\") == 0) {
    const std::size_t end = keyPath.find('\\', 2);
    computer = keyPath.substr(0, end);
    if (computer.size() == 2 || end == std::string::npos) return platform::kErrorInvalidParameter;
    rest = keyPath.substr(end + 1);
  } else {
    rest = keyPath.compare(0, 1, "\\") == 0 ? keyPath.substr(1) : keyPath;
  }

  const std::size_t rootEnd = rest.find('\\');
  const std::string rootName = rest.substr(0, rootEnd);
  const std::string subkey = rootEnd == std::string::npos ? std::string() : rest.substr(rootEnd + 1);
  platform::PredefinedKey root;
  if (rootName.empty() || !RootFromName(rootName, root)) return platform::kErrorInvalidParameter;
  // A remote registry offers only the machine's and the users' keys.
  if (!computer.empty() &&
      (root == platform::PredefinedKey::CurrentUser || root == platform::PredefinedKey::ClassesRoot)) {
    return platform::kErrorInvalidParameter;
  }

  std::unique_ptr<platform::SecurableKey> rootKey;
  if (computer.empty()) {
    rootKey = security.Root(root);
  } else {
    const long connected = security.ConnectRegistry(computer, root, rootKey);
    if (connected != platform::kErrorSuccess) return connected;
  }
  if (subkey.empty()) {
    key = std::move(rootKey);
    return platform::kErrorSuccess;
  }
  return rootKey->OpenSubkey(subkey, platform::kReadControl | platform::kWriteDac | platform::kKeyEnumerateSubKeys,
                             key);
}

}  // namespace

long ParseRightsCodes(const std::string& rights, std::uint32_t& mask) {
  mask = 0;
  if (rights.size() > kMaxRightsChars || rights.size() % 2 != 0) return platform::kErrorInvalidParameter;
  long status = platform::kErrorSuccess;
  for (std::size_t i = 0; i < rights.size(); i += 2) {
    const std::string code = Upper(rights.substr(i, 2));
    if (code == "FC") mask |= kRightsFullControl;
    else if (code == "RD") mask |= kRightsRead;
    else if (code == "WR") mask |= kRightsWrite;
    else status = platform::kErrorInvalidParameter;
  }
  return status;
}

long SetKeyDacl(platform::RegistrySecurity& security, platform::SecurableKey& key,
                const platform::ExplicitAccess& entry) {
  // Both lists are the platform's and are released by their owners on every path.
  std::unique_ptr<platform::AccessList> current;
  const long read = key.GetDacl(current);
  if (read != platform::kErrorSuccess) return read;
  std::unique_ptr<platform::AccessList> merged;
  const long built = security.MergeEntries(entry, *current, merged);
  if (built != platform::kErrorSuccess) return built;
  return key.SetDacl(*merged);
}

long OpenKeyPath(platform::RegistrySecurity& security, const std::string& keyPath,
                 std::unique_ptr<platform::SecurableKey>& key) {
  try {
    return OpenPath(security, keyPath, key);
  } catch (const std::bad_alloc&) {
    return platform::kErrorNotEnoughMemory;
  }
}

long ApplyKeyPermission(platform::RegistrySecurity& security, const std::string& keyPath,
                        const std::string& option) {
  try {
    return ApplyOption(security, keyPath, option);
  } catch (const std::bad_alloc&) {
    return platform::kErrorNotEnoughMemory;
  }
}

void GrantAndDeleteKey(platform::RegistrySecurity& security, platform::Registry& registry,
                       const std::string& keyPath, const std::string& localMachineSubkey) {
  ApplyKeyPermission(security, keyPath, kGrantEveryoneFullControl);
  // An empty subkey would name HKEY_LOCAL_MACHINE itself.
  if (localMachineSubkey.empty()) return;
  registry.DeleteTree(platform::RegistryRoot::LocalMachine, localMachineSubkey);
}

}  // namespace removal
