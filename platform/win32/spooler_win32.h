// Win32 adapter of the utility's spooler seam: EnumPrintersA, OpenPrinterA, and
// GetPrinterA / SetPrinterA at level 2 on the printer it opens.
#pragma once
#include "platform/spooler.h"

namespace platform {

class Win32Spooler : public Spooler {
 public:
  long EnumLocalPrinters2(std::vector<PrinterInfo2>& printers) override;
  long OpenPrinter(const std::string& name, std::uint32_t access,
                   std::unique_ptr<PrinterHandle>& printer) override;
};

}  // namespace platform
