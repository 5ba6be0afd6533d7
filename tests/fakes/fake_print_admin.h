// An in-memory spooler for the removal side: printers, forms, drivers, monitors and print
// processors by environment, with a log of the calls and switches to make them fail.
#pragma once
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/print_admin.h"

namespace fakes {

class FakePrintAdmin : public platform::PrintAdmin {
 public:
  long OpenPrinterByName(const std::string& name, const std::string& datatype, std::uint32_t access,
                         std::unique_ptr<platform::AdminPrinterHandle>& printer) override;
  long OpenPrintServer(std::uint32_t access, std::unique_ptr<platform::AdminPrinterHandle>& server) override;
  long DeleteDriver(const std::string& environment, const std::string& driverName, std::uint32_t deleteFlags,
                    std::uint32_t versionFlag) override;
  long RemoveMonitor(const std::string& environment, const std::string& monitorName) override;
  long RemovePrintProcessor(const std::string& environment, const std::string& processorName) override;
  long DriverDirectory(std::size_t bufferBytes, std::string& directory) override;
  long PrintProcessorDirectory(std::size_t bufferBytes, std::string& directory) override;
  long EnumDriverNames(std::vector<std::string>& names) override;

  // Objects: printers by name, forms in the server's order, the others as "environment|name".
  std::set<std::string> printers;
  std::vector<std::string> forms;
  std::set<std::string> drivers;
  std::set<std::string> monitors;
  std::set<std::string> processors;
  std::string driverDirectory = "C:\\WINDOWS\\System32\\spool\\DRIVERS\\W32X86";
  std::string processorDirectory = "C:\\WINDOWS\\System32\\spool\\PRTPROCS\\W32X86";

  // Failures: a non-zero code makes that call fail with it.
  long openServerError = 0;
  long enumFormsError = 0;
  long deleteDriverError = 0;   // e.g. the driver is in use
  long removeMonitorError = 0;
  long removeProcessorError = 0;
  long driverDirectoryError = 0;
  long processorDirectoryError = 0;
  long enumDriversError = 0;
  // The environment EnumDriverNames lists (the local one).
  std::string localEnvironment = "Windows NT x86";
  std::set<std::string> undeletableForms;

  // "open printer NAME raw 0xf000c", "delete printer NAME", "close NAME", "open server 0x1",
  // "enum forms", "delete form NAME", "delete driver ENV|NAME flags 4 version 3",
  // "delete monitor ENV|NAME", "delete processor ENV|NAME", "driver directory",
  // "processor directory", "enum drivers"; also into `journal` when one is set.
  std::vector<std::string> log;
  std::vector<std::string>* journal = nullptr;
  int openHandles = 0;

  void Record(const std::string& entry);
};

}  // namespace fakes
