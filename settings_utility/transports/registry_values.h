// Typed reads and writes of single registry values through a RegistryValue buffer.
// A read that fails for any reason (key or value missing, wrong type, value larger than the
// buffer) leaves its target unchanged.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/registry.h"

namespace kora {

// The read buffer: a value larger than this is not taken. 256 bytes hold the longest text
// the utility keeps (a 255-character device path or host name with its zero).
constexpr std::size_t kRegistryValueBufferBytes = 256;

// Accepts REG_DWORD and REG_DWORD_BIG_ENDIAN and takes their first four bytes as stored.
bool ReadRegistryDword(platform::Registry& registry, platform::RegistryRoot root,
                       const std::string& keyPath, const std::string& name, std::uint32_t& value);
// Accepts REG_SZ, REG_EXPAND_SZ and REG_LINK; the text ends at the first zero byte.
bool ReadRegistryString(platform::Registry& registry, platform::RegistryRoot root,
                        const std::string& keyPath, const std::string& name, std::string& value,
                        std::size_t bufferBytes = kRegistryValueBufferBytes);

// True when the key can be opened for reading and holds at least one value.
bool RegistryKeyHasValues(platform::Registry& registry, platform::RegistryRoot root,
                          const std::string& keyPath);
// A REG_DWORD read into an int member; false (member unchanged) when it cannot be read.
bool ReadRegistryInt(platform::Registry& registry, platform::RegistryRoot root,
                     const std::string& keyPath, const std::string& name, int& value);

// Create the key when missing (KEY_WRITE, non-volatile) and set one value. Strings are
// stored as REG_SZ with their terminating zero byte.
bool WriteRegistryDword(platform::Registry& registry, platform::RegistryRoot root,
                        const std::string& keyPath, const std::string& name, std::uint32_t value);
bool WriteRegistryString(platform::Registry& registry, platform::RegistryRoot root,
                         const std::string& keyPath, const std::string& name,
                         const std::string& value);

// The value's bytes as a REG_SZ / REG_DWORD value.
platform::RegistryValue MakeStringValue(const std::string& text);
platform::RegistryValue MakeDwordValue(std::uint32_t value);

// Interpretations of an already fetched value; false when the type does not fit.
bool DwordFromValue(const platform::RegistryValue& raw, std::uint32_t& value);
bool StringFromValue(const platform::RegistryValue& raw, std::string& value);

}  // namespace kora
