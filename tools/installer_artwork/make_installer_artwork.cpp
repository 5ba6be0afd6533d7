// make_installer_artwork: draws the driver installer's artwork and writes it into one folder,
// the same bytes on every run: the picture of the progress window (157 x 155, a receipt
// printer issuing a receipt, 24-bit BMP) and the program icon (32 x 32 and 16 x 16 images,
// 24-bit, in one ICO file).
//
//   make_installer_artwork <output folder>
#include <cstdint>
#include <iostream>
#include <string>
#include <vector>

#include "canvas.h"

namespace {

using artwork::Canvas;
using artwork::Colour;
using artwork::Mix;
using artwork::Rgb;
using artwork::RoundRect;

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

// Paints every pixel a shape touches with paint(x, y), blended by the share it covers.
template <typename Shape, typename Paint>
void Fill(Canvas& canvas, const Shape& shape, Paint paint) {
  auto inside = [&shape](double x, double y) { return shape.Contains(x, y); };
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) {
      const double coverage = artwork::Coverage(inside, x, y);
      if (coverage > 0) canvas.Blend(x, y, paint(x, y), coverage);
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
  artwork::VerticalGradient(canvas, kSkyTop, kSkyBottom);
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

// One icon image: the header with twice the height (colour rows, then mask rows), the colour
// rows and an all-clear mask (every pixel opaque).
artwork::IcoImage IconImage(const Canvas& canvas) {
  const std::uint32_t colourBytes = artwork::RowBytes(canvas.width(), 24) * canvas.height();
  const std::uint32_t maskBytes = artwork::RowBytes(canvas.width(), 1) * canvas.height();
  artwork::IcoImage image{canvas.width(), canvas.height(), 0, 24, {}};
  artwork::PutInfoHeader(image.body, canvas.width(), canvas.height() * 2, 24, colourBytes + maskBytes, 0);
  artwork::PutPixels24(image.body, canvas);
  image.body.insert(image.body.end(), maskBytes, 0);
  return image;
}

std::vector<std::uint8_t> Ico(const std::vector<Canvas>& images) {
  std::vector<artwork::IcoImage> encoded;
  for (const Canvas& canvas : images) encoded.push_back(IconImage(canvas));
  return artwork::Ico(encoded);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_installer_artwork <output folder>\n";
    return 2;
  }
  const std::string folder = argv[1];
  const bool written =
      artwork::WriteBytes(folder + "/installer_picture.bmp", artwork::Bmp24(DrawPrinter(157, 155, true))) &&
      artwork::WriteBytes(folder + "/installer.ico", Ico({DrawPrinter(32, 32, true), DrawPrinter(16, 16, false)}));
  if (!written) {
    std::cerr << "make_installer_artwork: cannot write into " << folder << "\n";
    return 1;
  }
  return 0;
}
