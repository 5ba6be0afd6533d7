// Reading one text value of an open registry key.
#include "uninstaller/cleanup/registry_text.h"

#include <algorithm>

#include "platform/os_codes.h"

namespace removal {

bool ReadRegistryText(platform::RegistryKey& key, const std::string& name, std::size_t bufferBytes,
                      std::string& text) {
  platform::RegistryValue value;
  if (key.QueryValue(name, bufferBytes, value) != platform::kErrorSuccess) return false;
  if (value.type != platform::kRegSz && value.type != platform::kRegExpandSz) return false;
  text.assign(value.data.begin(), std::find(value.data.begin(), value.data.end(), std::uint8_t{0}));
  return true;
}

}  // namespace removal
