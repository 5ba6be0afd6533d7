// make_artwork: draws the settings utility's artwork and writes it into one folder, the
// same bytes on every run: the three button images (145 x 25), the main window's and the
// port dialog's backgrounds (498 x 319; the port dialog's is pure green outside its shape,
// which becomes its window region) as 24-bit BMP files, and the program icon (32 x 32 and
// 16 x 16, 16 colours) as an ICO file.
//
//   make_artwork <output folder>
//
// The layout of the backgrounds follows the dialog templates in quintkora.rc (one dialog
// unit is 1.5 pixels with their font), so panels sit behind the controls they group.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "canvas.h"

namespace {

using artwork::Bmp24;
using artwork::Canvas;
using artwork::Colour;
using artwork::Coverage;
using artwork::Mix;
using artwork::Rgb;
using artwork::RoundRect;
using artwork::VerticalGradient;

// The palette. Key green cuts the port dialog's shape; the rest is the skin's look: cool
// light panels for the controls, warm panels behind the brown-lettered buttons, and the
// heading blue for outlines and accents.
constexpr Rgb kKeyGreen = Colour(0, 255, 0);
constexpr Rgb kHeadingBlue = Colour(0, 70, 150);
constexpr Rgb kOutlineBlue = Colour(47, 95, 150);
constexpr Rgb kBackTop = Colour(226, 235, 246);
constexpr Rgb kBackBottom = Colour(198, 214, 233);
constexpr Rgb kPanelTop = Colour(255, 255, 255);
constexpr Rgb kPanelBottom = Colour(240, 245, 251);
constexpr Rgb kPanelBorder = Colour(166, 187, 212);
constexpr Rgb kWarmPanel = Colour(244, 238, 228);
constexpr Rgb kWarmBorder = Colour(205, 186, 160);
constexpr Rgb kWhite = Colour(255, 255, 255);

// Fills a shape with a vertical gradient from `top` at y0 to `bottom` at y1.
void Fill(Canvas& canvas, const RoundRect& shape, Rgb top, Rgb bottom) {
  auto inside = [&shape](double x, double y) { return shape.Contains(x, y); };
  for (int y = static_cast<int>(shape.y0); y < static_cast<int>(std::ceil(shape.y1)); ++y) {
    const double t = shape.y1 - shape.y0 > 1 ? (y - shape.y0) / (shape.y1 - shape.y0 - 1) : 0;
    const Rgb colour = Mix(top, bottom, t < 0 ? 0 : (t > 1 ? 1 : t));
    for (int x = static_cast<int>(shape.x0); x < static_cast<int>(std::ceil(shape.x1)); ++x)
      canvas.Blend(x, y, colour, Coverage(inside, x, y));
  }
}

// An outline of `width` pixels along the inside of a shape.
void Outline(Canvas& canvas, const RoundRect& shape, double width, Rgb colour) {
  const RoundRect inner = shape.Inset(width);
  auto inside = [&](double x, double y) { return shape.Contains(x, y) && !inner.Contains(x, y); };
  for (int y = static_cast<int>(shape.y0); y < static_cast<int>(std::ceil(shape.y1)); ++y)
    for (int x = static_cast<int>(shape.x0); x < static_cast<int>(std::ceil(shape.x1)); ++x)
      canvas.Blend(x, y, colour, Coverage(inside, x, y));
}

void Panel(Canvas& canvas, const RoundRect& shape, Rgb top, Rgb bottom, Rgb border) {
  Fill(canvas, shape, top, bottom);
  Outline(canvas, shape, 1, border);
}

// --- Files -------------------------------------------------------------------------------

// Palette entries of the icon.
enum IconColour { kClear, kPaperEdge, kPaper, kPrint, kBodyEdge, kBody, kBodyLight, kFront, kLamp };

// An icon image drawn with palette indexes; kClear is transparent.
struct IconImage {
  int size;
  std::vector<int> index;  // size * size, top row first
};

// A 16-colour ICO file; the mask makes kClear pixels transparent.
std::vector<std::uint8_t> Ico(const std::vector<IconImage>& images, const std::vector<Rgb>& palette) {
  std::vector<artwork::IcoImage> encoded;
  for (const IconImage& image : images) {
    const int n = image.size;
    const std::size_t colourStride = artwork::RowBytes(n, 4);
    const std::size_t maskStride = artwork::RowBytes(n, 1);
    const std::uint32_t imageBytes = static_cast<std::uint32_t>((colourStride + maskStride) * n);
    std::vector<std::uint8_t> body;
    // An icon's header counts the colour and the mask rows together: twice the height.
    artwork::PutInfoHeader(body, n, 2 * n, 4, imageBytes, 16);
    for (int i = 0; i < 16; ++i) {
      const Rgb c = i < static_cast<int>(palette.size()) ? palette[i] : Rgb{};
      body.push_back(c.b);
      body.push_back(c.g);
      body.push_back(c.r);
      body.push_back(0);
    }
    for (int y = n - 1; y >= 0; --y) {
      std::vector<std::uint8_t> row(colourStride, 0);
      for (int x = 0; x < n; ++x) {
        const int value = image.index[y * n + x] & 0x0F;
        row[x / 2] |= static_cast<std::uint8_t>(x % 2 == 0 ? value << 4 : value);
      }
      body.insert(body.end(), row.begin(), row.end());
    }
    for (int y = n - 1; y >= 0; --y) {
      std::vector<std::uint8_t> row(maskStride, 0);
      for (int x = 0; x < n; ++x)
        if (image.index[y * n + x] == kClear) row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
      body.insert(body.end(), row.begin(), row.end());
    }
    encoded.push_back(artwork::IcoImage{n, n, 16, 4, std::move(body)});
  }
  return artwork::Ico(encoded);
}

bool WriteFile(const std::string& folder, const std::string& name, const std::vector<std::uint8_t>& bytes) {
  const std::string path = folder + "/" + name;
  if (!artwork::WriteBytes(path, bytes)) {
    std::cerr << "make_artwork: cannot write " << path << "\n";
    return false;
  }
  return true;
}

// --- The pictures ------------------------------------------------------------------------

// Dialog units of the templates to pixels.
constexpr double Du(double units) { return units * 1.5; }

constexpr int kButtonWidth = 145;
constexpr int kButtonHeight = 25;

enum class ButtonState { Normal, Pressed, Disabled };

// A rounded, softly lit key. Its corners show the warm panel the buttons stand on.
Canvas ButtonImage(ButtonState state) {
  Canvas canvas(kButtonWidth, kButtonHeight, kWarmPanel);
  const RoundRect body{0, 0, kButtonWidth, kButtonHeight, 6};
  switch (state) {
    case ButtonState::Normal:
      Fill(canvas, body, Colour(255, 253, 248), Colour(236, 224, 204));
      Outline(canvas, body, 1, Colour(168, 136, 102));
      Outline(canvas, body.Inset(1), 1, Colour(255, 255, 255));
      break;
    case ButtonState::Pressed:
      // Lit from below and a shade darker: the key looks pushed in.
      Fill(canvas, body, Colour(222, 206, 180), Colour(247, 240, 228));
      Outline(canvas, body, 1, Colour(140, 108, 76));
      Outline(canvas, RoundRect{1, 1, kButtonWidth - 1, 3, 5}, 1, Colour(200, 182, 156));
      break;
    case ButtonState::Disabled:
      Fill(canvas, body, Colour(246, 246, 246), Colour(228, 228, 228));
      Outline(canvas, body, 1, Colour(190, 190, 190));
      break;
  }
  return canvas;
}

constexpr int kBackgroundWidth = 498;
constexpr int kBackgroundHeight = 319;

// Main window: the printer information and settings on a light panel on the left, the
// operation buttons on a warm panel on the right, the progress bar on a strip below.
Canvas MainBackground() {
  Canvas canvas(kBackgroundWidth, kBackgroundHeight, kBackTop);
  VerticalGradient(canvas, kBackTop, kBackBottom);
  Panel(canvas, RoundRect{4, 4, Du(224), Du(184), 10}, kPanelTop, kPanelBottom, kPanelBorder);
  Panel(canvas, RoundRect{Du(222) + 2, 4, kBackgroundWidth - 4, Du(184), 10}, kWarmPanel, kWarmPanel,
        kWarmBorder);
  Panel(canvas, RoundRect{4, Du(185), kBackgroundWidth - 4, Du(205), 8}, kPanelTop, kPanelBottom,
        kPanelBorder);
  return canvas;
}

// Port dialog: a card with rounded corners, a strip for its heading, a light panel for the
// interface parameters and a warm strip for the two buttons. Everything outside the card is
// key green, cut with hard edges so that no blended pixel sits on the border of the window
// region; the dialog opens over the main window, whose corners show through.
Canvas PortBackground() {
  Canvas canvas(kBackgroundWidth, kBackgroundHeight, kKeyGreen);
  const RoundRect card{1, 1, kBackgroundWidth - 1, kBackgroundHeight - 1, 16};
  auto inShape = [&](int x, int y) { return card.Contains(x + 0.5, y + 0.5); };
  // The shape, by pixel centres: a pixel is in or out, never a mix with the key.
  for (int y = 0; y < canvas.height(); ++y)
    for (int x = 0; x < canvas.width(); ++x)
      if (inShape(x, y)) canvas.Set(x, y, Mix(kBackTop, kBackBottom, y / (kBackgroundHeight - 1.0)));
  // A two-pixel outline along the shape's edge: the pixels with a neighbour outside.
  for (int y = 0; y < canvas.height(); ++y)
    for (int x = 0; x < canvas.width(); ++x) {
      if (!inShape(x, y)) continue;
      bool edge = false;
      for (int dy = -2; dy <= 2 && !edge; ++dy)
        for (int dx = -2; dx <= 2 && !edge; ++dx)
          if (std::abs(dx) + std::abs(dy) <= 2 && !inShape(x + dx, y + dy)) edge = true;
      if (edge) canvas.Set(x, y, kOutlineBlue);
    }
  Panel(canvas, RoundRect{8, 6, kBackgroundWidth - 8, 37, 9}, kPanelTop, kPanelBottom, kPanelBorder);
  Panel(canvas, RoundRect{Du(10), Du(28), Du(322), Du(168), 10}, kPanelTop, kPanelBottom, kPanelBorder);
  Panel(canvas, RoundRect{Du(53), Du(172), Du(280), Du(199), 8}, kWarmPanel, kWarmPanel, kWarmBorder);
  return canvas;
}

// A small receipt printer: blue body, paper with printed lines coming out of the top, a
// green lamp. Each size is drawn on its own pixel grid, so that no outline is lost.
struct IconPart {
  int x0, y0, x1, y1;  // [x0, x1) x [y0, y1) in pixels
  int index;           // palette entry
};

IconImage Icon(int size, const std::vector<IconPart>& parts) {
  IconImage image{size, std::vector<int>(size * size, 0)};
  for (const IconPart& part : parts)
    for (int y = part.y0; y < part.y1; ++y)
      for (int x = part.x0; x < part.x1; ++x) image.index[y * size + x] = part.index;
  return image;
}

const std::vector<IconPart> kIcon32 = {
    {8, 2, 24, 17, kPaperEdge}, {9, 3, 23, 17, kPaper},     {11, 6, 21, 8, kPrint},
    {11, 9, 19, 11, kPrint},    {11, 12, 21, 14, kPrint},   {2, 14, 30, 29, kBodyEdge},
    {3, 15, 29, 28, kBody},     {3, 15, 29, 18, kBodyLight}, {7, 16, 25, 18, kBodyEdge},
    {6, 22, 26, 25, kFront},    {23, 19, 26, 21, kLamp},
};

const std::vector<IconPart> kIcon16 = {
    {4, 1, 12, 8, kPaperEdge}, {5, 2, 11, 8, kPaper},    {6, 3, 10, 4, kPrint},
    {6, 5, 9, 6, kPrint},      {1, 7, 15, 15, kBodyEdge}, {2, 8, 14, 14, kBody},
    {2, 8, 14, 9, kBodyLight}, {4, 8, 12, 9, kBodyEdge},  {3, 11, 11, 13, kFront},
    {12, 10, 13, 11, kLamp},
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_artwork <output folder>\n";
    return 2;
  }
  const std::string folder = argv[1];
  // In IconColour order; the transparent entry is black under its mask.
  const std::vector<Rgb> iconPalette = {
      Colour(0, 0, 0),       Colour(90, 100, 115), kWhite,
      Colour(120, 130, 145), Colour(0, 40, 90),    kHeadingBlue,
      Colour(70, 125, 200),  Colour(150, 108, 79), Colour(40, 190, 80),
  };
  bool ok = true;
  ok = WriteFile(folder, "button_disabled.bmp", Bmp24(ButtonImage(ButtonState::Disabled))) && ok;
  ok = WriteFile(folder, "button_normal.bmp", Bmp24(ButtonImage(ButtonState::Normal))) && ok;
  ok = WriteFile(folder, "button_pressed.bmp", Bmp24(ButtonImage(ButtonState::Pressed))) && ok;
  ok = WriteFile(folder, "main_background.bmp", Bmp24(MainBackground())) && ok;
  ok = WriteFile(folder, "port_background.bmp", Bmp24(PortBackground())) && ok;
  ok = WriteFile(folder, "quintkora.ico", Ico({Icon(32, kIcon32), Icon(16, kIcon16)}, iconPalette)) && ok;
  return ok ? 0 : 1;
}
