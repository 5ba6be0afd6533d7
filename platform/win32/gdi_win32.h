// Win32 adapter of the region seam over one source bitmap, and the small GDI owners the
// skinned windows draw with: a memory device context and an object selected into a context.
#pragma once
#include "platform/win32/handle_owner_win32.h"  // brings <winsock2.h> before <windows.h>

#include <windows.h>

#include <memory>

#include "platform/gdi.h"

namespace platform {
namespace win32 {

struct MemoryDcTraits {
  using Handle = HDC;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { ::DeleteDC(h); }
};
// CreateCompatibleDC; DeleteDC when the owner goes.
using MemoryDc = HandleOwner<MemoryDcTraits>;

// SelectObject for the owner's lifetime: the context's previous object is selected back
// when it goes, so that the object can then be deleted.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
  ~SelectedObject() {
    if (previous_ != nullptr && previous_ != HGDI_ERROR) ::SelectObject(dc_, previous_);
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;
  bool Selected() const { return previous_ != nullptr && previous_ != HGDI_ERROR; }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace win32

// A region made by this adapter: deleted with its owner unless released to a window.
class Win32Region : public Region {
 public:
  explicit Win32Region(HRGN region) : region_(region) {}
  HRGN Get() const { return static_cast<HRGN>(region_.Get()); }
  // For SetWindowRgn, after which the window owns the region.
  HRGN Release() { return static_cast<HRGN>(region_.Release()); }

 private:
  win32::GdiObject region_;
};

class Win32RegionGdi : public RegionGdi {
 public:
  // The bitmap stays the caller's; it must not be selected into a device context meanwhile.
  explicit Win32RegionGdi(HBITMAP source);

  bool CopyTo32BitDib(Dib32& dib) override;
  std::unique_ptr<Region> ExtCreateRegion(const std::uint8_t* data, std::size_t size) override;
  std::unique_ptr<Region> CreateRectRegion(int left, int top, int right, int bottom) override;
  int CombineRegion(Region& target, const Region& other, RegionCombine mode) override;

 private:
  HBITMAP source_;
};

}  // namespace platform
