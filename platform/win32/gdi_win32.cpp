// Win32 region adapter: the 32-bit DIB copy of the source bitmap and the region calls.
#include "platform/win32/gdi_win32.h"

#include <cstring>

namespace platform {

Win32RegionGdi::Win32RegionGdi(HBITMAP source) : source_(source) {}

bool Win32RegionGdi::CopyTo32BitDib(Dib32& dib) {
  BITMAP picture = {};
  if (source_ == nullptr || ::GetObjectA(source_, sizeof picture, &picture) == 0) return false;

  win32::MemoryDc target(::CreateCompatibleDC(nullptr));
  if (!target) return false;
  BITMAPINFO format = {};
  format.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  format.bmiHeader.biWidth = picture.bmWidth;
  format.bmiHeader.biHeight = picture.bmHeight;  // positive: bottom-up
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  win32::GdiObject section(::CreateDIBSection(target.Get(), &format, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!section || bits == nullptr) return false;
  win32::SelectedObject targetHolds(target.Get(), section.Get());

  win32::MemoryDc source(::CreateCompatibleDC(target.Get()));
  if (!source) return false;
  win32::SelectedObject sourceHolds(source.Get(), source_);
  ::BitBlt(target.Get(), 0, 0, picture.bmWidth, picture.bmHeight, source.Get(), 0, 0, SRCCOPY);
  // The section's memory is up to date only once GDI has finished the transfer.
  ::GdiFlush();

  dib.width = picture.bmWidth;
  dib.height = picture.bmHeight;
  dib.stride = ((static_cast<std::size_t>(picture.bmWidth) * 32 + 31) / 32) * 4;
  dib.bits.resize(dib.stride * static_cast<std::size_t>(picture.bmHeight));
  std::memcpy(dib.bits.data(), bits, dib.bits.size());
  return true;
}

std::unique_ptr<Region> Win32RegionGdi::ExtCreateRegion(const std::uint8_t* data, std::size_t size) {
  HRGN region = ::ExtCreateRegion(nullptr, static_cast<DWORD>(size), reinterpret_cast<const RGNDATA*>(data));
  if (region == nullptr) return nullptr;
  return std::make_unique<Win32Region>(region);
}

std::unique_ptr<Region> Win32RegionGdi::CreateRectRegion(int left, int top, int right, int bottom) {
  HRGN region = ::CreateRectRgn(left, top, right, bottom);
  if (region == nullptr) return nullptr;
  return std::make_unique<Win32Region>(region);
}

int Win32RegionGdi::CombineRegion(Region& target, const Region& other, RegionCombine mode) {
  HRGN into = static_cast<Win32Region&>(target).Get();
  return ::CombineRgn(into, into, static_cast<const Win32Region&>(other).Get(), static_cast<int>(mode));
}

}  // namespace platform
