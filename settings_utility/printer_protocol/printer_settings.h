// The utility's picture of the printer's memory switches, the meaning of the bits the window
// shows, and the fixed choice lists.
#pragma once
#include <array>
#include <cstdint>

namespace kora {

// One bit of a memory switch as the utility knows it. Values outside 0..2 can come from a
// status file; they are kept as they are and written to the printer as "leave alone".
using SwitchBitValue = std::int32_t;
constexpr SwitchBitValue kUnchanged = 0;  // no value: the printer keeps its bit
constexpr SwitchBitValue kOne = 1;
constexpr SwitchBitValue kZero = 2;

// Rows of the switch matrix, in the order of the switch write and of the status file.
enum SwitchRow : int { kMsw1 = 0, kMsw2, kMsw8, kMsw9, kMsw10, kMsw11, kMsw12, kSwitchRowCount };
constexpr std::array<std::uint8_t, kSwitchRowCount> kSwitchNumbers = {1, 2, 8, 9, 10, 11, 12};
constexpr int kSwitchColumns = 9;  // column 0 carries no meaning; columns 1..8 are bits 1..8

struct PrinterSettings {
  std::array<std::array<SwitchBitValue, kSwitchColumns>, kSwitchRowCount> switchMatrix{};
  std::int32_t buyerSetValue = 0;
  // Switch 12 bits 1..8 as last shown; the buyer set choice "Not Change" puts them back.
  std::array<SwitchBitValue, 8> mswSavedCopy{};

  SwitchBitValue& Bit(int row, int bit) { return switchMatrix[row][bit]; }
  SwitchBitValue Bit(int row, int bit) const { return switchMatrix[row][bit]; }
  void SetAllUnchanged();
};

// The six setting lists: index 0 "Not Change", 1 the bit is One, 2 the bit is Zero.
struct SettingList {
  int controlId;
  int row;
  int bit;
  const char* oneText;
  const char* zeroText;
};
extern const std::array<SettingList, 6> kSettingLists;
extern const char kNotChange[];

// Code page list: entry 0 "Not Change", entry i stands for code page number i - 1.
extern const std::array<const char*, 38> kCodePageEntries;
// Buyer set list entries: "Not Change", "STD", "KOR", "CHN-GB2312", "CHN-BIG5", "JAP".
extern const std::array<const char*, 6> kBuyerSetEntries;

// Switch 2 bits that carry code page number bits 0..5, in this order.
constexpr std::array<int, 6> kCodePageBits = {4, 5, 6, 7, 8, 3};

// The switch 12 code a buyer set entry writes (entry 0 has none).
int BuyerSetCode(int buyerSetIndex);
// Font image resource to download after a set with this buyer set selection; 0 for none.
int FontResourceForBuyerSet(int buyerSetIndex);

// Sum of 2^(k-1) over the switch 12 bits k that are One.
int BuyerCodeOf(const PrinterSettings& settings);
// The code page number formed from the switch 2 bits that are One.
int CodePageNumberOf(const PrinterSettings& settings);

// Code page list choice i: 0 leaves switch 2 bits 3..8 alone, else sets them from i - 1.
void ApplyCodePageChoice(PrinterSettings& settings, int index);

// Buyer set choice i on switch 12 and switch 9 bit 1 (the window part is done by the caller).
void ApplyBuyerSetChoice(PrinterSettings& settings, int index);

// The initial state of "Initialize status".
void ApplyInitialValues(PrinterSettings& settings);

}  // namespace kora
