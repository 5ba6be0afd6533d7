// Status files (".sts"): a 256-byte snapshot of the settings model, saved from one printer
// and loaded to write to others. Neither operation talks to the printer.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/files.h"
#include "settings_utility/printer_protocol/operation_context.h"

namespace kora {

// 64 signed 32-bit little-endian integers, no header: the seven switch rows (column 0 and
// bits 1 to 8 each) in the order 1, 2, 8, 9, 10, 11, 12, then the buyer set value.
constexpr std::size_t kStatusFileBytes = 256;
using StatusFileRecord = std::array<std::uint8_t, kStatusFileBytes>;

StatusFileRecord EncodeStatusFile(const PrinterSettings& settings);
// Takes the first 256 bytes; a shorter file reads as zeros for the rest. Values are taken
// over as they stand.
void DecodeStatusFile(const std::vector<std::uint8_t>& bytes, PrinterSettings& settings);

class StatusFile {
 public:
  StatusFile(OperationContext& context, platform::Files& files);

  void SaveStatus();
  void LoadStatus();

 private:
  OperationContext& context_;
  platform::Files& files_;
};

}  // namespace kora
