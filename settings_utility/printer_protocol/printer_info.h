// The printer's identity texts: firmware version and language, read after a connect, after
// a set and after a font download.
#pragma once
#include <string>

#include "settings_utility/printer_protocol/operation_context.h"

namespace kora {

// Shown as the first six characters, a blank, characters 7 to 9 and a blank; shorter
// replies are cut where they end (six characters keep their blank).
std::string FormatFirmwareVersion(const std::string& reply);

class PrinterInfo {
 public:
  explicit PrinterInfo(OperationContext& context);

  // Requires an open connection; stores the two texts without showing them.
  void ReadPrinterInfo();
  // Reads the texts when none are known yet and shows them. A printer that sends no version
  // text is not treated as a failure: the caller goes on with an empty text.
  bool EnsurePrinterInfo();

 private:
  std::string ReadInfoText(bool isVersion);

  OperationContext& context_;
};

}  // namespace kora
