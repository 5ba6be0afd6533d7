// Print spooler seam of the installer: what is installed (drivers, print processors), the
// installation of a language monitor, a print processor, a printer driver and a printer, and
// a printer opened to read and write its printer data. One operation per spooler call; a
// printer is closed (ClosePrinter) when its owner is destroyed.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/spooler.h"

namespace platform {

// PRINTER_ATTRIBUTE_* and PRINTER_STATUS_* bits of a new printer.
constexpr std::uint32_t kPrinterAttributeRawOnly = 0x1000;
constexpr std::uint32_t kPrinterAttributeEnableBidi = 0x800;
constexpr std::uint32_t kPrinterAttributeDoCompleteFirst = 0x200;
constexpr std::uint32_t kPrinterStatusOffline = 0x80;
// PRINTER_ACCESS_USE: the right every user has on a printer.
constexpr std::uint32_t kPrinterAccessUse = 0x8;

// MONITOR_INFO_2A.
struct MonitorInfo2 {
  std::string name;
  std::string environment;
  std::string dllName;
};

// DRIVER_INFO_3A. `dependentFiles` are the file names of the zero-separated list that the
// adapter builds (each with its zero, then the closing zero).
struct DriverInfo3 {
  std::uint32_t version = 0;
  std::string name;
  std::string environment;
  std::string driverPath;
  std::string dataFile;
  std::string configFile;
  std::string helpFile;
  std::vector<std::string> dependentFiles;
  std::string monitorName;
  std::string defaultDataType;
};

class InstalledPrinter {
 public:
  virtual ~InstalledPrinter() = default;  // ClosePrinter
  // GetPrinterDataA into a buffer of bufferBytes: `value` gets the type and the bytes the
  // call wrote. A larger value gives kErrorMoreData and leaves `value` untouched.
  virtual long GetData(const std::string& name, std::size_t bufferBytes, RegistryValue& value) = 0;
  // SetPrinterDataA.
  virtual long SetData(const std::string& name, const RegistryValue& value) = 0;
};

class PrintInstall {
 public:
  virtual ~PrintInstall() = default;
  // OpenPrinterA(name) with the defaults {datatype (NULL when empty), no device mode, access}.
  virtual long OpenPrinter(const std::string& name, const std::string& datatype, std::uint32_t access,
                           std::unique_ptr<InstalledPrinter>& printer) = 0;
  // EnumPrinterDriversA level 4 of the local server for the local environment: a size call,
  // then a fetch. The drivers' names, in the spooler's order.
  virtual long EnumDriverNames4(std::vector<std::string>& names) = 0;
  // EnumPrintProcessorsA level 1 of the local server for the local environment, the same way.
  virtual long EnumPrintProcessorNames(std::vector<std::string>& names) = 0;
  // AddMonitorA level 2 on the local server.
  virtual long AddMonitor2(const MonitorInfo2& monitor) = 0;
  // AddPrintProcessorA on the local server.
  virtual long AddProcessor(const std::string& environment, const std::string& pathName,
                                 const std::string& processorName) = 0;
  // AddPrinterDriverA level 3 on the local server.
  virtual long AddDriver3(const DriverInfo3& driver) = 0;
  // AddPrinterA level 2 on the local server: the new printer, opened with full access. An
  // empty text goes in as NULL; `native` is not used: no device mode, no security descriptor.
  virtual long AddPrinter2(const PrinterInfo2& printer, std::unique_ptr<InstalledPrinter>& added) = 0;
};

}  // namespace platform
