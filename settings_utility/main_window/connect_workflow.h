// Connecting: bring the printer into a known command state, check that its firmware speaks
// the settings protocol and that it is an HRX-410, and read its firmware version and language
// for display. The port is closed again at the end, whatever the outcome.
#pragma once
#include <string>

#include "settings_utility/printer_protocol/operation_context.h"
#include "settings_utility/printer_protocol/printer_info.h"

namespace kora {

extern const char kModelName[];  // "HRX-410"

class ConnectWorkflow {
 public:
  explicit ConnectWorkflow(OperationContext& context);

  // Identifies the printer; true on success (printerConnected is then set).
  bool ConnectPrinter();
 private:
  bool FirmwareSupported();
  std::string ReadModelName();
  bool Fail(const char* text, const char* title, platform::MessageIcon icon);

  OperationContext& context_;
  PrinterInfo info_;
};

}  // namespace kora
