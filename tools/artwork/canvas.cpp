// Drawing and file kit of the artwork tools: colour mixing, coverage, gradients and the
// BMP/ICO encoders.
#include "canvas.h"

#include <cmath>
#include <fstream>

namespace artwork {

Rgb Mix(Rgb a, Rgb b, double t) {
  auto channel = [t](int x, int y) { return static_cast<std::uint8_t>(std::lround(x + (y - x) * t)); };
  return Rgb{channel(a.r, b.r), channel(a.g, b.g), channel(a.b, b.b)};
}

double Coverage(const std::function<bool(double, double)>& inside, int x, int y) {
  int hits = 0;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      if (inside(x + (i + 0.5) / 4, y + (j + 0.5) / 4)) ++hits;
  return hits / 16.0;
}

void VerticalGradient(Canvas& canvas, Rgb top, Rgb bottom) {
  for (int y = 0; y < canvas.height(); ++y) {
    const Rgb colour = Mix(top, bottom, static_cast<double>(y) / (canvas.height() - 1));
    for (int x = 0; x < canvas.width(); ++x) canvas.Set(x, y, colour);
  }
}

void PutU16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  PutU16(out, v & 0xFFFF);
  PutU16(out, v >> 16);
}

std::uint32_t RowBytes(int width, int bits) {
  return static_cast<std::uint32_t>((width * bits + 31) / 32 * 4);
}

void PutInfoHeader(std::vector<std::uint8_t>& out, int width, int height, int bits, std::uint32_t imageBytes,
                   std::uint32_t paletteColours) {
  PutU32(out, 40);
  PutU32(out, static_cast<std::uint32_t>(width));
  PutU32(out, static_cast<std::uint32_t>(height));
  PutU16(out, 1);  // planes
  PutU16(out, static_cast<std::uint32_t>(bits));
  PutU32(out, 0);  // BI_RGB
  PutU32(out, imageBytes);
  PutU32(out, 2835);  // 72 dpi, as pixels per metre
  PutU32(out, 2835);
  PutU32(out, paletteColours);
  PutU32(out, 0);
}

void PutPixels24(std::vector<std::uint8_t>& out, const Canvas& canvas) {
  const std::uint32_t padding = RowBytes(canvas.width(), 24) - static_cast<std::uint32_t>(canvas.width()) * 3;
  for (int y = canvas.height() - 1; y >= 0; --y) {
    for (int x = 0; x < canvas.width(); ++x) {
      const Rgb c = canvas.Get(x, y);
      out.push_back(c.b);
      out.push_back(c.g);
      out.push_back(c.r);
    }
    out.insert(out.end(), padding, 0);
  }
}

std::vector<std::uint8_t> Bmp24(const Canvas& canvas) {
  const std::uint32_t imageBytes = RowBytes(canvas.width(), 24) * static_cast<std::uint32_t>(canvas.height());
  std::vector<std::uint8_t> out = {'B', 'M'};
  PutU32(out, 14 + 40 + imageBytes);
  PutU32(out, 0);
  PutU32(out, 14 + 40);
  PutInfoHeader(out, canvas.width(), canvas.height(), 24, imageBytes, 0);
  PutPixels24(out, canvas);
  return out;
}

std::vector<std::uint8_t> Ico(const std::vector<IcoImage>& images) {
  std::vector<std::uint8_t> out;
  PutU16(out, 0);
  PutU16(out, 1);  // icon
  PutU16(out, static_cast<std::uint32_t>(images.size()));
  std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
  for (const IcoImage& image : images) {
    out.push_back(static_cast<std::uint8_t>(image.width));
    out.push_back(static_cast<std::uint8_t>(image.height));
    out.push_back(static_cast<std::uint8_t>(image.paletteColours));
    out.push_back(0);
    PutU16(out, 1);  // planes
    PutU16(out, static_cast<std::uint32_t>(image.bits));
    PutU32(out, static_cast<std::uint32_t>(image.body.size()));
    PutU32(out, offset);
    offset += static_cast<std::uint32_t>(image.body.size());
  }
  for (const IcoImage& image : images) out.insert(out.end(), image.body.begin(), image.body.end());
  return out;
}

bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  file.close();  // a failed flush counts as a failed write
  return static_cast<bool>(file);
}

}  // namespace artwork
