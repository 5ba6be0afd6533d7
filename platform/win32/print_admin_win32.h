// Win32 adapter of the print administration seam: OpenPrinterA for a printer or the local
// server, DeletePrinter, EnumFormsA / DeleteFormA, the driver, monitor and print processor
// deletions and the two spooler folders.
#pragma once
#include "platform/print_admin.h"

namespace platform {

class Win32PrintAdmin : public PrintAdmin {
 public:
  long OpenPrinterByName(const std::string& name, const std::string& datatype, std::uint32_t access,
                         std::unique_ptr<AdminPrinterHandle>& printer) override;
  long OpenPrintServer(std::uint32_t access, std::unique_ptr<AdminPrinterHandle>& server) override;
  long DeleteDriver(const std::string& environment, const std::string& driverName,
                    std::uint32_t deleteFlags, std::uint32_t versionFlag) override;
  long RemoveMonitor(const std::string& environment, const std::string& monitorName) override;
  long RemovePrintProcessor(const std::string& environment, const std::string& processorName) override;
  long DriverDirectory(std::size_t bufferBytes, std::string& directory) override;
  long PrintProcessorDirectory(std::size_t bufferBytes, std::string& directory) override;
  long EnumDriverNames(std::vector<std::string>& names) override;
};

}  // namespace platform
