#include "settings_utility/printer_protocol/printer_commands.h"

namespace kora {
namespace commands {

const Bytes kInitializePrinter = {0x1B, 0x40};
const Bytes kSelectPrinterDevice = {0x1B, 0x3D, 0x01};
const Bytes kDisableStatusBack = {0x1D, 0x61, 0x00};
const Bytes kQueryFirmwareSupport = {0x1D, 0x49, 0x03};
const Bytes kQueryModelName = {0x1D, 0x49, 0x43};
const Bytes kQueryFirmwareVersion = {0x1D, 0x49, 0x41};
const Bytes kQueryLanguage = {0x1D, 0x49, 0x45};
const Bytes kEnterSettingMode = {0x08, 0x5E, 0x45, 0x01, 0x00, 0x01};
const Bytes kLeaveSettingMode = {0x08, 0x5E, 0x45, 0x01, 0x00, 0x02};
const Bytes kPrintSelfTest = {0x1D, 0x28, 0x41, 0x02, 0x00, 0x01, 0x02};
const Bytes kParallelFlushByte = {0x00};

Bytes ReadMemorySwitch(std::uint8_t switchNumber) {
  return {0x08, 0x5E, 0x45, 0x02, 0x00, 0x04, switchNumber};
}

std::string SwitchGroup(const PrinterSettings& settings, int row) {
  std::string group(kSwitchGroupChars, '2');
  for (int bit = 1; bit <= 8; ++bit) {
    const SwitchBitValue value = settings.Bit(row, bit);
    if (value == kOne) group[8 - bit] = '1';
    if (value == kZero) group[8 - bit] = '0';
  }
  return group;
}

WriteSwitchesCommand WriteMemorySwitches(const PrinterSettings& settings, bool buyerSetNotChange) {
  WriteSwitchesCommand command{};
  const std::uint8_t header[kWriteSwitchesHeaderBytes] = {0x08, 0x5E, 0x45, 0x39, 0x00, 0x03};
  std::size_t at = 0;
  for (std::uint8_t byte : header) command[at++] = byte;
  for (int row = 0; row < kSwitchRowCount; ++row) {
    const std::string group = row == kMsw12 && buyerSetNotChange ? std::string(kSwitchGroupChars, '2')
                                                                 : SwitchGroup(settings, row);
    for (char c : group) command[at++] = static_cast<std::uint8_t>(c);
  }
  return command;
}

SwitchBitValue BitFromChar(std::uint8_t character) {
  if (character == '1') return kOne;
  if (character == '0') return kZero;
  return kUnchanged;
}

}  // namespace commands
}  // namespace kora
