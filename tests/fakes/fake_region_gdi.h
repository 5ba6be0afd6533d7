// A region seam that keeps every region as the set of pixels it covers, serves a picture
// given top row first as a padded bottom-up 32-bit DIB, checks each RGNDATA it is handed and
// records how many rectangles each ExtCreateRegion call received.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "platform/gdi.h"

namespace fakes {

using Pixel = std::pair<int, int>;  // (x, y), y = 0 the top row
using PixelSet = std::set<Pixel>;

class FakeRegion : public platform::Region {
 public:
  explicit FakeRegion(PixelSet covered) : pixels(std::move(covered)) {}
  PixelSet pixels;
};

class FakeRegionGdi : public platform::RegionGdi {
 public:
  // Each pixel as its stored bytes read little-endian: 0x00RRGGBB (blue first in memory).
  using Picture = std::vector<std::vector<std::uint32_t>>;

  explicit FakeRegionGdi(Picture rows) : picture(std::move(rows)) {}

  bool CopyTo32BitDib(platform::Dib32& dib) override {
    if (failCopy) return false;
    dib.height = static_cast<int>(picture.size());
    dib.width = picture.empty() ? 0 : static_cast<int>(picture[0].size());
    // Rows longer than the pixels, with filler that is neither key nor picture, so that a
    // walk that ignores the stride reads the wrong bytes.
    dib.stride = static_cast<std::size_t>(dib.width) * 4 + kPadBytes;
    dib.bits.assign(dib.stride * static_cast<std::size_t>(dib.height), 0xA5);
    for (int y = 0; y < dib.height; ++y) {
      std::uint8_t* row = dib.bits.data() + static_cast<std::size_t>(dib.height - 1 - y) * dib.stride;
      for (int x = 0; x < dib.width; ++x) {
        const std::uint32_t value = picture[y][x];
        for (int b = 0; b < 4; ++b) row[4 * x + b] = static_cast<std::uint8_t>(value >> (8 * b));
      }
    }
    return true;
  }

  std::unique_ptr<platform::Region> ExtCreateRegion(const std::uint8_t* data, std::size_t size) override {
    if (failExtCreate) return nullptr;
    if (size < 32) {
      ADD_FAILURE() << "RGNDATA of " << size << " bytes has no header";
      return nullptr;
    }
    const std::uint32_t headerSize = U32(data), type = U32(data + 4), count = U32(data + 8),
                        rectBytes = U32(data + 12);
    EXPECT_EQ(headerSize, 32u);
    EXPECT_EQ(type, platform::kRdhRectangles);
    EXPECT_EQ(rectBytes, count * 16);
    EXPECT_EQ(size, 32 + static_cast<std::size_t>(count) * 16);
    if (size != 32 + static_cast<std::size_t>(count) * 16) return nullptr;
    batchSizes.push_back(count);
    PixelSet covered;
    for (std::uint32_t i = 0; i < count; ++i) {
      const std::uint8_t* rect = data + 32 + 16 * i;
      const int left = I32(rect), top = I32(rect + 4), right = I32(rect + 8), bottom = I32(rect + 12);
      for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) covered.insert({x, y});
    }
    return std::make_unique<FakeRegion>(std::move(covered));
  }

  std::unique_ptr<platform::Region> CreateRectRegion(int left, int top, int right, int bottom) override {
    PixelSet covered;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) covered.insert({x, y});
    return std::make_unique<FakeRegion>(std::move(covered));
  }

  int CombineRegion(platform::Region& target, const platform::Region& other,
                    platform::RegionCombine mode) override {
    PixelSet& a = static_cast<FakeRegion&>(target).pixels;
    const PixelSet& b = static_cast<const FakeRegion&>(other).pixels;
    PixelSet out;
    for (const Pixel& p : a) {
      const bool inB = b.count(p) != 0;
      if (mode == platform::RegionCombine::Or || mode == platform::RegionCombine::Copy ||
          (mode == platform::RegionCombine::And && inB) ||
          ((mode == platform::RegionCombine::Xor || mode == platform::RegionCombine::Diff) && !inB))
        out.insert(p);
    }
    if (mode == platform::RegionCombine::Or || mode == platform::RegionCombine::Xor)
      for (const Pixel& p : b)
        if (a.count(p) == 0) out.insert(p);
    a = std::move(out);
    return a.empty() ? 1 : 3;  // NULLREGION, COMPLEXREGION
  }

  static constexpr std::size_t kPadBytes = 8;
  Picture picture;
  bool failCopy = false;
  bool failExtCreate = false;
  std::vector<std::uint32_t> batchSizes;

 private:
  static std::uint32_t U32(const std::uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
  }
  static int I32(const std::uint8_t* p) { return static_cast<int>(U32(p)); }
};

}  // namespace fakes
