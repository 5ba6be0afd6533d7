// The settings model and the command set: bit mapping of the lists, code pages and buyer
// sets, and every command byte for byte.
#include <gtest/gtest.h>

#include <string>

#include "settings_utility/printer_protocol/printer_commands.h"
#include "settings_utility/printer_protocol/printer_settings.h"
#include "settings_utility/resources/resource_ids.h"

using namespace kora;
using commands::Bytes;

namespace {

PrinterSettings AllUnchanged() {
  PrinterSettings s;
  s.SetAllUnchanged();
  return s;
}

std::string Groups(const commands::WriteSwitchesCommand& command) {
  return std::string(command.begin() + 6, command.end());
}

TEST(Commands, EveryCommandByteForByte) {
  struct Row {
    const char* name;
    Bytes actual;
    Bytes expected;
  } rows[] = {
      {"InitializePrinter", commands::kInitializePrinter, {0x1B, 0x40}},
      {"SelectPrinterDevice", commands::kSelectPrinterDevice, {0x1B, 0x3D, 0x01}},
      {"DisableStatusBack", commands::kDisableStatusBack, {0x1D, 0x61, 0x00}},
      {"QueryFirmwareSupport", commands::kQueryFirmwareSupport, {0x1D, 0x49, 0x03}},
      {"QueryModelName", commands::kQueryModelName, {0x1D, 0x49, 0x43}},
      {"QueryFirmwareVersion", commands::kQueryFirmwareVersion, {0x1D, 0x49, 0x41}},
      {"QueryLanguage", commands::kQueryLanguage, {0x1D, 0x49, 0x45}},
      {"EnterSettingMode", commands::kEnterSettingMode, {0x08, 0x5E, 0x45, 0x01, 0x00, 0x01}},
      {"LeaveSettingMode", commands::kLeaveSettingMode, {0x08, 0x5E, 0x45, 0x01, 0x00, 0x02}},
      {"PrintSelfTest", commands::kPrintSelfTest, {0x1D, 0x28, 0x41, 0x02, 0x00, 0x01, 0x02}},
      {"ParallelFlushByte", commands::kParallelFlushByte, {0x00}},
      {"ReadMemorySwitch 0C", commands::ReadMemorySwitch(0x0C), {0x08, 0x5E, 0x45, 0x02, 0x00, 0x04, 0x0C}},
  };
  for (const Row& row : rows) EXPECT_EQ(row.actual, row.expected) << row.name;
}

TEST(Commands, WriteOfAnUntouchedModelLeavesEveryBitAlone) {
  const auto command = commands::WriteMemorySwitches(AllUnchanged(), true);
  ASSERT_EQ(command.size(), 62u);
  const Bytes header(command.begin(), command.begin() + 6);
  EXPECT_EQ(header, (Bytes{0x08, 0x5E, 0x45, 0x39, 0x00, 0x03}));  // count 57, not 62
  EXPECT_EQ(Groups(command), std::string(56, '2'));
}

TEST(Commands, GroupsAreBitEightFirstAndOutOfRangeValuesLeaveBitsAlone) {
  PrinterSettings s = AllUnchanged();
  s.Bit(kMsw1, 1) = kOne;
  s.Bit(kMsw1, 8) = kZero;
  s.Bit(kMsw1, 4) = 7;   // from a status file: not a value the printer can take
  s.Bit(kMsw1, 5) = -1;
  EXPECT_EQ(commands::SwitchGroup(s, kMsw1), "02222221");
}

TEST(Commands, BuyerSetNotChangeKeepsSwitchTwelveAlone) {
  PrinterSettings s = AllUnchanged();
  for (int bit = 1; bit <= 8; ++bit) s.Bit(kMsw12, bit) = kZero;
  s.Bit(kMsw12, 1) = kOne;
  EXPECT_EQ(Groups(commands::WriteMemorySwitches(s, true)).substr(48), "22222222");
  EXPECT_EQ(Groups(commands::WriteMemorySwitches(s, false)).substr(48), "00000001");
}

TEST(Commands, ReplyCharactersToBits) {
  EXPECT_EQ(commands::BitFromChar('1'), kOne);
  EXPECT_EQ(commands::BitFromChar('0'), kZero);
  for (std::uint8_t c : {' ', '2', 'x', '\0', '7'}) EXPECT_EQ(commands::BitFromChar(c), kUnchanged) << int(c);
}

TEST(SettingsModel, SettingListsAddressTheirBits) {
  struct Row {
    int id;
    int row;
    int bit;
    const char* one;
    const char* zero;
  } rows[] = {
      {IDC_INTERNAL_BUZZER, kMsw1, 4, "Enable", "Disable"},      {IDC_FONT_TYPE, kMsw2, 1, "B Font (9x24)", "A Font (12x24)"},
      {IDC_AUTO_CUTTER, kMsw2, 2, "Full Cut", "Partial Cut"},    {IDC_EXTERNAL_BUZZER, kMsw10, 1, "Enable", "Disable"},
      {IDC_PAPER_WIDTH, kMsw10, 5, "2 inch", "3 inch"},          {IDC_COLOR_MODE, kMsw10, 6, "Color", "Mono"},
  };
  ASSERT_EQ(kSettingLists.size(), 6u);
  for (std::size_t i = 0; i < kSettingLists.size(); ++i) {
    EXPECT_EQ(kSettingLists[i].controlId, rows[i].id);
    EXPECT_EQ(kSettingLists[i].row, rows[i].row);
    EXPECT_EQ(kSettingLists[i].bit, rows[i].bit);
    EXPECT_STREQ(kSettingLists[i].oneText, rows[i].one);
    EXPECT_STREQ(kSettingLists[i].zeroText, rows[i].zero);
  }
}

TEST(SettingsModel, CodePageChoiceSetsSixBits) {
  PrinterSettings s = AllUnchanged();
  ASSERT_EQ(kCodePageEntries.size(), 38u);
  EXPECT_STREQ(kCodePageEntries[33], "User Codepage(Page 43)");
  ApplyCodePageChoice(s, 33);  // N = 32: only bit 3 carries it
  EXPECT_EQ(s.Bit(kMsw2, 3), kOne);
  for (int bit = 4; bit <= 8; ++bit) EXPECT_EQ(s.Bit(kMsw2, bit), kZero) << bit;
  EXPECT_EQ(CodePageNumberOf(s), 32);
  ApplyCodePageChoice(s, 11);  // N = 10 = bits 1 and 3 of N -> switch bits 5 and 7
  EXPECT_EQ(commands::SwitchGroup(s, kMsw2), "01010022");  // bit 8 first; bits 1 and 2 untouched
  EXPECT_EQ(CodePageNumberOf(s), 10);
  ApplyCodePageChoice(s, 0);
  EXPECT_EQ(commands::SwitchGroup(s, kMsw2), "22222222");
}

TEST(SettingsModel, BuyerSetChoices) {
  struct Row {
    int index;
    const char* switch12;
    SwitchBitValue switch9Bit1;
    int buyerSetValue;
    int font;
  } rows[] = {
      {1, "00000000", kUnchanged, 1, 0},
      {2, "00000001", kOne, 2, IDR_FONT_KOR},
      {3, "00000010", kOne, 3, IDR_FONT_CHN_GB2312},
      {4, "00000010", kOne, 4, IDR_FONT_CHN_BIG5},
      {5, "00000011", kOne, 5, IDR_FONT_JAP},
  };
  for (const Row& row : rows) {
    PrinterSettings s = AllUnchanged();
    ApplyBuyerSetChoice(s, row.index);
    EXPECT_EQ(commands::SwitchGroup(s, kMsw12), row.switch12) << row.index;
    EXPECT_EQ(s.Bit(kMsw9, 1), row.switch9Bit1) << row.index;
    EXPECT_EQ(s.buyerSetValue, row.buyerSetValue) << row.index;
    EXPECT_EQ(FontResourceForBuyerSet(row.index), row.font) << row.index;
  }
  for (int outside : {-1, 0, 1, 6, 99}) EXPECT_EQ(FontResourceForBuyerSet(outside), 0) << outside;
}

TEST(SettingsModel, NotChangeRestoresTheSavedSwitchTwelve) {
  PrinterSettings s = AllUnchanged();
  s.mswSavedCopy = {kOne, kZero, kUnchanged, kZero, kZero, kZero, kZero, kOne};
  ApplyBuyerSetChoice(s, 5);
  ApplyBuyerSetChoice(s, 0);
  EXPECT_EQ(commands::SwitchGroup(s, kMsw12), "10000201");
  EXPECT_EQ(s.Bit(kMsw9, 1), kOne);  // "Not Change" does not touch switch 9
  EXPECT_EQ(s.buyerSetValue, 0);
}

TEST(SettingsModel, InitialValues) {
  PrinterSettings s = AllUnchanged();
  s.Bit(kMsw1, 2) = kOne;
  ApplyInitialValues(s);
  EXPECT_EQ(commands::SwitchGroup(s, kMsw1), "22220212");
  for (int row = kMsw2; row <= kMsw12; ++row) EXPECT_EQ(commands::SwitchGroup(s, row), "00000000") << row;
  EXPECT_EQ(s.buyerSetValue, 1);
  EXPECT_EQ(s.Bit(kMsw2, 0), kUnchanged);
}

}  // namespace
