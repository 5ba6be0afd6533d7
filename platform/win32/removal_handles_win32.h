// Owners and helpers shared by the removal side's adapters: a loaded library, memory the
// platform allocated with LocalAlloc, a file search, and the typed binding of a function
// that an older Windows may lack.
#pragma once
// Brings <windows.h> after <winsock2.h>, the order both need.
#include "platform/win32/handle_owner_win32.h"

namespace platform {
namespace win32 {

struct ModuleTraits {
  using Handle = HMODULE;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { ::FreeLibrary(h); }
};
using LoadedModule = HandleOwner<ModuleTraits>;

struct LocalMemoryTraits {
  using Handle = HLOCAL;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { ::LocalFree(h); }
};
using LocalMemory = HandleOwner<LocalMemoryTraits>;

struct FindTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { ::FindClose(h); }
};
using FindHandle = HandleOwner<FindTraits>;

// The error of a call that reported failure. A failure must never read as success, even
// where the platform forgot to set the last error.
inline long FailureCode() {
  const DWORD error = ::GetLastError();
  return error != ERROR_SUCCESS ? static_cast<long>(error) : static_cast<long>(ERROR_GEN_FAILURE);
}

// GetProcAddress as a typed function pointer; null when the module lacks the function.
template <typename Function>
Function BindFunction(HMODULE module, const char* name) {
  // Through a plain function pointer type: the documented way to convert FARPROC.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

}  // namespace win32
}  // namespace platform
