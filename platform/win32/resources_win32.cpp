// Win32 resources adapter. A loaded resource belongs to the module and needs no release
// (FreeResource is a no-op on 32-bit Windows); its bytes are copied out.
#include "platform/win32/resources_win32.h"

#include <windows.h>

namespace platform {

bool Win32Resources::LoadBinary(int id, const std::string& type, std::vector<std::uint8_t>& bytes) {
  HMODULE module = ::GetModuleHandleA(nullptr);
  HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(id), type.c_str());
  if (found == nullptr) return false;
  HGLOBAL loaded = ::LoadResource(module, found);
  if (loaded == nullptr) return false;
  const DWORD size = ::SizeofResource(module, found);
  const auto* data = static_cast<const std::uint8_t*>(::LockResource(loaded));
  if (data == nullptr && size != 0) return false;
  bytes.assign(data, data + size);
  return true;
}

}  // namespace platform
