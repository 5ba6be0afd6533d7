// Win32 adapter of the installer's spooler seam. The spooler calls take non-const strings, so
// each call works on copies; an empty text goes in as NULL. Enumerations use a size call and
// a fetch into a buffer of the size the spooler reported.
#include "platform/win32/print_install_win32.h"

#include "platform/win32/removal_handles_win32.h"

#include <winspool.h>
// winspool.h maps OpenPrinter to OpenPrinterA; the seam uses the plain name as a method.
#undef OpenPrinter

#include <limits>
#include <utility>

namespace platform {
namespace {

struct InstalledPrinterTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { ::ClosePrinter(h); }
};
using InstalledPrinterOwner = win32::HandleOwner<InstalledPrinterTraits>;

// A writable copy of a text for the calls that take LPSTR; NULL for an empty text.
class MutableText {
 public:
  explicit MutableText(std::string text) : text_(std::move(text)) {}
  LPSTR Get() { return text_.empty() ? nullptr : &text_[0]; }

 private:
  std::string text_;
};

bool FitsDword(std::size_t n) { return n <= std::numeric_limits<DWORD>::max(); }

class Win32InstalledPrinter : public InstalledPrinter {
 public:
  explicit Win32InstalledPrinter(HANDLE printer) : printer_(printer) {}

  long GetData(const std::string& name, std::size_t bufferBytes, RegistryValue& value) override {
    if (!FitsDword(bufferBytes)) return ERROR_INVALID_PARAMETER;
    MutableText valueName(name);
    std::vector<std::uint8_t> buffer(bufferBytes == 0 ? 1 : bufferBytes, 0);
    DWORD type = REG_NONE;
    DWORD needed = 0;
    // GetPrinterDataA reports its outcome as its result, not through the last error.
    const DWORD status = ::GetPrinterDataA(printer_.Get(), valueName.Get(), &type, buffer.data(),
                                           static_cast<DWORD>(bufferBytes), &needed);
    if (status != ERROR_SUCCESS) return static_cast<long>(status);
    buffer.resize(needed < bufferBytes ? needed : bufferBytes);
    value.type = type;
    value.data = std::move(buffer);
    return ERROR_SUCCESS;
  }

  long SetData(const std::string& name, const RegistryValue& value) override {
    if (!FitsDword(value.data.size())) return ERROR_INVALID_PARAMETER;
    MutableText valueName(name);
    std::vector<std::uint8_t> data = value.data;
    return static_cast<long>(::SetPrinterDataA(printer_.Get(), valueName.Get(), value.type,
                                               data.empty() ? nullptr : data.data(),
                                               static_cast<DWORD>(data.size())));
  }

 private:
  InstalledPrinterOwner printer_;
};

// The names of the records an enumeration call fetched. `Call` makes the call with the given
// buffer; `Record` is the level's record type, whose first field is the name.
template <typename Record, typename Call>
long EnumNames(Call call, std::vector<std::string>& names) {
  DWORD needed = 0;
  DWORD returned = 0;
  if (call(nullptr, 0, &needed, &returned)) {
    names.clear();  // nothing to fetch
    return ERROR_SUCCESS;
  }
  const long error = win32::FailureCode();
  if (error != ERROR_INSUFFICIENT_BUFFER) return error;
  std::vector<BYTE> buffer(needed);
  if (!call(buffer.data(), needed, &needed, &returned)) return win32::FailureCode();
  const auto* records = reinterpret_cast<const Record*>(buffer.data());
  names.clear();
  for (DWORD i = 0; i < returned; ++i) names.push_back(records[i].pName ? records[i].pName : "");
  return ERROR_SUCCESS;
}

}  // namespace

long Win32PrintInstall::OpenPrinter(const std::string& name, const std::string& datatype,
                                    std::uint32_t access, std::unique_ptr<InstalledPrinter>& printer) {
  MutableText printerName(name);
  MutableText type(datatype);
  PRINTER_DEFAULTSA defaults = {type.Get(), nullptr, access};
  HANDLE opened = nullptr;
  if (!::OpenPrinterA(printerName.Get(), &opened, &defaults)) return win32::FailureCode();
  printer = std::make_unique<Win32InstalledPrinter>(opened);
  return ERROR_SUCCESS;
}

long Win32PrintInstall::EnumDriverNames4(std::vector<std::string>& names) {
  return EnumNames<DRIVER_INFO_4A>(
      [](BYTE* buffer, DWORD size, DWORD* needed, DWORD* returned) {
        return ::EnumPrinterDriversA(nullptr, nullptr, 4, buffer, size, needed, returned);
      },
      names);
}

long Win32PrintInstall::EnumPrintProcessorNames(std::vector<std::string>& names) {
  return EnumNames<PRINTPROCESSOR_INFO_1A>(
      [](BYTE* buffer, DWORD size, DWORD* needed, DWORD* returned) {
        return ::EnumPrintProcessorsA(nullptr, nullptr, 1, buffer, size, needed, returned);
      },
      names);
}

long Win32PrintInstall::AddMonitor2(const MonitorInfo2& monitor) {
  MutableText name(monitor.name);
  MutableText environment(monitor.environment);
  MutableText dll(monitor.dllName);
  MONITOR_INFO_2A info = {name.Get(), environment.Get(), dll.Get()};
  return ::AddMonitorA(nullptr, 2, reinterpret_cast<LPBYTE>(&info)) ? ERROR_SUCCESS : win32::FailureCode();
}

long Win32PrintInstall::AddProcessor(const std::string& environment, const std::string& pathName,
                                          const std::string& processorName) {
  MutableText env(environment);
  MutableText path(pathName);
  MutableText name(processorName);
  return ::AddPrintProcessorA(nullptr, env.Get(), path.Get(), name.Get()) ? ERROR_SUCCESS
                                                                          : win32::FailureCode();
}

long Win32PrintInstall::AddDriver3(const DriverInfo3& driver) {
  MutableText name(driver.name);
  MutableText environment(driver.environment);
  MutableText driverPath(driver.driverPath);
  MutableText dataFile(driver.dataFile);
  MutableText configFile(driver.configFile);
  MutableText helpFile(driver.helpFile);
  MutableText monitorName(driver.monitorName);
  MutableText defaultDataType(driver.defaultDataType);
  // Each file name with its zero, then the zero that ends the list.
  std::string dependent;
  for (const std::string& file : driver.dependentFiles) {
    dependent += file;
    dependent += '\0';
  }
  dependent += '\0';
  DRIVER_INFO_3A info = {};
  info.cVersion = driver.version;
  info.pName = name.Get();
  info.pEnvironment = environment.Get();
  info.pDriverPath = driverPath.Get();
  info.pDataFile = dataFile.Get();
  info.pConfigFile = configFile.Get();
  info.pHelpFile = helpFile.Get();
  info.pDependentFiles = &dependent[0];
  info.pMonitorName = monitorName.Get();
  info.pDefaultDataType = defaultDataType.Get();
  return ::AddPrinterDriverA(nullptr, 3, reinterpret_cast<LPBYTE>(&info)) ? ERROR_SUCCESS
                                                                          : win32::FailureCode();
}

long Win32PrintInstall::AddPrinter2(const PrinterInfo2& printer, std::unique_ptr<InstalledPrinter>& added) {
  MutableText serverName(printer.serverName);
  MutableText printerName(printer.printerName);
  MutableText shareName(printer.shareName);
  MutableText portName(printer.portName);
  MutableText driverName(printer.driverName);
  MutableText comment(printer.comment);
  MutableText location(printer.location);
  MutableText sepFile(printer.sepFile);
  MutableText printProcessor(printer.printProcessor);
  MutableText datatype(printer.datatype);
  MutableText parameters(printer.parameters);
  PRINTER_INFO_2A info = {};
  info.pServerName = serverName.Get();
  info.pPrinterName = printerName.Get();
  info.pShareName = shareName.Get();
  info.pPortName = portName.Get();
  info.pDriverName = driverName.Get();
  info.pComment = comment.Get();
  info.pLocation = location.Get();
  info.pSepFile = sepFile.Get();
  info.pPrintProcessor = printProcessor.Get();
  info.pDatatype = datatype.Get();
  info.pParameters = parameters.Get();
  info.Attributes = printer.attributes;
  info.Priority = printer.priority;
  info.DefaultPriority = printer.defaultPriority;
  info.StartTime = printer.startTime;
  info.UntilTime = printer.untilTime;
  info.Status = printer.status;
  info.cJobs = printer.jobs;
  info.AveragePPM = printer.averagePpm;
  HANDLE created = ::AddPrinterA(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
  if (created == nullptr) return win32::FailureCode();
  added = std::make_unique<Win32InstalledPrinter>(created);
  return ERROR_SUCCESS;
}

}  // namespace platform
