// An in-memory spooler for the installer: installed drivers, print processors, language
// monitors and printers with their printer data. It refuses what a real spooler refuses (a
// second monitor or processor of a name, a printer on an unknown driver or processor, module
// files that are not where the spooler takes them from) and logs the calls.
#pragma once
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/print_install.h"
#include "tests/fakes/fake_file_system.h"

namespace fakes {

class FakePrintInstall : public platform::PrintInstall {
 public:
  long OpenPrinter(const std::string& name, const std::string& datatype, std::uint32_t access,
                   std::unique_ptr<platform::InstalledPrinter>& printer) override;
  long EnumDriverNames4(std::vector<std::string>& names) override;
  long EnumPrintProcessorNames(std::vector<std::string>& names) override;
  long AddMonitor2(const platform::MonitorInfo2& monitor) override;
  long AddProcessor(const std::string& environment, const std::string& pathName,
                         const std::string& processorName) override;
  long AddDriver3(const platform::DriverInfo3& driver) override;
  long AddPrinter2(const platform::PrinterInfo2& printer,
                   std::unique_ptr<platform::InstalledPrinter>& added) override;

  struct Printer {
    platform::PrinterInfo2 info;
    std::map<std::string, platform::RegistryValue> data;  // printer data by value name
  };

  // Set-up and inspection.
  Printer& AddPrinter(const std::string& name, const std::string& driver, const std::string& port = "LPT1:");
  // A printer's printer data "MajorVersion" ... "ExtraVersion" as 32-bit numbers.
  void SetVersion(const std::string& printer, std::uint32_t major, std::uint32_t minor, std::uint32_t build,
                  std::uint32_t extra);
  Printer* FindPrinter(const std::string& name);
  const platform::DriverInfo3* FindDriver(const std::string& name) const;

  std::vector<platform::DriverInfo3> drivers;            // in the spooler's order
  std::vector<std::string> processors;                   // of the local environment
  std::map<std::string, platform::MonitorInfo2> monitors;  // by name
  std::vector<Printer> printers;                         // in the order they were added

  // When set, the module files must be where the spooler takes them from: the monitor DLL in
  // the system folder, the print processor in the print processor folder, the driver's files
  // staged in the driver folder (they are then copied into its "3" subfolder).
  FakeFileSystem* files = nullptr;
  std::string systemDirectory = "C:\\WINDOWS\\system32";
  std::string processorDirectory = "C:\\WINDOWS\\System32\\spool\\PRTPROCS\\W32X86";
  std::string driverDirectory = "C:\\WINDOWS\\System32\\spool\\DRIVERS\\W32X86";

  // Failures: a non-zero code makes that call fail with it.
  long enumDriversError = 0;
  long enumProcessorsError = 0;
  long addMonitorError = 0;
  long addProcessorError = 0;
  long addDriverError = 0;
  long addPrinterError = 0;
  long setDataError = 0;
  std::set<std::string> failOpen;      // printers that cannot be opened
  std::set<std::string> failGetData;   // "PRINTER|VALUE" reads that fail

  // "open NAME RAW 0xf000c", "close NAME", "get NAME|VALUE 4", "set NAME|VALUE",
  // "enum drivers 4", "enum processors", "add monitor NAME ENV DLL", "add processor ENV FILE NAME",
  // "add driver NAME ENV", "add printer NAME PORT"; also into `journal` when one is set.
  std::vector<std::string> log;
  std::vector<std::string>* journal = nullptr;
  int openPrinters = 0;

  void Record(const std::string& entry);
};

}  // namespace fakes
