// Every byte sequence the utility sends to the printer, and the encoding of memory switch
// bits in both directions.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "settings_utility/printer_protocol/printer_settings.h"

namespace kora {
namespace commands {

using Bytes = std::vector<std::uint8_t>;

extern const Bytes kInitializePrinter;     // 1B 40
extern const Bytes kSelectPrinterDevice;   // 1B 3D 01
extern const Bytes kDisableStatusBack;     // 1D 61 00
extern const Bytes kQueryFirmwareSupport;  // 1D 49 03
extern const Bytes kQueryModelName;        // 1D 49 43
extern const Bytes kQueryFirmwareVersion;  // 1D 49 41
extern const Bytes kQueryLanguage;         // 1D 49 45
extern const Bytes kEnterSettingMode;      // 08 5E 45 01 00 01
extern const Bytes kLeaveSettingMode;      // 08 5E 45 01 00 02
extern const Bytes kPrintSelfTest;         // 1D 28 41 02 00 01 02
extern const Bytes kParallelFlushByte;     // 00

// 08 5E 45 02 00 04 n
Bytes ReadMemorySwitch(std::uint8_t switchNumber);

constexpr std::uint8_t kFirmwareSupported = 'c';
constexpr std::uint8_t kTextReplyHeader = '_';
constexpr std::uint8_t kSwitchReplyHeader = '7';

// The write: 08 5E 45 39 00 03 and seven groups of eight characters, switch order 1, 2, 8,
// 9, 10, 11, 12, bit 8 first. 0x39 = 57 is the count of what follows the count bytes.
constexpr std::size_t kWriteSwitchesHeaderBytes = 6;
constexpr std::size_t kSwitchGroupChars = 8;
constexpr std::size_t kWriteSwitchesBytes = kWriteSwitchesHeaderBytes + 7 * kSwitchGroupChars;
using WriteSwitchesCommand = std::array<std::uint8_t, kWriteSwitchesBytes>;

// One group: "1" for One, "0" for Zero, "2" (leave alone) for anything else.
std::string SwitchGroup(const PrinterSettings& settings, int row);
// The whole command. While the buyer set selection is "Not Change" the switch 12 group
// stays "22222222", whatever the model holds.
WriteSwitchesCommand WriteMemorySwitches(const PrinterSettings& settings, bool buyerSetNotChange);

// "1" -> One, "0" -> Zero, anything else -> Unchanged.
SwitchBitValue BitFromChar(std::uint8_t character);

}  // namespace commands
}  // namespace kora
