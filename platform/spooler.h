// Print spooler seam for the settings utility: local printers at level 2, one printer
// opened, read and written at level 2. A printer is closed when its owner is destroyed.
// PrinterInfo2 is also the record the installer adds a printer with (print_install.h).
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

constexpr std::uint32_t kPrinterAllAccess = 0xF000C;
constexpr std::uint32_t kPrinterEnumLocal = 2;
constexpr std::uint32_t kPrinterAttributeWorkOffline = 0x400;

// The text and number fields of PRINTER_INFO_2A. `native` carries the adapter's own copy
// of the fetched record so that SetPrinter2 can hand back what it does not model
// (device mode, security descriptor); logic never looks into it.
struct PrinterInfo2 {
  std::string serverName;
  std::string printerName;
  std::string shareName;
  std::string portName;
  std::string driverName;
  std::string comment;
  std::string location;
  std::string sepFile;
  std::string printProcessor;
  std::string datatype;
  std::string parameters;
  std::uint32_t attributes = 0;
  std::uint32_t priority = 0;
  std::uint32_t defaultPriority = 0;
  std::uint32_t startTime = 0;
  std::uint32_t untilTime = 0;
  std::uint32_t status = 0;
  std::uint32_t jobs = 0;
  std::uint32_t averagePpm = 0;
  std::shared_ptr<const void> native;
};

class PrinterHandle {
 public:
  virtual ~PrinterHandle() = default;  // ClosePrinter
  // GetPrinterA level 2: a size call then a fetch into a zeroed buffer of that size.
  // Returns kErrorSuccess or the error of the call that failed.
  virtual long GetPrinter2(PrinterInfo2& info) = 0;
  // SetPrinterA level 2, command 0.
  virtual long SetPrinter2(const PrinterInfo2& info) = 0;
};

class Spooler {
 public:
  virtual ~Spooler() = default;
  // EnumPrintersA(PRINTER_ENUM_LOCAL, level 2): a size call, then a fetch.
  virtual long EnumLocalPrinters2(std::vector<PrinterInfo2>& printers) = 0;
  // OpenPrinterA with the given desired access.
  virtual long OpenPrinter(const std::string& name, std::uint32_t access,
                           std::unique_ptr<PrinterHandle>& printer) = 0;
};

}  // namespace platform
