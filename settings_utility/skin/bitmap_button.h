// BitmapButton: what an owner-drawn push button of the skin shows in each state. It keeps
// how many images are loaded (normal, pressed, disabled), the caption, where and in which
// colours the caption goes; the window side loads the images and does the drawing.
#pragma once
#include <cstdint>
#include <string>
#include <utility>

namespace kora {

// What to draw for one state of the button.
struct ButtonFace {
  int image = -1;                 // index in the image list; -1: no image loaded
  std::uint32_t textColour = 0;   // COLORREF
  bool centred = false;           // caption centred in the image rectangle with textFormat
  int textX = 0, textY = 0;       // caption origin when not centred
  std::uint32_t textFormat = 0;
};

class BitmapButton {
 public:
  // DT_CENTER | DT_VCENTER | DT_SINGLELINE.
  static constexpr std::uint32_t kCentredTextFormat = 37;
  static constexpr std::uint32_t kDefaultTextColour = 0xFFFFFF;

  // Images now in the list, in the order normal, pressed, disabled (0 when none loaded).
  void SetImageCount(int count) { imageCount_ = count; }
  int imageCount() const { return imageCount_; }
  bool imagesLoaded() const { return imageCount_ > 0; }

  void SetCaption(std::string caption) { caption_ = std::move(caption); }
  const std::string& caption() const { return caption_; }

  // -1 in either coordinate centres the caption.
  void SetTextOrigin(int x, int y) { textX_ = x, textY_ = y; }
  void SetTextColours(std::uint32_t normal, std::uint32_t disabled) {
    normalColour_ = normal, disabledColour_ = disabled;
  }

  // A disabled button shows its third image when it has three, else the first; an enabled
  // one shows the second while pressed when it has more than one, else the first.
  ButtonFace Face(bool disabled, bool pressed) const;

 private:
  int imageCount_ = 0;
  std::string caption_;
  std::uint32_t normalColour_ = kDefaultTextColour;
  std::uint32_t disabledColour_ = kDefaultTextColour;
  int textX_ = -1;
  int textY_ = -1;
  std::uint32_t textFormat_ = kCentredTextFormat;
};

}  // namespace kora
