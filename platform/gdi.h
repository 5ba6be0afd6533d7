// GDI seam of the window region builder: a 32-bit copy of one bitmap's pixels, and the
// region calls (ExtCreateRegion, CreateRectRgn, CombineRgn). A region is deleted
// (DeleteObject) with its owner unless it has been handed to a window.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace platform {

// Pixels of a 32-bit bottom-up DIB: `height` rows of `stride` bytes, the image's top row
// last in memory; each pixel's bytes as the DIB stores them (blue, green, red, unused).
struct Dib32 {
  int width = 0;
  int height = 0;
  std::size_t stride = 0;
  std::vector<std::uint8_t> bits;
};

// A GDI region; destroying the owner deletes it.
class Region {
 public:
  virtual ~Region() = default;
};

// CombineRgn modes.
enum class RegionCombine { And = 1, Or = 2, Xor = 3, Diff = 4, Copy = 5 };

// RGNDATAHEADER.iType for a list of rectangles.
constexpr std::uint32_t kRdhRectangles = 1;

// The region calls, over one source bitmap chosen when the adapter is made.
class RegionGdi {
 public:
  virtual ~RegionGdi() = default;
  // CreateCompatibleDC, CreateDIBSection (bottom-up, 1 plane, 32 bits, BI_RGB, the bitmap's
  // width and height) and a SRCCOPY BitBlt of the source bitmap into it; the pixels are
  // copied out and the device contexts and DIB section deleted. False when the device
  // context or the DIB section cannot be created.
  virtual bool CopyTo32BitDib(Dib32& dib) = 0;
  // ExtCreateRegion(no transform, size, data): `data` is an RGNDATA (32-byte header, then
  // 16-byte rectangles). Null when the call fails.
  virtual std::unique_ptr<Region> ExtCreateRegion(const std::uint8_t* data, std::size_t size) = 0;
  // CreateRectRgn. Null when the call fails.
  virtual std::unique_ptr<Region> CreateRectRegion(int left, int top, int right, int bottom) = 0;
  // CombineRgn(target, target, other, mode): the region type, or 0 (ERROR) on failure.
  virtual int CombineRegion(Region& target, const Region& other, RegionCombine mode) = 0;
};

}  // namespace platform
