// The bitmap button's face in each state: which image, and where and in which colour the
// caption goes.
#include <gtest/gtest.h>

#include "settings_utility/skin/bitmap_button.h"

namespace {

constexpr std::uint32_t kNormalText = 0x4F6C96;    // RGB(150, 108, 79)
constexpr std::uint32_t kDisabledText = 0x818181;  // RGB(129, 129, 129)

TEST(BitmapButton, ImageByStateAndImageCount) {
  struct Row {
    int images;
    bool disabled, pressed;
    int shown;
  } rows[] = {
      {0, false, false, -1}, {0, true, false, -1},
      // Only a normal image: shown in every state.
      {1, false, false, 0}, {1, false, true, 0}, {1, true, false, 0}, {1, true, true, 0},
      // Normal and pressed: the normal image when disabled, even while pressed.
      {2, false, false, 0}, {2, false, true, 1}, {2, true, false, 0}, {2, true, true, 0},
      // All three.
      {3, false, false, 0}, {3, false, true, 1}, {3, true, false, 2}, {3, true, true, 2},
  };
  for (const Row& row : rows) {
    kora::BitmapButton button;
    button.SetImageCount(row.images);
    EXPECT_EQ(button.Face(row.disabled, row.pressed).image, row.shown)
        << row.images << " images, disabled " << row.disabled << ", pressed " << row.pressed;
  }
}

TEST(BitmapButton, CaptionColourFollowsTheEnabledState) {
  kora::BitmapButton button;
  EXPECT_EQ(button.Face(false, false).textColour, 0xFFFFFFu);  // white until set
  button.SetTextColours(kNormalText, kDisabledText);
  EXPECT_EQ(button.Face(false, false).textColour, kNormalText);
  EXPECT_EQ(button.Face(false, true).textColour, kNormalText);
  EXPECT_EQ(button.Face(true, false).textColour, kDisabledText);
}

TEST(BitmapButton, CaptionIsCentredWhenEitherOriginIsMinusOne) {
  struct Row {
    int x, y;
    bool centred;
  } rows[] = {{-1, -1, true}, {-1, 6, true}, {20, -1, true}, {20, 6, false}, {0, 0, false}};
  for (const Row& row : rows) {
    kora::BitmapButton button;
    button.SetTextOrigin(row.x, row.y);
    const kora::ButtonFace face = button.Face(false, false);
    EXPECT_EQ(face.centred, row.centred) << "origin (" << row.x << ", " << row.y << ")";
    if (row.centred) {
      EXPECT_EQ(face.textFormat, 37u) << "DT_CENTER | DT_VCENTER | DT_SINGLELINE";
    } else {
      EXPECT_EQ(face.textX, row.x);
      EXPECT_EQ(face.textY, row.y);
    }
  }
  // The default origin centres.
  EXPECT_TRUE(kora::BitmapButton().Face(false, false).centred);
}

}  // namespace
