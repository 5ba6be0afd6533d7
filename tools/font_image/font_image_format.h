// Our font image format: the layout of the four generated font images that the settings
// utility carries and streams to the printer, and that the printer simulator recognises.
//
//   offset 0        8 bytes   magic "HRXFONT1"
//   offset 8        4 bytes   character-set tag: "KOR\0", "GB23", "BIG5" or "JAP\0"
//   offset 12       4 bytes   total image size in bytes, 32-bit little-endian
//   offset 16       ...       deterministic filler (stands in for the glyph data)
//   last 4 bytes              CRC-32 (IEEE) of every byte before it, little-endian
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace font_image {

constexpr std::size_t kMagicSize = 8;
constexpr std::size_t kTagSize = 4;
constexpr std::size_t kHeaderSize = 16;
constexpr std::size_t kChecksumSize = 4;
constexpr std::size_t kMinimumImageSize = kHeaderSize + kChecksumSize;
constexpr char kMagic[] = "HRXFONT1";

enum class CharacterSet { Korean, Gb2312, Big5, Japanese };

// The four bytes stored in the header, zero padded ("KOR\0").
std::string TagBytes(CharacterSet set);
// The tag without its padding ("KOR"): the name used on command lines and in reports.
std::string TagName(CharacterSet set);
// Accepts a tag name ("KOR", "GB23", "BIG5", "JAP") or the four padded header bytes.
std::optional<CharacterSet> CharacterSetFromTag(std::string_view tag);

struct Header {
  CharacterSet characterSet = CharacterSet::Korean;
  std::uint32_t totalSize = 0;
};

// The header of the bytes at `data`, when they start with the magic, a known tag and a total
// size that can hold the header and the checksum. Needs at least kHeaderSize bytes.
std::optional<Header> ParseHeader(const std::uint8_t* data, std::size_t count);

// An image of exactly `totalSize` bytes; the same arguments always give the same bytes.
// Empty when totalSize is below kMinimumImageSize.
std::vector<std::uint8_t> BuildImage(CharacterSet set, std::uint32_t totalSize);

// True when the bytes carry a valid header whose size is the number of bytes given and the
// trailing checksum matches.
bool VerifyImage(const std::vector<std::uint8_t>& image);

// CRC-32 with the IEEE polynomial (reflected 0xEDB88320, initial and final value all ones),
// fed in pieces so that a receiver can check a stream as it arrives.
class Crc32 {
 public:
  void Update(const std::uint8_t* data, std::size_t count);
  void Update(std::uint8_t byte);
  std::uint32_t Value() const { return ~state_; }

 private:
  std::uint32_t state_ = 0xFFFFFFFFu;
};

std::uint32_t ComputeCrc32(const std::uint8_t* data, std::size_t count);

}  // namespace font_image
