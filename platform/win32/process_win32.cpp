// Win32 process services adapter.
#include "platform/win32/process_win32.h"

#include "platform/win32/handle_owner_win32.h"

namespace platform {
namespace {

class Win32KernelObject : public KernelObject {
 public:
  explicit Win32KernelObject(HANDLE handle) : handle_(handle) {}

 private:
  win32::KernelHandle handle_;
};

}  // namespace

NamedMappingResult Win32ProcessServices::CreateNamedSharedMemory(const std::string& name,
                                                                 std::uint32_t size) {
  HANDLE mapping =
      ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size, name.c_str());
  // Read at once: ERROR_ALREADY_EXISTS on a returned handle is how a second copy shows.
  NamedMappingResult result;
  result.lastError = static_cast<long>(::GetLastError());
  if (mapping != nullptr) result.object = std::make_unique<Win32KernelObject>(mapping);
  return result;
}

}  // namespace platform
