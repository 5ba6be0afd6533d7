// make_installer_artwork: draws the driver installer's artwork and writes it into one folder,
// the same bytes on every run: the picture of the progress window (157 x 155, a receipt
// printer issuing a receipt, 24-bit BMP) and the program icon (32 x 32 and 16 x 16 images,
// 24-bit, in one ICO file).
//
//   make_installer_artwork <output folder>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
};

constexpr Rgb Colour(int r, int g, int b) {
  return Rgb{static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(b)};
}

Rgb Mix(Rgb a, Rgb b, double t) {
  auto channel = [t](int x, int y) { return static_cast<std::uint8_t>(std::lround(x + (y - x) * t)); };
  return Rgb{channel(a.r, b.r), channel(a.g, b.g), channel(a.b, b.b)};
}

// The kit's palette: the heading blue of the settings utility, a warm paper, a dark body.
constexpr Rgb kSkyTop = Colour(226, 235, 246);
constexpr Rgb kSkyBottom = Colour(180, 201, 228);
constexpr Rgb kBody = Colour(58, 64, 76);
constexpr Rgb kBodyLight = Colour(96, 104, 120);
constexpr Rgb kSlot = Colour(24, 26, 32);
constexpr Rgb kPaper = Colour(252, 250, 243);
constexpr Rgb kPaperShade = Colour(222, 218, 206);
constexpr Rgb kInk = Colour(70, 70, 78);
constexpr Rgb kAccent = Colour(0, 70, 150);
constexpr Rgb kLamp = Colour(60, 200, 90);

class Canvas {
 public:
  Canvas(int width, int height, Rgb fill) : width_(width), height_(height), pixels_(width * height, fill) {}
  int width() const { return width_; }
  int height() const { return height_; }
  Rgb Get(int x, int y) const { return pixels_[y * width_ + x]; }
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

// A rectangle with rounded corners in canvas units, drawn with its edges smoothed over a 4 x 4
// grid of samples per pixel.
struct RoundRect {
  double x0, y0, x1, y1, radius;
  bool Contains(double x, double y) const {
    if (x < x0 || x >= x1 || y < y0 || y >= y1) return false;
    const double cx = x < x0 + radius ? x0 + radius : (x > x1 - radius ? x1 - radius : x);
    const double cy = y < y0 + radius ? y0 + radius : (y > y1 - radius ? y1 - radius : y);
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
  }
};

template <typename Shape, typename Paint>
void Fill(Canvas& canvas, const Shape& shape, Paint paint) {
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) {
      int inside = 0;
      for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx) inside += shape.Contains(x + (sx + 0.5) / 4, y + (sy + 0.5) / 4) ? 1 : 0;
      if (inside > 0) canvas.Blend(x, y, paint(x, y), inside / 16.0);
    }
  }
}

void FillSolid(Canvas& canvas, const RoundRect& shape, Rgb colour) {
  Fill(canvas, shape, [colour](int, int) { return colour; });
}

// The receipt printer, scaled to the canvas: a sky gradient, the printer's body with its
// paper slot and status lamp, and a receipt with printed lines curling out of the slot.
Canvas DrawPrinter(int width, int height, bool detailed) {
  Canvas canvas(width, height, kSkyTop);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) canvas.Set(x, y, Mix(kSkyTop, kSkyBottom, static_cast<double>(y) / (height - 1)));
  const double w = width, h = height;

  const RoundRect receipt{w * 0.30, h * 0.06, w * 0.70, h * 0.50, w * 0.02};
  Fill(canvas, receipt, [&](int x, int) {
    return Mix(kPaper, kPaperShade, (x - receipt.x0) / (receipt.x1 - receipt.x0) * 0.6);
  });
  if (detailed) {
    // Printed lines, a heading in the accent colour first.
    for (int line = 0; line < 6; ++line) {
      const double y = h * (0.12 + line * 0.055);
      const double length = line == 0 ? 0.22 : (line % 3 == 2 ? 0.14 : 0.30);
      FillSolid(canvas, RoundRect{w * 0.35, y, w * (0.35 + length), y + h * 0.018, h * 0.009},
                line == 0 ? kAccent : kInk);
    }
  }

  const RoundRect body{w * 0.12, h * 0.44, w * 0.88, h * 0.90, w * 0.06};
  Fill(canvas, body, [&](int, int y) { return Mix(kBodyLight, kBody, (y - body.y0) / (body.y1 - body.y0)); });
  FillSolid(canvas, RoundRect{w * 0.24, h * 0.46, w * 0.76, h * 0.52, h * 0.02}, kSlot);
  FillSolid(canvas, RoundRect{w * 0.72, h * 0.74, w * 0.80, h * 0.80, w * 0.04}, kLamp);
  if (detailed) FillSolid(canvas, RoundRect{w * 0.20, h * 0.74, w * 0.56, h * 0.78, h * 0.02}, kBodyLight);
  return canvas;
}

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// BITMAPINFOHEADER for a 24-bit bottom-up image of `rowsHigh` rows.
void PutInfoHeader(std::vector<std::uint8_t>& out, int width, int rowsHigh, std::uint32_t imageBytes) {
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(width));
  Put32(out, static_cast<std::uint32_t>(rowsHigh));
  Put16(out, 1);   // planes
  Put16(out, 24);  // bits per pixel
  Put32(out, 0);   // BI_RGB
  Put32(out, imageBytes);
  Put32(out, 2835);  // 72 dpi
  Put32(out, 2835);
  Put32(out, 0);
  Put32(out, 0);
}

std::uint32_t RowBytes(int width, int bitsPerPixel) { return ((width * bitsPerPixel + 31) / 32) * 4; }

// Blue, green, red per pixel, bottom row first, each row padded to 4 bytes.
void PutPixels(std::vector<std::uint8_t>& out, const Canvas& canvas) {
  const std::uint32_t padding = RowBytes(canvas.width(), 24) - canvas.width() * 3;
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

std::vector<std::uint8_t> Bmp(const Canvas& canvas) {
  const std::uint32_t imageBytes = RowBytes(canvas.width(), 24) * canvas.height();
  std::vector<std::uint8_t> out = {'B', 'M'};
  Put32(out, 14 + 40 + imageBytes);
  Put32(out, 0);
  Put32(out, 14 + 40);
  PutInfoHeader(out, canvas.width(), canvas.height(), imageBytes);
  PutPixels(out, canvas);
  return out;
}

// One icon image: the header with twice the height (colour rows, then mask rows), the colour
// rows and an all-clear mask (every pixel opaque).
std::vector<std::uint8_t> IconImage(const Canvas& canvas) {
  const std::uint32_t colourBytes = RowBytes(canvas.width(), 24) * canvas.height();
  const std::uint32_t maskBytes = RowBytes(canvas.width(), 1) * canvas.height();
  std::vector<std::uint8_t> out;
  PutInfoHeader(out, canvas.width(), canvas.height() * 2, colourBytes + maskBytes);
  PutPixels(out, canvas);
  out.insert(out.end(), maskBytes, 0);
  return out;
}

std::vector<std::uint8_t> Ico(const std::vector<Canvas>& images) {
  std::vector<std::vector<std::uint8_t>> encoded;
  for (const Canvas& canvas : images) encoded.push_back(IconImage(canvas));
  std::vector<std::uint8_t> out;
  Put16(out, 0);
  Put16(out, 1);  // icon
  Put16(out, static_cast<std::uint32_t>(images.size()));
  std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    out.push_back(static_cast<std::uint8_t>(images[i].width()));
    out.push_back(static_cast<std::uint8_t>(images[i].height()));
    out.push_back(0);  // no palette
    out.push_back(0);
    Put16(out, 1);   // planes
    Put16(out, 24);  // bits per pixel
    Put32(out, static_cast<std::uint32_t>(encoded[i].size()));
    Put32(out, offset);
    offset += static_cast<std::uint32_t>(encoded[i].size());
  }
  for (const auto& image : encoded) out.insert(out.end(), image.begin(), image.end());
  return out;
}

bool Write(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_installer_artwork <output folder>\n";
    return 2;
  }
  const std::string folder = argv[1];
  const bool written = Write(folder + "/installer_picture.bmp", Bmp(DrawPrinter(157, 155, true))) &&
                       Write(folder + "/installer.ico", Ico({DrawPrinter(32, 32, true), DrawPrinter(16, 16, false)}));
  if (!written) {
    std::cerr << "make_installer_artwork: cannot write into " << folder << "\n";
    return 1;
  }
  return 0;
}
