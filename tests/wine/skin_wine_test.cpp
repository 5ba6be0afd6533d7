// End-to-end tests under Wine of the settings utility's skinned look: the port settings dialog
// cut to the shape of its picture, the region builder on Wine's own GDI, the window sizes, the
// captions the bitmap buttons carry, and screenshots of both windows (build/screenshots/, from
// which `make screenshots` refreshes the pictures of the README).
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/win32/gdi_win32.h"
#include "settings_utility/skin/window_region.h"
#include "tests/wine/ui_driver.h"
#include "tests/wine/utility_session.h"

namespace {

using uidriver::Control;
using uidriver::Text;
namespace ids = utility::main_ids;

constexpr int kPortBackground = 146;
constexpr SIZE kMainWindowSize = {502, 348};
constexpr SIZE kPortDialogSize = {556, 388};
constexpr unsigned kPicturedTcpPort = 9100;

struct GdiObjectDeleter {
  void operator()(void* object) const { DeleteObject(static_cast<HGDIOBJ>(object)); }
};
using OwnedRegion = std::unique_ptr<std::remove_pointer_t<HRGN>, GdiObjectDeleter>;
using OwnedBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter>;

struct ModuleDeleter {
  void operator()(HMODULE module) const { FreeLibrary(module); }
};
using OwnedModule = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleDeleter>;

struct ScreenDcReleaser {
  void operator()(HDC dc) const { ReleaseDC(nullptr, dc); }
};
using OwnedScreenDc = std::unique_ptr<std::remove_pointer_t<HDC>, ScreenDcReleaser>;

SIZE WindowSize(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

// The port dialog's picture as QuintKora.exe carries it, 32 bits per pixel, top row first.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<RGBQUAD> pixels;
};

Picture LoadPortBackground() {
  const std::string program = utility::BinDir() + "\\QuintKora.exe";
  OwnedModule module(LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  if (!module) throw uidriver::Win32Error("LoadLibraryExA " + program, GetLastError());
  OwnedBitmap bitmap(static_cast<HBITMAP>(
      LoadImageA(module.get(), MAKEINTRESOURCEA(kPortBackground), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  if (!bitmap) throw uidriver::Win32Error("LoadImageA of bitmap 146", GetLastError());
  BITMAP info{};
  GetObjectA(bitmap.get(), sizeof info, &info);

  Picture picture;
  picture.width = info.bmWidth;
  picture.height = info.bmHeight;
  picture.pixels.resize(static_cast<std::size_t>(info.bmWidth) * info.bmHeight);
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = info.bmWidth;
  format.bmiHeader.biHeight = -info.bmHeight;  // top-down
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 32;
  format.bmiHeader.biCompression = BI_RGB;
  OwnedScreenDc screen(GetDC(nullptr));
  if (GetDIBits(screen.get(), bitmap.get(), 0, static_cast<UINT>(info.bmHeight), picture.pixels.data(),
                &format, DIB_RGB_COLORS) != info.bmHeight) {
    throw uidriver::Win32Error("GetDIBits of bitmap 146", GetLastError());
  }
  return picture;
}

// The shape's key is pure green, give or take 17 in each channel.
bool IsKeyGreen(const RGBQUAD& pixel) {
  return pixel.rgbRed <= 17 && pixel.rgbGreen >= 238 && pixel.rgbBlue <= 17;
}

TEST(SkinTest, PortDialogIsCutToTheNonGreenPixelsOfItsPicture) {
  utility::DeleteUtilitySettings();
  uidriver::Process app = utility::StartQuintKora();
  HWND window = uidriver::WaitForTopLevelWindow(utility::kMainCaption, app.Id(), utility::kStartWaitMs);
  uidriver::Click(Control(window, ids::kConnect));
  HWND dialog = utility::WaitForPortSettingsDialog(app.Id());

  const SIZE size = WindowSize(dialog);
  EXPECT_EQ(size.cx, kPortDialogSize.cx);
  EXPECT_EQ(size.cy, kPortDialogSize.cy);

  OwnedRegion region(CreateRectRgn(0, 0, 0, 0));
  const int kind = GetWindowRgn(dialog, region.get());
  ASSERT_NE(kind, ERROR) << "the dialog has no window region";
  ASSERT_NE(kind, NULLREGION);

  // Every pixel of the window is inside the region exactly when the picture has a non-green
  // pixel there; beyond the picture (smaller than the window) nothing is.
  const Picture picture = LoadPortBackground();
  ASSERT_LT(picture.width, size.cx);
  ASSERT_LT(picture.height, size.cy);
  long inside = 0;
  long wrong = 0;
  std::string firstWrong;
  for (int y = 0; y < size.cy; ++y) {
    for (int x = 0; x < size.cx; ++x) {
      const bool opaque = x < picture.width && y < picture.height &&
                          !IsKeyGreen(picture.pixels[static_cast<std::size_t>(y) * picture.width + x]);
      const bool inRegion = PtInRegion(region.get(), x, y) != FALSE;
      inside += inRegion ? 1 : 0;
      if (inRegion != opaque && wrong++ < 5) {
        firstWrong += " (" + std::to_string(x) + "," + std::to_string(y) + ")" +
                      (inRegion ? " in region, green" : " not in region, opaque");
      }
    }
  }
  EXPECT_EQ(wrong, 0) << "pixels where region and picture disagree, the first:" << firstWrong;
  EXPECT_GT(inside, 0);
  EXPECT_LT(inside, static_cast<long>(size.cx) * size.cy);

  uidriver::Click(Control(dialog, IDCANCEL));
  uidriver::WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, utility::kCloseWaitMs,
                      "the port settings dialog to close");
  uidriver::Click(Control(window, ids::kExit));
  EXPECT_EQ(app.WaitForExitCode(utility::kExitWaitMs), 0u);
}

// The region builder over Wine's real GDI, on a small picture whose shape differs top to bottom
// and left to right (the port dialog's own shape is symmetric both ways, so it cannot show a
// picture read upside down or mirrored): an L with a hole, and next to the key colour's
// tolerance edge pixels on either side of it.
TEST(SkinTest, RegionBuilderOnRealGdiFollowsAnAsymmetricPicture) {
  constexpr int kWidth = 23;
  constexpr int kHeight = 17;
  struct Rgb {
    BYTE r, g, b;
  };
  constexpr Rgb kKey = {0, 255, 0};
  constexpr Rgb kShape = {40, 70, 150};
  constexpr Rgb kNearKey = {17, 238, 17};    // within the tolerance: cut away like the key
  constexpr Rgb kBeyondKey = {18, 255, 0};   // one step outside it: part of the shape
  auto same = [](Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; };
  auto colourAt = [&](int x, int y) -> Rgb {
    if (x == 20 && y == 2) return kNearKey;
    if (x == 21 && y == 2) return kBeyondKey;
    const bool upright = x >= 2 && x < 7 && y >= 1 && y < 15;  // the L's stem, on the left
    const bool foot = x >= 2 && x < 18 && y >= 11 && y < 15;   // its foot, at the bottom
    const bool hole = x == 4 && y == 4;
    return (upright || foot) && !hole ? kShape : kKey;
  };

  // A 24-bit DIB section, as the windows load their pictures; top-down here, so that the
  // builder's own bottom-up copy has to turn it round.
  BITMAPINFO format{};
  format.bmiHeader.biSize = sizeof format.bmiHeader;
  format.bmiHeader.biWidth = kWidth;
  format.bmiHeader.biHeight = -kHeight;
  format.bmiHeader.biPlanes = 1;
  format.bmiHeader.biBitCount = 24;
  format.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  OwnedBitmap bitmap(CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0));
  ASSERT_TRUE(bitmap && bits != nullptr) << "CreateDIBSection failed with " << GetLastError();
  const int stride = (kWidth * 3 + 3) / 4 * 4;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      BYTE* pixel = static_cast<BYTE*>(bits) + y * stride + x * 3;
      const Rgb colour = colourAt(x, y);
      pixel[0] = colour.b;
      pixel[1] = colour.g;
      pixel[2] = colour.r;
    }
  }
  GdiFlush();

  for (bool collectOpaque : {false, true}) {
    SCOPED_TRACE(collectOpaque ? "collecting the shape's runs" : "collecting the key's runs");
    platform::Win32RegionGdi gdi(bitmap.get());
    std::unique_ptr<platform::Region> built = kora::BuildWindowRegion(gdi, RGB(0, 255, 0), collectOpaque);
    ASSERT_NE(built, nullptr);
    HRGN region = static_cast<platform::Win32Region&>(*built).Get();
    std::string wrong;
    for (int y = -1; y <= kHeight; ++y) {
      for (int x = -1; x <= kWidth; ++x) {
        const bool inside = x >= 0 && y >= 0 && x < kWidth && y < kHeight;
        const bool expected = inside && (same(colourAt(x, y), kShape) || same(colourAt(x, y), kBeyondKey));
        if ((PtInRegion(region, x, y) != FALSE) != expected)
          wrong += " (" + std::to_string(x) + "," + std::to_string(y) + ")";
      }
    }
    EXPECT_EQ(wrong, "") << "pixels on the wrong side of the region";
  }
}

// Pictures a window for the README, when the run names a screenshot folder (CTest does).
void Photograph(HWND window, const char* name) {
  if (utility::ScreenshotsConfigured())
    utility::TakeScreenshot(window, name);
  else
    std::printf("no screenshot %s: KIT_SCREENSHOT_TOOL and KIT_SCREENSHOT_DIR are not set\n", name);
}

// The path a user takes to connect: the main window Disconnected, the port settings dialog
// with Ethernet chosen, the main window Connected. Each is pictured on the way.
TEST(SkinTest, ConnectThroughThePortDialogWithScreenshots) {
  utility::DeleteUtilitySettings();
  uidriver::Process app = utility::StartQuintKora();
  HWND window = uidriver::WaitForTopLevelWindow(utility::kMainCaption, app.Id(), utility::kStartWaitMs);
  const SIZE size = WindowSize(window);
  EXPECT_EQ(size.cx, kMainWindowSize.cx);
  EXPECT_EQ(size.cy, kMainWindowSize.cy);
  EXPECT_EQ(Text(Control(window, ids::kConnect)), "Connect Printer");
  Photograph(window, "main-disconnected");

  uidriver::Click(Control(window, ids::kConnect));
  HWND dialog = utility::WaitForPortSettingsDialog(app.Id());
  // Pictured with the usual raw printing port, so that the picture does not change from run
  // to run with the simulator's port; the simulator's goes in before OK.
  utility::ChooseEthernet(dialog, 127, 0, 0, 1, kPicturedTcpPort);
  Photograph(dialog, "port-settings");
  utility::TypeText(Control(dialog, utility::port_ids::kTcpPort), std::to_string(utility::SimulatorPort()));

  uidriver::Click(Control(dialog, IDOK));
  const utility::Message connected = utility::AcknowledgeMessage(app.Id());
  ASSERT_EQ(connected.text, "Printer is connected.");
  utility::WaitForHandlerToEnd(window);
  // The button's window text is the caption it draws.
  EXPECT_EQ(Text(Control(window, ids::kConnect)), "Disconnect Printer");
  Photograph(window, "main-connected");

  uidriver::Click(Control(window, ids::kExit));
  EXPECT_EQ(app.WaitForExitCode(utility::kExitWaitMs), 0u);
}

}  // namespace
