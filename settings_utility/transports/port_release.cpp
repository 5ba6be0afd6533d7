#include "settings_utility/transports/port_release.h"

#include <memory>
#include <vector>

#include "platform/os_codes.h"

namespace kora {

namespace {

const char kReleasedPort[] = "FILE:";

// Opens `printerName`, sets its port and stores it. Returns false when reading or writing
// its record failed; a printer that cannot be opened counts as `openFailed`.
bool SetPrinterPort(platform::Spooler& spooler, const std::string& printerName,
                    const std::string& portName, bool& openFailed) {
  std::unique_ptr<platform::PrinterHandle> printer;
  openFailed = spooler.OpenPrinter(printerName, platform::kPrinterAllAccess, printer) !=
                   platform::kErrorSuccess ||
               !printer;
  if (openFailed) return true;
  platform::PrinterInfo2 info;
  if (printer->GetPrinter2(info) != platform::kErrorSuccess) return false;
  info.portName = portName;
  printer->SetPrinter2(info);
  return true;
}

}  // namespace

void PortRelease(platform::Spooler& spooler, const std::string& portText, ReleasedPrinters& released) {
  std::vector<platform::PrinterInfo2> printers;
  if (spooler.EnumLocalPrinters2(printers) != platform::kErrorSuccess) return;
  bool ok = true;
  for (const auto& printer : printers) {
    if (printer.portName.find(portText) == std::string::npos) continue;
    released[printer.printerName] = printer.portName;
    if (!ok) continue;
    bool openFailed = false;
    ok = SetPrinterPort(spooler, printer.printerName, kReleasedPort, openFailed);
  }
}

void RestoreReleasedPrinters(platform::Spooler& spooler, ReleasedPrinters& released) {
  // Each printer is given back independently: one that cannot be read must not leave the
  // others printing to "FILE:".
  for (const auto& entry : released) {
    bool openFailed = false;
    SetPrinterPort(spooler, entry.first, entry.second, openFailed);
  }
  released.clear();
}

}  // namespace kora
