// BuildWindowRegion: the pixel walk over a 32-bit copy of the picture, runs gathered into
// RGNDATA batches, batches merged into one region.
#include "settings_utility/skin/window_region.h"

#include <algorithm>

namespace kora {
namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBlack = 0x000000;
constexpr int kTolerance = 17;
constexpr std::size_t kHeaderBytes = 32;
constexpr std::size_t kRectangleBytes = 16;

void PutU32(std::uint8_t* at, std::uint32_t value) {
  at[0] = static_cast<std::uint8_t>(value);
  at[1] = static_cast<std::uint8_t>(value >> 8);
  at[2] = static_cast<std::uint8_t>(value >> 16);
  at[3] = static_cast<std::uint8_t>(value >> 24);
}

void PutI32(std::uint8_t* at, int value) { PutU32(at, static_cast<std::uint32_t>(value)); }

}  // namespace

KeyColourMatch::KeyColourMatch(std::uint32_t keyColour) {
  for (int channel = 0; channel < 3; ++channel) {
    const int k = static_cast<int>((keyColour >> (8 * channel)) & 0xFF);
    int low = k <= 16 ? 0 : k - kTolerance;
    int high = k >= 239 ? 255 : k + kTolerance;
    // Pure white and pure black take a window one step narrower than the general rule.
    if ((keyColour & 0xFFFFFF) == kWhite) low = 239, high = 255;
    if ((keyColour & 0xFFFFFF) == kBlack) low = 0, high = 16;
    low_[channel] = static_cast<std::uint8_t>(low);
    high_[channel] = static_cast<std::uint8_t>(high);
  }
}

bool KeyColourMatch::Matches(const std::uint8_t* pixel) const {
  for (int channel = 0; channel < 3; ++channel)
    if (pixel[channel] < low_[channel] || pixel[channel] > high_[channel]) return false;
  return true;
}

RegionDataBuffer::RegionDataBuffer()
    : bytes_(kHeaderBytes + kGrowthRectangles * kRectangleBytes), capacity_(kGrowthRectangles) {}

void RegionDataBuffer::Add(int left, int top, int right, int bottom) {
  if (count_ == capacity_) {
    capacity_ += kGrowthRectangles;
    bytes_.resize(kHeaderBytes + capacity_ * kRectangleBytes);
  }
  std::uint8_t* at = bytes_.data() + kHeaderBytes + count_ * kRectangleBytes;
  PutI32(at, left);
  PutI32(at + 4, top);
  PutI32(at + 8, right);
  PutI32(at + 12, bottom);
  if (count_ == 0) {
    boundLeft_ = left, boundTop_ = top, boundRight_ = right, boundBottom_ = bottom;
  } else {
    boundLeft_ = std::min(boundLeft_, left);
    boundTop_ = std::min(boundTop_, top);
    boundRight_ = std::max(boundRight_, right);
    boundBottom_ = std::max(boundBottom_, bottom);
  }
  ++count_;
}

void RegionDataBuffer::Clear() {
  count_ = 0;
  boundLeft_ = boundTop_ = boundRight_ = boundBottom_ = 0;
}

const std::uint8_t* RegionDataBuffer::Data() {
  std::uint8_t* header = bytes_.data();
  PutU32(header, static_cast<std::uint32_t>(kHeaderBytes));                  // dwSize
  PutU32(header + 4, platform::kRdhRectangles);                              // iType
  PutU32(header + 8, static_cast<std::uint32_t>(count_));                    // nCount
  PutU32(header + 12, static_cast<std::uint32_t>(count_ * kRectangleBytes));  // nRgnSize
  PutI32(header + 16, boundLeft_);
  PutI32(header + 20, boundTop_);
  PutI32(header + 24, boundRight_);
  PutI32(header + 28, boundBottom_);
  return header;
}

std::size_t RegionDataBuffer::Size() const { return kHeaderBytes + count_ * kRectangleBytes; }

std::unique_ptr<platform::Region> BuildWindowRegion(platform::RegionGdi& gdi,
                                                    std::uint32_t keyColour, bool collectOpaque) {
  platform::Dib32 dib;
  if (!gdi.CopyTo32BitDib(dib)) return nullptr;
  if (dib.width <= 0 || dib.height <= 0 || dib.stride < static_cast<std::size_t>(dib.width) * 4 ||
      dib.bits.size() < dib.stride * static_cast<std::size_t>(dib.height))
    return nullptr;

  const KeyColourMatch match(keyColour);
  RegionDataBuffer buffer;
  std::unique_ptr<platform::Region> result;
  bool failed = false;

  auto mergeBatch = [&] {
    std::unique_ptr<platform::Region> batch = gdi.ExtCreateRegion(buffer.Data(), buffer.Size());
    buffer.Clear();
    if (!batch) {
      failed = true;
    } else if (!result) {
      result = std::move(batch);
    } else if (gdi.CombineRegion(*result, *batch, platform::RegionCombine::Or) == 0) {
      failed = true;
    }
  };

  // A pixel is collected when it matches the key (flag false) or when it does not (true).
  for (int y = 0; y < dib.height && !failed; ++y) {
    // Bottom-up: the picture's top row is the last row in memory.
    const std::uint8_t* row = dib.bits.data() + static_cast<std::size_t>(dib.height - 1 - y) * dib.stride;
    auto collected = [&](int x) { return match.Matches(row + 4 * x) != collectOpaque; };
    int x = 0;
    while (x < dib.width && !failed) {
      while (x < dib.width && !collected(x)) ++x;
      const int runStart = x;
      while (x < dib.width && collected(x)) ++x;
      if (x > runStart) {
        buffer.Add(runStart, y, x, y + 1);
        if (buffer.count() == kRectanglesPerRegion) mergeBatch();
      }
    }
  }
  if (!failed) mergeBatch();
  if (failed) return nullptr;

  if (!collectOpaque) {
    std::unique_ptr<platform::Region> whole = gdi.CreateRectRegion(0, 0, dib.width, dib.height);
    if (!whole || gdi.CombineRegion(*result, *whole, platform::RegionCombine::Xor) == 0) return nullptr;
  }
  return result;
}

}  // namespace kora
