// Print spooler administration seam for the removal side: a printer or the local print
// server opened for deletion, its forms, and the deletion of a driver, a monitor and a print
// processor with the folders their files lie in. One operation per spooler call; a handle is
// closed (ClosePrinter) when its owner is destroyed.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// PRINTER_DEFAULTS access for the print server (SERVER_ACCESS_ADMINISTER): deleting a form
// needs it.
constexpr std::uint32_t kServerAccessAdminister = 0x1;
// DeletePrinterDriverExA flags (DPD_DELETE_SPECIFIC_VERSION, DPD_DELETE_ALL_FILES).
constexpr std::uint32_t kDeleteDriverSpecificVersion = 0x2;
constexpr std::uint32_t kDeleteDriverAllFiles = 0x4;

// The spooler environment that the kit's driver, language monitor and print processor belong
// to. The product is 32-bit and installs them for "Windows NT x86". The x86_64 build exists
// only so that 64-bit Wine can run the end-to-end tests, and a 64-bit spooler keeps what is
// installed for it under "Windows x64": that build uses that environment instead.
constexpr const char* kKitPrintEnvironment = sizeof(void*) == 8 ? "Windows x64" : "Windows NT x86";

// A printer or the print server, opened for administration.
class AdminPrinterHandle {
 public:
  virtual ~AdminPrinterHandle() = default;  // ClosePrinter
  // DeletePrinter.
  virtual long Delete() = 0;
  // EnumFormsA level 1: a size call, then a fetch into a buffer of the reported size. The
  // names of the forms, in the spooler's order.
  virtual long EnumFormNames(std::vector<std::string>& names) = 0;
  // DeleteFormA.
  virtual long RemoveForm(const std::string& name) = 0;
};

class PrintAdmin {
 public:
  virtual ~PrintAdmin() = default;
  // OpenPrinterA(name) with the defaults {datatype, no device mode, access}.
  virtual long OpenPrinterByName(const std::string& name, const std::string& datatype,
                                 std::uint32_t access, std::unique_ptr<AdminPrinterHandle>& printer) = 0;
  // OpenPrinterA(NULL) with the defaults {no datatype, no device mode, access}: the local
  // print server.
  virtual long OpenPrintServer(std::uint32_t access, std::unique_ptr<AdminPrinterHandle>& server) = 0;
  // DeletePrinterDriverExA on the local server.
  virtual long DeleteDriver(const std::string& environment, const std::string& driverName,
                            std::uint32_t deleteFlags, std::uint32_t versionFlag) = 0;
  // DeleteMonitorA on the local server.
  virtual long RemoveMonitor(const std::string& environment, const std::string& monitorName) = 0;
  // DeletePrintProcessorA on the local server.
  virtual long RemovePrintProcessor(const std::string& environment, const std::string& processorName) = 0;
  // GetPrinterDriverDirectoryA / GetPrintProcessorDirectoryA, level 1, of the local server
  // for the local environment, into a buffer of bufferBytes: a longer folder gives
  // kErrorInsufficientBuffer and leaves `directory` untouched.
  virtual long DriverDirectory(std::size_t bufferBytes, std::string& directory) = 0;
  virtual long PrintProcessorDirectory(std::size_t bufferBytes, std::string& directory) = 0;
  // EnumPrinterDriversA level 3 of the local server for the local environment: a size call,
  // then a fetch. The drivers' names, in the spooler's order.
  virtual long EnumDriverNames(std::vector<std::string>& names) = 0;
};

}  // namespace platform
