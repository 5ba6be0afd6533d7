// Reading one text value of an open registry key into a buffer of a given size.
#pragma once
#include <cstddef>
#include <string>

#include "platform/registry.h"

namespace removal {

// A REG_SZ or REG_EXPAND_SZ value of at most bufferBytes bytes; the text ends at its first
// zero byte. False (text untouched) when the value is missing, larger or of another type.
bool ReadRegistryText(platform::RegistryKey& key, const std::string& name, std::size_t bufferBytes,
                      std::string& text);

}  // namespace removal
