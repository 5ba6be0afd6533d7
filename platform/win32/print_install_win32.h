// Win32 adapter of the installer's spooler seam: OpenPrinterA with GetPrinterDataA and
// SetPrinterDataA on the printer it opens, EnumPrinterDriversA level 4, EnumPrintProcessorsA
// level 1, AddMonitorA, AddPrintProcessorA, AddPrinterDriverA level 3 and AddPrinterA level 2.
#pragma once
#include "platform/print_install.h"

namespace platform {

class Win32PrintInstall : public PrintInstall {
 public:
  long OpenPrinter(const std::string& name, const std::string& datatype, std::uint32_t access,
                   std::unique_ptr<InstalledPrinter>& printer) override;
  long EnumDriverNames4(std::vector<std::string>& names) override;
  long EnumPrintProcessorNames(std::vector<std::string>& names) override;
  long AddMonitor2(const MonitorInfo2& monitor) override;
  long AddProcessor(const std::string& environment, const std::string& pathName,
                         const std::string& processorName) override;
  long AddDriver3(const DriverInfo3& driver) override;
  long AddPrinter2(const PrinterInfo2& printer, std::unique_ptr<InstalledPrinter>& added) override;
};

}  // namespace platform
