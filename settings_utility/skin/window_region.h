// The window region of a skinned window, built from its background picture: every pixel
// whose colour is not the key colour (within a tolerance) belongs to the region.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gdi.h"

namespace kora {

// The tolerance around a key colour (a COLORREF, 0x00BBGGRR). A pixel matches when each of
// its first three stored bytes lies in the window of the key byte of the same rank (low
// byte first): white accepts 239..255 and black 0..16 in every channel, any other key
// k - 17 .. k + 17 per channel, clamped to 0..255.
class KeyColourMatch {
 public:
  explicit KeyColourMatch(std::uint32_t keyColour);
  bool Matches(const std::uint8_t* pixel) const;

 private:
  std::uint8_t low_[3];
  std::uint8_t high_[3];
};

// An RGNDATA being filled: the 32-byte header (rectangle type, count, size, bounds) and
// 16-byte rectangles. Room starts at 100 rectangles and grows by 100 when full, so a
// picture of many short runs costs few reallocations.
class RegionDataBuffer {
 public:
  static constexpr std::size_t kGrowthRectangles = 100;

  RegionDataBuffer();
  void Add(int left, int top, int right, int bottom);
  void Clear();
  std::size_t count() const { return count_; }
  std::size_t capacity() const { return capacity_; }
  // The RGNDATA for the rectangles added so far, header filled in.
  const std::uint8_t* Data();
  std::size_t Size() const;

 private:
  std::vector<std::uint8_t> bytes_;
  std::size_t count_ = 0;
  std::size_t capacity_ = 0;
  int boundLeft_ = 0, boundTop_ = 0, boundRight_ = 0, boundBottom_ = 0;
};

// ExtCreateRegion is handed at most this many rectangles at a time, because the Windows 9x
// family refuses region data of a few thousand rectangles; the partial regions are merged.
constexpr std::size_t kRectanglesPerRegion = 3000;

// The region of all pixels of the gdi's bitmap that do not match `keyColour`. With
// `collectOpaque` false the key-coloured runs are collected and the result is the full
// rectangle XOR those; with it true the other runs are collected directly; both give the
// same region. Null when the pixels cannot be copied or a region call fails; the caller
// owns the result.
std::unique_ptr<platform::Region> BuildWindowRegion(platform::RegionGdi& gdi,
                                                    std::uint32_t keyColour, bool collectOpaque);

}  // namespace kora
