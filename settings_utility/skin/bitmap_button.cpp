// BitmapButton: the choice of image, caption colour and caption place by button state.
#include "settings_utility/skin/bitmap_button.h"

namespace kora {

ButtonFace BitmapButton::Face(bool disabled, bool pressed) const {
  ButtonFace face;
  if (imageCount_ > 0) {
    if (disabled)
      face.image = imageCount_ >= 3 ? 2 : 0;
    else
      face.image = pressed && imageCount_ > 1 ? 1 : 0;
  }
  face.textColour = disabled ? disabledColour_ : normalColour_;
  face.centred = textX_ == -1 || textY_ == -1;
  face.textX = textX_;
  face.textY = textY_;
  face.textFormat = textFormat_;
  return face;
}

}  // namespace kora
