// Win32 registry adapter: each operation is the one registry call it is named after.
#include "platform/win32/registry_win32.h"

#include <limits>
#include <utility>
#include <vector>

#include "platform/win32/handle_owner_win32.h"
#include "platform/win32/removal_handles_win32.h"

namespace platform {
namespace {

HKEY RootKey(RegistryRoot root) {
  return root == RegistryRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

bool FitsDword(std::size_t n) { return n <= std::numeric_limits<DWORD>::max(); }

class Win32RegistryKey : public RegistryKey {
 public:
  explicit Win32RegistryKey(HKEY key) : key_(key) {}

  long QueryInfo(RegistryKeyInfo& info) override {
    DWORD subkeys = 0;
    DWORD values = 0;
    LSTATUS status = ::RegQueryInfoKeyA(key_.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr,
                                        nullptr, &values, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_SUCCESS) {
      info.subkeyCount = subkeys;
      info.valueCount = values;
    }
    return status;
  }

  long QueryValue(const std::string& name, std::size_t bufferBytes, RegistryValue& value) override {
    if (!FitsDword(bufferBytes)) return ERROR_INVALID_PARAMETER;
    // With a null data pointer the call would succeed and report only the size; a buffer of
    // at least one byte keeps "bufferBytes = 0" meaning a buffer too small for any data.
    std::vector<std::uint8_t> buffer(bufferBytes == 0 ? 1 : bufferBytes);
    DWORD type = REG_NONE;
    DWORD size = static_cast<DWORD>(bufferBytes);
    LSTATUS status = ::RegQueryValueExA(key_.Get(), name.c_str(), nullptr, &type, buffer.data(), &size);
    if (status == ERROR_SUCCESS) {
      buffer.resize(size);
      value.type = type;
      value.data = std::move(buffer);
    }
    return status;
  }

  long SetValue(const std::string& name, const RegistryValue& value) override {
    if (!FitsDword(value.data.size())) return ERROR_INVALID_PARAMETER;
    return ::RegSetValueExA(key_.Get(), name.c_str(), 0, value.type,
                            value.data.empty() ? nullptr : value.data.data(),
                            static_cast<DWORD>(value.data.size()));
  }

  long EnumSubkey(std::uint32_t index, std::size_t nameChars, std::string& name) override {
    if (!FitsDword(nameChars + 1)) return ERROR_INVALID_PARAMETER;
    std::vector<char> buffer(nameChars + 1);  // the call counts the terminating zero
    DWORD length = static_cast<DWORD>(buffer.size());
    LSTATUS status = ::RegEnumKeyExA(key_.Get(), index, buffer.data(), &length, nullptr, nullptr,
                                     nullptr, nullptr);
    if (status == ERROR_SUCCESS) name.assign(buffer.data(), length);
    return status;
  }

 private:
  win32::RegistryKeyHandle key_;
};

}  // namespace

long Win32Registry::OpenKey(RegistryRoot root, const std::string& path, std::uint32_t access,
                            std::unique_ptr<RegistryKey>& key) {
  HKEY opened = nullptr;
  LSTATUS status = ::RegOpenKeyExA(RootKey(root), path.c_str(), 0, access, &opened);
  if (status == ERROR_SUCCESS) key = std::make_unique<Win32RegistryKey>(opened);
  return status;
}

long Win32Registry::CreateKey(RegistryRoot root, const std::string& path, std::uint32_t access,
                              std::unique_ptr<RegistryKey>& key) {
  HKEY created = nullptr;
  LSTATUS status = ::RegCreateKeyExA(RootKey(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                     access, nullptr, &created, nullptr);
  if (status == ERROR_SUCCESS) key = std::make_unique<Win32RegistryKey>(created);
  return status;
}

long Win32Registry::DeleteTree(RegistryRoot root, const std::string& path) {
  // Bound at run time from the shell utility library: the settings utility, which never
  // deletes keys, must still load where that library is missing (Windows 95 without it).
  using DeleteKeyFunction = LONG(WINAPI*)(HKEY, LPCSTR);
  win32::LoadedModule shell(::LoadLibraryA("shlwapi.dll"));
  if (!shell) return win32::FailureCode();
  const auto deleteKey = win32::BindFunction<DeleteKeyFunction>(shell.Get(), "SHDeleteKeyA");
  if (deleteKey == nullptr) return ERROR_PROC_NOT_FOUND;
  return deleteKey(RootKey(root), path.c_str());
}

long Win32Registry::DeleteKey(RegistryRoot root, const std::string& path) {
  return ::RegDeleteKeyA(RootKey(root), path.c_str());
}

}  // namespace platform
