// Building, recognising and checking images of our font image format.
#include "tools/font_image/font_image_format.h"

#include <array>
#include <cstring>

namespace font_image {
namespace {

struct TagEntry {
  CharacterSet set;
  const char* name;
};

constexpr TagEntry kTags[] = {
    {CharacterSet::Korean, "KOR"},
    {CharacterSet::Gb2312, "GB23"},
    {CharacterSet::Big5, "BIG5"},
    {CharacterSet::Japanese, "JAP"},
};

std::array<std::uint32_t, 256> MakeCrcTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}

const std::array<std::uint32_t, 256>& CrcTable() {
  static const std::array<std::uint32_t, 256> table = MakeCrcTable();
  return table;
}

void PutLittleEndian32(std::uint8_t* out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint32_t GetLittleEndian32(const std::uint8_t* in) {
  return static_cast<std::uint32_t>(in[0]) | static_cast<std::uint32_t>(in[1]) << 8 |
         static_cast<std::uint32_t>(in[2]) << 16 | static_cast<std::uint32_t>(in[3]) << 24;
}

// Seeds the filler from the tag and the size, so that the four images differ from each other
// and a change of size changes every byte rather than only the tail.
std::uint32_t FillerSeed(CharacterSet set, std::uint32_t totalSize) {
  std::uint32_t hash = 2166136261u;  // FNV-1a
  for (char c : TagBytes(set)) {
    hash ^= static_cast<std::uint8_t>(c);
    hash *= 16777619u;
  }
  hash ^= totalSize;
  return hash != 0 ? hash : 1;  // xorshift never leaves zero
}

}  // namespace

std::string TagBytes(CharacterSet set) {
  std::string name = TagName(set);
  name.resize(kTagSize, '\0');
  return name;
}

std::string TagName(CharacterSet set) {
  for (const TagEntry& entry : kTags) {
    if (entry.set == set) return entry.name;
  }
  return {};
}

std::optional<CharacterSet> CharacterSetFromTag(std::string_view tag) {
  // Header bytes carry zero padding; a name on a command line does not.
  while (!tag.empty() && tag.back() == '\0') tag.remove_suffix(1);
  for (const TagEntry& entry : kTags) {
    if (tag == entry.name) return entry.set;
  }
  return std::nullopt;
}

std::optional<Header> ParseHeader(const std::uint8_t* data, std::size_t count) {
  if (data == nullptr || count < kHeaderSize) return std::nullopt;
  if (std::memcmp(data, kMagic, kMagicSize) != 0) return std::nullopt;
  const std::string_view tagBytes(reinterpret_cast<const char*>(data + kMagicSize), kTagSize);
  // The exact padded form only: "KO\0R" or "KOR " is not a tag of ours.
  std::optional<CharacterSet> set;
  for (const TagEntry& entry : kTags) {
    if (tagBytes == TagBytes(entry.set)) set = entry.set;
  }
  if (!set) return std::nullopt;
  const std::uint32_t totalSize = GetLittleEndian32(data + kMagicSize + kTagSize);
  if (totalSize < kMinimumImageSize) return std::nullopt;
  return Header{*set, totalSize};
}

std::vector<std::uint8_t> BuildImage(CharacterSet set, std::uint32_t totalSize) {
  if (totalSize < kMinimumImageSize) return {};
  std::vector<std::uint8_t> image(totalSize);
  std::memcpy(image.data(), kMagic, kMagicSize);
  const std::string tag = TagBytes(set);
  std::memcpy(image.data() + kMagicSize, tag.data(), kTagSize);
  PutLittleEndian32(image.data() + kMagicSize + kTagSize, totalSize);

  std::uint32_t state = FillerSeed(set, totalSize);
  const std::size_t fillerEnd = image.size() - kChecksumSize;
  for (std::size_t i = kHeaderSize; i < fillerEnd; ++i) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    image[i] = static_cast<std::uint8_t>(state >> 24);
  }
  PutLittleEndian32(image.data() + fillerEnd, ComputeCrc32(image.data(), fillerEnd));
  return image;
}

bool VerifyImage(const std::vector<std::uint8_t>& image) {
  const std::optional<Header> header = ParseHeader(image.data(), image.size());
  if (!header || header->totalSize != image.size()) return false;
  const std::size_t body = image.size() - kChecksumSize;
  return ComputeCrc32(image.data(), body) == GetLittleEndian32(image.data() + body);
}

void Crc32::Update(const std::uint8_t* data, std::size_t count) {
  const auto& table = CrcTable();
  std::uint32_t c = state_;
  for (std::size_t i = 0; i < count; ++i) c = table[(c ^ data[i]) & 0xFFu] ^ (c >> 8);
  state_ = c;
}

void Crc32::Update(std::uint8_t byte) { Update(&byte, 1); }

std::uint32_t ComputeCrc32(const std::uint8_t* data, std::size_t count) {
  Crc32 crc;
  crc.Update(data, count);
  return crc.Value();
}

}  // namespace font_image
