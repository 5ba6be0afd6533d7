#include "settings_utility/transports/registry_values.h"

#include <memory>

#include "platform/os_codes.h"

namespace kora {

using platform::RegistryValue;

namespace {

bool QueryValue(platform::Registry& registry, platform::RegistryRoot root,
                const std::string& keyPath, const std::string& name, std::size_t bufferBytes,
                RegistryValue& raw) {
  std::unique_ptr<platform::RegistryKey> key;
  if (registry.OpenKey(root, keyPath, platform::kKeyRead, key) != platform::kErrorSuccess || !key)
    return false;
  return key->QueryValue(name, bufferBytes, raw) == platform::kErrorSuccess;
}

bool SetValue(platform::Registry& registry, platform::RegistryRoot root, const std::string& keyPath,
              const std::string& name, const RegistryValue& value) {
  std::unique_ptr<platform::RegistryKey> key;
  if (registry.CreateKey(root, keyPath, platform::kKeyWrite, key) != platform::kErrorSuccess || !key)
    return false;
  return key->SetValue(name, value) == platform::kErrorSuccess;
}

}  // namespace

bool DwordFromValue(const RegistryValue& raw, std::uint32_t& value) {
  if (raw.type != platform::kRegDword && raw.type != platform::kRegDwordBigEndian) return false;
  if (raw.data.size() < 4) return false;
  value = static_cast<std::uint32_t>(raw.data[0]) | static_cast<std::uint32_t>(raw.data[1]) << 8 |
          static_cast<std::uint32_t>(raw.data[2]) << 16 | static_cast<std::uint32_t>(raw.data[3]) << 24;
  return true;
}

bool StringFromValue(const RegistryValue& raw, std::string& value) {
  if (raw.type != platform::kRegSz && raw.type != platform::kRegExpandSz &&
      raw.type != platform::kRegLink)
    return false;
  std::string text(raw.data.begin(), raw.data.end());
  const auto zero = text.find('\0');
  if (zero != std::string::npos) text.resize(zero);
  value = text;
  return true;
}

bool ReadRegistryDword(platform::Registry& registry, platform::RegistryRoot root,
                       const std::string& keyPath, const std::string& name, std::uint32_t& value) {
  RegistryValue raw;
  if (!QueryValue(registry, root, keyPath, name, kRegistryValueBufferBytes, raw)) return false;
  return DwordFromValue(raw, value);
}

bool ReadRegistryString(platform::Registry& registry, platform::RegistryRoot root,
                        const std::string& keyPath, const std::string& name, std::string& value,
                        std::size_t bufferBytes) {
  RegistryValue raw;
  if (!QueryValue(registry, root, keyPath, name, bufferBytes, raw)) return false;
  return StringFromValue(raw, value);
}

bool RegistryKeyHasValues(platform::Registry& registry, platform::RegistryRoot root,
                          const std::string& keyPath) {
  std::unique_ptr<platform::RegistryKey> key;
  if (registry.OpenKey(root, keyPath, platform::kKeyRead, key) != platform::kErrorSuccess || !key)
    return false;
  platform::RegistryKeyInfo info;
  return key->QueryInfo(info) == platform::kErrorSuccess && info.valueCount > 0;
}

bool ReadRegistryInt(platform::Registry& registry, platform::RegistryRoot root,
                     const std::string& keyPath, const std::string& name, int& value) {
  std::uint32_t number = 0;
  if (!ReadRegistryDword(registry, root, keyPath, name, number)) return false;
  value = static_cast<int>(number);
  return true;
}

RegistryValue MakeStringValue(const std::string& text) {
  RegistryValue value;
  value.type = platform::kRegSz;
  value.data.assign(text.begin(), text.end());
  value.data.push_back(0);
  return value;
}

RegistryValue MakeDwordValue(std::uint32_t number) {
  RegistryValue value;
  value.type = platform::kRegDword;
  value.data = {static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(number >> 8),
                static_cast<std::uint8_t>(number >> 16), static_cast<std::uint8_t>(number >> 24)};
  return value;
}

bool WriteRegistryDword(platform::Registry& registry, platform::RegistryRoot root,
                        const std::string& keyPath, const std::string& name, std::uint32_t value) {
  return SetValue(registry, root, keyPath, name, MakeDwordValue(value));
}

bool WriteRegistryString(platform::Registry& registry, platform::RegistryRoot root,
                         const std::string& keyPath, const std::string& name,
                         const std::string& value) {
  return SetValue(registry, root, keyPath, name, MakeStringValue(value));
}

}  // namespace kora
