// Drawing and file kit of the artwork tools: an RGB canvas, the rounded rectangle their
// shapes are made of, smoothed coverage, and the BMP/ICO encoders that write a canvas out
// the same bytes on every run.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace artwork {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
};

constexpr Rgb Colour(int r, int g, int b) {
  return Rgb{static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(b)};
}

// `a` moved towards `b` by t (0 = a, 1 = b), each channel rounded.
Rgb Mix(Rgb a, Rgb b, double t);

class Canvas {
 public:
  Canvas(int width, int height, Rgb fill) : width_(width), height_(height), pixels_(width * height, fill) {}
  int width() const { return width_; }
  int height() const { return height_; }
  Rgb Get(int x, int y) const { return pixels_[y * width_ + x]; }
  // Set and Blend ignore pixels off the canvas, so shapes may overhang its edges.
  void Set(int x, int y, Rgb c) {
    if (x >= 0 && y >= 0 && x < width_ && y < height_) pixels_[y * width_ + x] = c;
  }
  void Blend(int x, int y, Rgb c, double alpha) {
    if (x >= 0 && y >= 0 && x < width_ && y < height_ && alpha > 0)
      pixels_[y * width_ + x] = Mix(pixels_[y * width_ + x], c, alpha > 1 ? 1 : alpha);
  }

 private:
  int width_, height_;
  std::vector<Rgb> pixels_;
};

// A rectangle with rounded corners, edges on pixel boundaries: [x0, x1) x [y0, y1).
struct RoundRect {
  double x0, y0, x1, y1, radius;

  bool Contains(double x, double y) const {
    if (x < x0 || x >= x1 || y < y0 || y >= y1) return false;
    const double cx = x < x0 + radius ? x0 + radius : (x > x1 - radius ? x1 - radius : x);
    const double cy = y < y0 + radius ? y0 + radius : (y > y1 - radius ? y1 - radius : y);
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
  }
  RoundRect Inset(double by) const {
    return RoundRect{x0 + by, y0 + by, x1 - by, y1 - by, radius > by ? radius - by : 0};
  }
};

// The share of pixel (x, y) inside a shape, from 4 x 4 samples: smooth edges against
// whatever lies below.
double Coverage(const std::function<bool(double, double)>& inside, int x, int y);

// The whole canvas, row by row from `top` to `bottom`.
void VerticalGradient(Canvas& canvas, Rgb top, Rgb bottom);

// --- Files -------------------------------------------------------------------------------

void PutU16(std::vector<std::uint8_t>& out, std::uint32_t v);
void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v);

// Bytes of one row of `width` pixels at `bits` per pixel, padded to 4 bytes.
std::uint32_t RowBytes(int width, int bits);

// BITMAPINFOHEADER, uncompressed, with `paletteColours` palette entries in use (0 for none).
void PutInfoHeader(std::vector<std::uint8_t>& out, int width, int height, int bits, std::uint32_t imageBytes,
                   std::uint32_t paletteColours);

// Blue, green, red per pixel, bottom row first, each row padded to 4 bytes.
void PutPixels24(std::vector<std::uint8_t>& out, const Canvas& canvas);

// A 24-bit BMP file of the canvas.
std::vector<std::uint8_t> Bmp24(const Canvas& canvas);

// One image of an ICO file: its directory fields and its encoded body (header, palette,
// colour rows, mask rows).
struct IcoImage {
  int width = 0, height = 0;
  int paletteColours = 0;  // 0 without a palette
  int bits = 0;
  std::vector<std::uint8_t> body;
};

// An ICO file: the directory, then the images' bodies in order.
std::vector<std::uint8_t> Ico(const std::vector<IcoImage>& images);

// Writes `bytes` to `path`, replacing it; false when the file cannot be written in full.
bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace artwork
