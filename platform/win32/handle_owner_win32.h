// Move-only owners for the raw Win32 handles held by the adapters and windows: kernel
// objects, registry keys, printers, sockets and GDI objects. Each closes its handle with the
// one call that matches how it was obtained.
#pragma once
#include <winsock2.h>
#include <windows.h>

#include <utility>

namespace platform {
namespace win32 {

template <typename Traits>
class HandleOwner {
 public:
  using Handle = typename Traits::Handle;

  HandleOwner() = default;
  explicit HandleOwner(Handle handle) : handle_(handle) {}
  ~HandleOwner() { Reset(); }

  HandleOwner(const HandleOwner&) = delete;
  HandleOwner& operator=(const HandleOwner&) = delete;
  HandleOwner(HandleOwner&& other) noexcept : handle_(other.Release()) {}
  HandleOwner& operator=(HandleOwner&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }

  Handle Get() const { return handle_; }
  bool Valid() const { return Traits::IsValid(handle_); }
  explicit operator bool() const { return Valid(); }

  Handle Release() { return std::exchange(handle_, Traits::Invalid()); }
  void Reset(Handle handle = Traits::Invalid()) {
    Handle old = std::exchange(handle_, handle);
    if (Traits::IsValid(old)) Traits::Close(old);
  }

 private:
  Handle handle_ = Traits::Invalid();
};

// CreateFileA reports failure as INVALID_HANDLE_VALUE, CreateFileMappingA as NULL: the owner
// treats both as "nothing held".
struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { ::CloseHandle(h); }
};

struct RegistryKeyTraits {
  using Handle = HKEY;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { ::RegCloseKey(h); }
};

struct SocketTraits {
  using Handle = SOCKET;
  static Handle Invalid() { return INVALID_SOCKET; }
  static bool IsValid(Handle h) { return h != INVALID_SOCKET; }
  static void Close(Handle h) { ::closesocket(h); }
};

// Fonts, brushes, bitmaps, regions: anything DeleteObject releases.
struct GdiObjectTraits {
  using Handle = HGDIOBJ;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { ::DeleteObject(h); }
};

using KernelHandle = HandleOwner<KernelHandleTraits>;
using RegistryKeyHandle = HandleOwner<RegistryKeyTraits>;
using SocketHandle = HandleOwner<SocketTraits>;
using GdiObject = HandleOwner<GdiObjectTraits>;

// A printer handle is a HANDLE too, but it must go back through ClosePrinter, so it has its
// own owner in spooler_win32.cpp where winspool.h is included.

}  // namespace win32
}  // namespace platform
