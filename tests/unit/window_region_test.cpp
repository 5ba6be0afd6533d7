// The window region of a skinned window: which colours count as the key, and that the
// region covers exactly the other pixels, however the runs are batched.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "settings_utility/skin/window_region.h"
#include "tests/fakes/fake_region_gdi.h"

namespace {

using fakes::FakeRegion;
using fakes::FakeRegionGdi;
using fakes::PixelSet;

constexpr std::uint32_t kGreen = 0x00FF00;  // RGB(0, 255, 0): the same bytes in either order

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%06X", static_cast<unsigned>(value));
  return text;
}

constexpr std::uint32_t kNearGreen = 0x10EE08;  // inside the tolerance: cut away too

// The pixels of a picture drawn in green, near green and colours far from green: what the
// region must cover.
PixelSet NonKeyPixels(const FakeRegionGdi::Picture& picture) {
  PixelSet pixels;
  for (int y = 0; y < static_cast<int>(picture.size()); ++y)
    for (int x = 0; x < static_cast<int>(picture[y].size()); ++x)
      if (picture[y][x] != kGreen && picture[y][x] != kNearGreen) pixels.insert({x, y});
  return pixels;
}

PixelSet Covered(const std::unique_ptr<platform::Region>& region) {
  return static_cast<const FakeRegion&>(*region).pixels;
}

TEST(KeyColourMatch, ToleranceWindowPerChannel) {
  struct Row {
    std::uint32_t key;
    std::uint8_t pixel[3];  // as stored: the first byte is compared with the key's low byte
    bool matches;
  } rows[] = {
      // Pure white: 239..255 in every channel, one narrower than the general rule.
      {0xFFFFFF, {239, 239, 239}, true},
      {0xFFFFFF, {255, 255, 255}, true},
      {0xFFFFFF, {238, 255, 255}, false},
      {0xFFFFFF, {255, 255, 238}, false},
      // Pure black: 0..16.
      {0x000000, {16, 16, 16}, true},
      {0x000000, {0, 17, 0}, false},
      // Green: the general rule, so its 255 channel takes 238 while white's does not.
      {kGreen, {0, 238, 0}, true},
      {kGreen, {17, 255, 0}, true},
      {kGreen, {18, 255, 0}, false},
      {kGreen, {0, 237, 0}, false},
      // A middle key 0x10F080: low byte 0x80 -> 111..145, 0xF0 -> 223..255 (clamped),
      // 0x10 -> 0..33 (clamped).
      {0x10F080, {111, 223, 0}, true},
      {0x10F080, {145, 255, 33}, true},
      {0x10F080, {110, 240, 16}, false},
      {0x10F080, {146, 240, 16}, false},
      {0x10F080, {128, 222, 16}, false},
      {0x10F080, {128, 240, 34}, false},
      // Channel order: the key's low byte goes with the first stored byte.
      {0x0000FF, {255, 0, 0}, true},
      {0x0000FF, {0, 0, 255}, false},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(kora::KeyColourMatch(row.key).Matches(row.pixel), row.matches)
        << "key " << Hex(row.key) << " pixel " << int(row.pixel[0]) << "," << int(row.pixel[1]) << ","
        << int(row.pixel[2]);
  }
}

TEST(BuildWindowRegion, CoversExactlyTheNonKeyPixelsWithEitherFlag) {
  constexpr std::uint32_t G = kGreen;
  constexpr std::uint32_t N = kNearGreen;
  constexpr std::uint32_t W = 0xFFFFFF, B = 0x203040, R = 0x0000FF;
  struct Row {
    const char* name;
    FakeRegionGdi::Picture picture;
  } rows[] = {
      // Rounded corners, a hole and a notch: rows differ top to bottom and left to right, so
      // a picture read upside down or mirrored gives another region.
      {"shaped",
       {{G, G, B, B, B, G},
        {G, B, W, R, B, B},
        {B, W, G, N, W, B},
        {B, R, W, W, B, G},
        {G, B, B, B, G, G}}},
      {"no key pixel", {{B, W, R}, {R, B, W}}},
      {"all green", {{G, N, G}, {G, G, N}}},
      {"one pixel", {{B}}},
  };
  for (const Row& row : rows) {
    for (bool collectOpaque : {false, true}) {
      SCOPED_TRACE(std::string(row.name) +
                   (collectOpaque ? ", collecting opaque runs" : ", collecting key runs"));
      FakeRegionGdi gdi(row.picture);
      std::unique_ptr<platform::Region> region = kora::BuildWindowRegion(gdi, kGreen, collectOpaque);
      ASSERT_NE(region, nullptr);
      EXPECT_EQ(Covered(region), NonKeyPixels(row.picture));
    }
  }

  // The two ends of the table, stated outright.
  FakeRegionGdi opaque({{0x123456, 0x654321}, {0x111111, 0x222222}});
  EXPECT_EQ(Covered(kora::BuildWindowRegion(opaque, kGreen, false)),
            (PixelSet{{0, 0}, {1, 0}, {0, 1}, {1, 1}}));
  FakeRegionGdi green({{G, G}, {G, G}});
  EXPECT_TRUE(Covered(kora::BuildWindowRegion(green, kGreen, false)).empty());
}

TEST(BuildWindowRegion, MergesBatchesOfAtMost3000Rectangles) {
  // One row of 6003 pixels alternating green and grey: more than 3000 runs of either kind,
  // more than one batch holds. A second row, plain, checks that the batches join up with it.
  constexpr int kWidth = 6003;
  FakeRegionGdi::Picture picture(2, std::vector<std::uint32_t>(kWidth, 0x808080));
  for (int x = 0; x < kWidth; x += 2) picture[0][x] = kGreen;
  for (bool collectOpaque : {false, true}) {
    SCOPED_TRACE(collectOpaque ? "collecting opaque runs" : "collecting key runs");
    FakeRegionGdi gdi(picture);
    std::unique_ptr<platform::Region> region = kora::BuildWindowRegion(gdi, kGreen, collectOpaque);
    ASSERT_NE(region, nullptr);
    EXPECT_EQ(Covered(region), NonKeyPixels(picture));
    ASSERT_GE(gdi.batchSizes.size(), 2u);
    EXPECT_EQ(gdi.batchSizes.front(), kora::kRectanglesPerRegion);
    for (std::uint32_t size : gdi.batchSizes) EXPECT_LE(size, kora::kRectanglesPerRegion);
  }
}

TEST(BuildWindowRegion, NoRegionWhenAGdiCallFails) {
  const FakeRegionGdi::Picture picture = {{kGreen, 0x808080}};
  FakeRegionGdi noCopy(picture);
  noCopy.failCopy = true;
  EXPECT_EQ(kora::BuildWindowRegion(noCopy, kGreen, false), nullptr);
  FakeRegionGdi noRegion(picture);
  noRegion.failExtCreate = true;
  EXPECT_EQ(kora::BuildWindowRegion(noRegion, kGreen, false), nullptr);
}

}  // namespace
