// Registry seam: one call per RegOpenKeyExA / RegCreateKeyExA / RegQueryInfoKeyA /
// RegQueryValueExA / RegSetValueExA / RegDeleteKeyA, and SHDeleteKeyA. A key is closed when its
// owner is destroyed.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

enum class RegistryRoot { CurrentUser, LocalMachine };

constexpr std::uint32_t kRegNone = 0;
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;
constexpr std::uint32_t kRegDwordBigEndian = 5;
constexpr std::uint32_t kRegLink = 6;
constexpr std::uint32_t kRegMultiSz = 7;

constexpr std::uint32_t kKeyRead = 0x20019;
constexpr std::uint32_t kKeyWrite = 0x20006;
constexpr std::uint32_t kKeyAllAccess = 0xF003F;
constexpr std::uint32_t kKeySetValue = 0x0002;
constexpr std::uint32_t kKeyCreateSubKey = 0x0004;

// A typed registry buffer: type code, size (= data.size()) and the bytes as stored.
struct RegistryValue {
  std::uint32_t type = kRegNone;
  std::vector<std::uint8_t> data;
};

struct RegistryKeyInfo {
  std::uint32_t subkeyCount = 0;
  std::uint32_t valueCount = 0;
};

class RegistryKey {
 public:
  virtual ~RegistryKey() = default;  // RegCloseKey
  // RegQueryInfoKeyA.
  virtual long QueryInfo(RegistryKeyInfo& info) = 0;
  // RegQueryValueExA into a buffer of bufferBytes: a larger value gives kErrorMoreData
  // and leaves `value` untouched.
  virtual long QueryValue(const std::string& name, std::size_t bufferBytes, RegistryValue& value) = 0;
  // RegSetValueExA.
  virtual long SetValue(const std::string& name, const RegistryValue& value) = 0;
  // RegEnumKeyExA with a name buffer of nameChars characters (without the zero).
  virtual long EnumSubkey(std::uint32_t index, std::size_t nameChars, std::string& name) = 0;
};

class Registry {
 public:
  virtual ~Registry() = default;
  // RegOpenKeyExA.
  virtual long OpenKey(RegistryRoot root, const std::string& path, std::uint32_t access,
                       std::unique_ptr<RegistryKey>& key) = 0;
  // RegCreateKeyExA, REG_OPTION_NON_VOLATILE.
  virtual long CreateKey(RegistryRoot root, const std::string& path, std::uint32_t access,
                         std::unique_ptr<RegistryKey>& key) = 0;
  // SHDeleteKeyA: the key with everything below it. The adapter binds it at run time, so that
  // a program that never deletes keys does not need the shell utility library to load.
  virtual long DeleteTree(RegistryRoot root, const std::string& path) = 0;
  // RegDeleteKeyA: the key alone, refused while it has subkeys (on Windows NT).
  virtual long DeleteKey(RegistryRoot root, const std::string& path) = 0;
};

}  // namespace platform
