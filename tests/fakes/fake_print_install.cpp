// The installer's in-memory spooler.
#include "tests/fakes/fake_print_install.h"

#include <algorithm>
#include <cstdio>

#include "platform/os_codes.h"

namespace fakes {
namespace {

constexpr long kErrorModNotFound = 126;
constexpr long kErrorUnknownPrinterDriver = 1797;
constexpr long kErrorUnknownPrintProcessor = 1798;
constexpr long kErrorPrinterAlreadyExists = 1802;
constexpr long kErrorInvalidPrinterName = 1801;
constexpr long kErrorPrintMonitorAlreadyInstalled = 3006;
constexpr long kErrorPrintProcessorAlreadyInstalled = 3013;

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%x", value);
  return text;
}

class FakeInstalledPrinter : public platform::InstalledPrinter {
 public:
  FakeInstalledPrinter(FakePrintInstall& spooler, std::string name) : spooler_(spooler), name_(std::move(name)) {
    ++spooler_.openPrinters;
  }
  ~FakeInstalledPrinter() override {
    --spooler_.openPrinters;
    spooler_.Record("close " + name_);
  }

  long GetData(const std::string& name, std::size_t bufferBytes, platform::RegistryValue& value) override {
    spooler_.Record("get " + name_ + "|" + name + " " + std::to_string(bufferBytes));
    FakePrintInstall::Printer* printer = spooler_.FindPrinter(name_);
    if (!printer) return platform::kErrorInvalidHandle;
    if (spooler_.failGetData.count(name_ + "|" + name)) return platform::kErrorAccessDenied;
    auto it = printer->data.find(name);
    if (it == printer->data.end()) return platform::kErrorFileNotFound;
    if (it->second.data.size() > bufferBytes) return platform::kErrorMoreData;
    value = it->second;
    return platform::kErrorSuccess;
  }

  long SetData(const std::string& name, const platform::RegistryValue& value) override {
    spooler_.Record("set " + name_ + "|" + name);
    if (spooler_.setDataError != 0) return spooler_.setDataError;
    FakePrintInstall::Printer* printer = spooler_.FindPrinter(name_);
    if (!printer) return platform::kErrorInvalidHandle;
    printer->data[name] = value;
    return platform::kErrorSuccess;
  }

 private:
  FakePrintInstall& spooler_;
  std::string name_;
};

platform::RegistryValue Number(std::uint32_t value) {
  platform::RegistryValue number;
  number.type = platform::kRegDword;
  for (int shift = 0; shift < 32; shift += 8) number.data.push_back(static_cast<std::uint8_t>(value >> shift));
  return number;
}

}  // namespace

void FakePrintInstall::Record(const std::string& entry) {
  log.push_back(entry);
  if (journal) journal->push_back(entry);
}

FakePrintInstall::Printer& FakePrintInstall::AddPrinter(const std::string& name, const std::string& driver,
                                                        const std::string& port) {
  Printer printer;
  printer.info.printerName = name;
  printer.info.driverName = driver;
  printer.info.portName = port;
  printers.push_back(printer);
  return printers.back();
}

void FakePrintInstall::SetVersion(const std::string& name, std::uint32_t major, std::uint32_t minor,
                                  std::uint32_t build, std::uint32_t extra) {
  Printer* printer = FindPrinter(name);
  if (!printer) return;
  printer->data["MajorVersion"] = Number(major);
  printer->data["MinorVersion"] = Number(minor);
  printer->data["BuildVersion"] = Number(build);
  printer->data["ExtraVersion"] = Number(extra);
}

FakePrintInstall::Printer* FakePrintInstall::FindPrinter(const std::string& name) {
  for (Printer& printer : printers)
    if (printer.info.printerName == name) return &printer;
  return nullptr;
}

const platform::DriverInfo3* FakePrintInstall::FindDriver(const std::string& name) const {
  for (const platform::DriverInfo3& driver : drivers)
    if (driver.name == name) return &driver;
  return nullptr;
}

long FakePrintInstall::OpenPrinter(const std::string& name, const std::string& datatype, std::uint32_t access,
                                   std::unique_ptr<platform::InstalledPrinter>& printer) {
  Record("open " + name + " " + (datatype.empty() ? "-" : datatype) + " " + Hex(access));
  if (failOpen.count(name) || !FindPrinter(name)) return kErrorInvalidPrinterName;
  printer = std::make_unique<FakeInstalledPrinter>(*this, name);
  return platform::kErrorSuccess;
}

long FakePrintInstall::EnumDriverNames4(std::vector<std::string>& names) {
  Record("enum drivers 4");
  if (enumDriversError != 0) return enumDriversError;
  names.clear();
  for (const platform::DriverInfo3& driver : drivers) names.push_back(driver.name);
  return platform::kErrorSuccess;
}

long FakePrintInstall::EnumPrintProcessorNames(std::vector<std::string>& names) {
  Record("enum processors");
  if (enumProcessorsError != 0) return enumProcessorsError;
  names = processors;
  return platform::kErrorSuccess;
}

long FakePrintInstall::AddMonitor2(const platform::MonitorInfo2& monitor) {
  Record("add monitor " + monitor.name + " " + monitor.environment + " " + monitor.dllName);
  if (addMonitorError != 0) return addMonitorError;
  if (monitors.count(monitor.name)) return kErrorPrintMonitorAlreadyInstalled;
  // The spooler loads the monitor from the system folder.
  if (files && !files->Exists(systemDirectory + "\\" + monitor.dllName)) return kErrorModNotFound;
  monitors[monitor.name] = monitor;
  return platform::kErrorSuccess;
}

long FakePrintInstall::AddProcessor(const std::string& environment, const std::string& pathName,
                                         const std::string& processorName) {
  Record("add processor " + environment + " " + pathName + " " + processorName);
  if (addProcessorError != 0) return addProcessorError;
  if (std::find(processors.begin(), processors.end(), processorName) != processors.end()) {
    return kErrorPrintProcessorAlreadyInstalled;
  }
  if (files && !files->Exists(processorDirectory + "\\" + pathName)) return kErrorModNotFound;
  processors.push_back(processorName);
  return platform::kErrorSuccess;
}

long FakePrintInstall::AddDriver3(const platform::DriverInfo3& driver) {
  Record("add driver " + driver.name + " " + driver.environment);
  if (addDriverError != 0) return addDriverError;
  if (files) {
    std::vector<std::string> needed = {driver.driverPath, driver.dataFile, driver.configFile, driver.helpFile};
    needed.insert(needed.end(), driver.dependentFiles.begin(), driver.dependentFiles.end());
    for (const std::string& file : needed)
      if (!file.empty() && !files->Exists(driverDirectory + "\\" + file)) return platform::kErrorFileNotFound;
    // The spooler takes the staged files into the driver's version folder.
    if (!files->Exists(driverDirectory + "\\3")) files->AddFolder(driverDirectory + "\\3");
    for (const std::string& file : needed)
      if (!file.empty()) files->AddFileWithContent(driverDirectory + "\\3\\" + file,
                                                   files->ContentOf(driverDirectory + "\\" + file));
  }
  drivers.erase(std::remove_if(drivers.begin(), drivers.end(),
                               [&](const platform::DriverInfo3& d) { return d.name == driver.name; }),
                drivers.end());
  drivers.push_back(driver);
  return platform::kErrorSuccess;
}

long FakePrintInstall::AddPrinter2(const platform::PrinterInfo2& printer,
                                   std::unique_ptr<platform::InstalledPrinter>& added) {
  Record("add printer " + printer.printerName + " " + printer.portName);
  if (addPrinterError != 0) return addPrinterError;
  if (FindPrinter(printer.printerName)) return kErrorPrinterAlreadyExists;
  if (!FindDriver(printer.driverName)) return kErrorUnknownPrinterDriver;
  if (printer.printProcessor != "WinPrint" &&
      std::find(processors.begin(), processors.end(), printer.printProcessor) == processors.end()) {
    return kErrorUnknownPrintProcessor;
  }
  printers.push_back(Printer{printer, {}});
  added = std::make_unique<FakeInstalledPrinter>(*this, printer.printerName);
  return platform::kErrorSuccess;
}

}  // namespace fakes
