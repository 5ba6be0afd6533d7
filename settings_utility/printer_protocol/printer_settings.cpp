#include "settings_utility/printer_protocol/printer_settings.h"

#include "settings_utility/resources/resource_ids.h"

namespace kora {

const char kNotChange[] = "Not Change";

const std::array<SettingList, 6> kSettingLists = {{
    {IDC_INTERNAL_BUZZER, kMsw1, 4, "Enable", "Disable"},
    {IDC_FONT_TYPE, kMsw2, 1, "B Font (9x24)", "A Font (12x24)"},
    {IDC_AUTO_CUTTER, kMsw2, 2, "Full Cut", "Partial Cut"},
    {IDC_EXTERNAL_BUZZER, kMsw10, 1, "Enable", "Disable"},
    {IDC_PAPER_WIDTH, kMsw10, 5, "2 inch", "3 inch"},
    {IDC_COLOR_MODE, kMsw10, 6, "Color", "Mono"},
}};

const std::array<const char*, 38> kCodePageEntries = {
    "Not Change",
    "PC437 (USA: Standard Europe)",
    "Katakana",
    "PC850 (Multilingual)",
    "PC860 (Portugues)",
    "PC863 (Canadian-French)",
    "PC865 (Nordic)",
    "WPC1252 (Lantin 1)",
    "PC866 (Cyrillic #2)",
    "PC852 (Latin 2)",
    "PC858 (Euro)",
    "PC862 (Hebrew DOS code)",
    "PC864 (Arabic)",
    "Thai character code 42",
    "WPC1253 (Greek)",
    "WPC1254 (Turkish)",
    "WPC1257 (Baltic)",
    "Farsi",
    "WPC1251 (Cyrillic)",
    "PC737 (Greek)",
    "PC775 (Baltic)",
    "Thai character code 14",
    "Hebrew Old code",
    "WPC1255 (Hebrew)",
    "Thai character code 11",
    "Thai character code 18",
    "PC855 (Cyrillic)",
    "PC857 (Turkish)",
    "PC928 (Greek)",
    "Thai character code 16",
    "WPC 1256 (Arabic)",
    "Reserved",
    "Reserved",
    "User Codepage(Page 43)",
    "User Codepage(Page 44)",
    "User Codepage(Page 45)",
    "User Codepage(Page 46)",
    "Reserved",
};

const std::array<const char*, 6> kBuyerSetEntries = {"Not Change", "STD",      "KOR",
                                                     "CHN-GB2312", "CHN-BIG5", "JAP"};

namespace {
struct BuyerSetRow {
  int code;
  int fontResource;
};
// Index 0 ("Not Change") restores the saved bits instead of writing a code.
constexpr std::array<BuyerSetRow, 6> kBuyerSets = {{
    {0, 0},
    {0, 0},
    {1, IDR_FONT_KOR},
    {2, IDR_FONT_CHN_GB2312},
    {2, IDR_FONT_CHN_BIG5},
    {3, IDR_FONT_JAP},
}};

bool IsDoubleByteCode(int code) { return code >= 1 && code <= 3; }
}  // namespace

void PrinterSettings::SetAllUnchanged() {
  for (auto& row : switchMatrix) row.fill(kUnchanged);
}

int BuyerSetCode(int index) {
  return index >= 0 && index < static_cast<int>(kBuyerSets.size()) ? kBuyerSets[index].code : 0;
}

int FontResourceForBuyerSet(int index) {
  return index >= 0 && index < static_cast<int>(kBuyerSets.size()) ? kBuyerSets[index].fontResource
                                                                   : 0;
}

int BuyerCodeOf(const PrinterSettings& settings) {
  int code = 0;
  for (int bit = 1; bit <= 8; ++bit)
    if (settings.Bit(kMsw12, bit) == kOne) code |= 1 << (bit - 1);
  return code;
}

int CodePageNumberOf(const PrinterSettings& settings) {
  int number = 0;
  for (std::size_t i = 0; i < kCodePageBits.size(); ++i)
    if (settings.Bit(kMsw2, kCodePageBits[i]) == kOne) number |= 1 << i;
  return number;
}

void ApplyCodePageChoice(PrinterSettings& settings, int index) {
  if (index == 0) {
    for (int bit = 3; bit <= 8; ++bit) settings.Bit(kMsw2, bit) = kUnchanged;
    return;
  }
  const int number = index - 1;
  for (std::size_t i = 0; i < kCodePageBits.size(); ++i)
    settings.Bit(kMsw2, kCodePageBits[i]) = (number >> i) & 1 ? kOne : kZero;
}

void ApplyBuyerSetChoice(PrinterSettings& settings, int index) {
  for (int bit = 1; bit <= 8; ++bit) settings.Bit(kMsw12, bit) = kZero;
  const int code = BuyerSetCode(index);
  settings.buyerSetValue = index >= 0 && index < static_cast<int>(kBuyerSets.size()) ? index : 0;
  if (index == 0) {
    for (int bit = 1; bit <= 8; ++bit) settings.Bit(kMsw12, bit) = settings.mswSavedCopy[bit - 1];
  } else {
    for (int bit = 1; bit <= 8; ++bit)
      if ((code >> (bit - 1)) & 1) settings.Bit(kMsw12, bit) = kOne;
  }
  if (IsDoubleByteCode(code)) settings.Bit(kMsw9, 1) = kOne;
  if (index == 1) settings.Bit(kMsw9, 1) = kUnchanged;
}

void ApplyInitialValues(PrinterSettings& settings) {
  settings.Bit(kMsw1, 4) = kZero;
  for (int row = kMsw2; row <= kMsw12; ++row)
    for (int bit = 1; bit <= 8; ++bit) settings.Bit(row, bit) = kZero;
  settings.buyerSetValue = 1;
}

}  // namespace kora
