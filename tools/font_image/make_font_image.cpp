// make_font_image <tag> <size> <out.bin>: writes one font image of our format, as the build
// does for each of the settings utility's font resources.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include "tools/font_image/font_image_format.h"

namespace {

bool ParseSize(const std::string& text, std::uint32_t& size) {
  if (text.empty() || text.size() > 10) return false;
  std::uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (value > 0xFFFFFFFFu) return false;
  size = static_cast<std::uint32_t>(value);
  return true;
}

int Usage() {
  std::cerr << "usage: make_font_image <KOR|GB23|BIG5|JAP> <size in bytes> <out.bin>\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return Usage();
  const std::optional<font_image::CharacterSet> set = font_image::CharacterSetFromTag(argv[1]);
  if (!set) {
    std::cerr << "make_font_image: unknown character set tag \"" << argv[1] << "\"\n";
    return Usage();
  }
  std::uint32_t size = 0;
  if (!ParseSize(argv[2], size) || size < font_image::kMinimumImageSize) {
    std::cerr << "make_font_image: size must be a whole number from "
              << font_image::kMinimumImageSize << " to 4294967295, got \"" << argv[2] << "\"\n";
    return Usage();
  }

  const std::vector<std::uint8_t> image = font_image::BuildImage(*set, size);
  const std::string outPath = argv[3];
  {
    std::ofstream out(outPath, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(image.data()),
              static_cast<std::streamsize>(image.size()));
    out.close();
    if (out) return 0;
  }
  // Leave no truncated image behind for the build to pick up.
  std::remove(outPath.c_str());
  std::cerr << "make_font_image: cannot write " << outPath << "\n";
  return 1;
}
