// The four operations behind "Get Printer Status", "Set Printer Status", "Initialize
// status" and "Print Self-test page". Each printer operation opens the connection at its
// start and closes it at its end, with fixed waits between commands.
#pragma once
#include "settings_utility/printer_protocol/font_download.h"
#include "settings_utility/printer_protocol/operation_context.h"
#include "settings_utility/printer_protocol/printer_info.h"

namespace kora {

// A printer that never sends the "7" of the first switch reply is given up on after this
// many single-byte reads.
constexpr int kMaxSwitchHeaderReads = 64;
constexpr std::uint32_t kSelfTestWaitMs = 4300;

class PrinterOperations {
 public:
  PrinterOperations(OperationContext& context, PrinterInfo& info, FontDownload& fontDownload);

  void GetStatus();
  void SetStatus();
  void InitializeStatus();
  void PrintSelfTest();

 private:
  bool CommonStart();
  void ReadSwitch(std::uint8_t switchNumber, int row, bool first);

  OperationContext& context_;
  PrinterInfo& info_;
  FontDownload& fontDownload_;
};

}  // namespace kora
