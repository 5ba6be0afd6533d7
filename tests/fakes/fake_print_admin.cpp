// The in-memory spooler of the removal side tests.
#include "tests/fakes/fake_print_admin.h"

#include <algorithm>
#include <cstdio>

#include "platform/os_codes.h"

namespace fakes {

namespace {

constexpr long kErrorInvalidPrinterName = 1801;
constexpr long kErrorUnknownPrinterDriver = 1797;
constexpr long kErrorUnknownMonitor = 3000;
constexpr long kErrorUnknownPrintProcessor = 1798;
constexpr long kErrorInvalidFormName = 1902;

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%x", value);
  return text;
}

class FakeAdminHandle : public platform::AdminPrinterHandle {
 public:
  // An empty name is the print server.
  FakeAdminHandle(FakePrintAdmin& spooler, std::string name) : spooler_(spooler), name_(std::move(name)) {
    ++spooler_.openHandles;
  }
  ~FakeAdminHandle() override {
    --spooler_.openHandles;
    spooler_.Record("close " + (name_.empty() ? std::string("server") : name_));
  }

  long Delete() override {
    spooler_.Record("delete printer " + name_);
    return spooler_.printers.erase(name_) ? platform::kErrorSuccess : kErrorInvalidPrinterName;
  }

  long EnumFormNames(std::vector<std::string>& names) override {
    spooler_.Record("enum forms");
    if (spooler_.enumFormsError != 0) return spooler_.enumFormsError;
    names = spooler_.forms;
    return platform::kErrorSuccess;
  }

  long RemoveForm(const std::string& name) override {
    spooler_.Record("delete form " + name);
    if (spooler_.undeletableForms.count(name)) return platform::kErrorAccessDenied;
    auto it = std::find(spooler_.forms.begin(), spooler_.forms.end(), name);
    if (it == spooler_.forms.end()) return kErrorInvalidFormName;
    spooler_.forms.erase(it);
    return platform::kErrorSuccess;
  }

 private:
  FakePrintAdmin& spooler_;
  std::string name_;
};

long ReadFolder(long error, const std::string& folder, std::size_t bufferBytes, std::string& directory) {
  if (error != 0) return error;
  if (folder.size() + 1 > bufferBytes) return platform::kErrorInsufficientBuffer;
  directory = folder;
  return platform::kErrorSuccess;
}

}  // namespace

void FakePrintAdmin::Record(const std::string& entry) {
  log.push_back(entry);
  if (journal) journal->push_back(entry);
}

long FakePrintAdmin::OpenPrinterByName(const std::string& name, const std::string& datatype, std::uint32_t access,
                                       std::unique_ptr<platform::AdminPrinterHandle>& printer) {
  Record("open printer " + name + " " + datatype + " " + Hex(access));
  if (!printers.count(name)) return kErrorInvalidPrinterName;
  printer = std::make_unique<FakeAdminHandle>(*this, name);
  return platform::kErrorSuccess;
}

long FakePrintAdmin::OpenPrintServer(std::uint32_t access, std::unique_ptr<platform::AdminPrinterHandle>& server) {
  Record("open server " + Hex(access));
  if (openServerError != 0) return openServerError;
  server = std::make_unique<FakeAdminHandle>(*this, "");
  return platform::kErrorSuccess;
}

long FakePrintAdmin::DeleteDriver(const std::string& environment, const std::string& driverName,
                                  std::uint32_t deleteFlags, std::uint32_t versionFlag) {
  Record("delete driver " + environment + "|" + driverName + " flags " + std::to_string(deleteFlags) +
         " version " + std::to_string(versionFlag));
  if (deleteDriverError != 0) return deleteDriverError;
  return drivers.erase(environment + "|" + driverName) ? platform::kErrorSuccess : kErrorUnknownPrinterDriver;
}

long FakePrintAdmin::RemoveMonitor(const std::string& environment, const std::string& monitorName) {
  Record("delete monitor " + environment + "|" + monitorName);
  if (removeMonitorError != 0) return removeMonitorError;
  return monitors.erase(environment + "|" + monitorName) ? platform::kErrorSuccess : kErrorUnknownMonitor;
}

long FakePrintAdmin::RemovePrintProcessor(const std::string& environment, const std::string& processorName) {
  Record("delete processor " + environment + "|" + processorName);
  if (removeProcessorError != 0) return removeProcessorError;
  return processors.erase(environment + "|" + processorName) ? platform::kErrorSuccess
                                                             : kErrorUnknownPrintProcessor;
}

long FakePrintAdmin::DriverDirectory(std::size_t bufferBytes, std::string& directory) {
  Record("driver directory");
  return ReadFolder(driverDirectoryError, driverDirectory, bufferBytes, directory);
}

long FakePrintAdmin::PrintProcessorDirectory(std::size_t bufferBytes, std::string& directory) {
  Record("processor directory");
  return ReadFolder(processorDirectoryError, processorDirectory, bufferBytes, directory);
}

long FakePrintAdmin::EnumDriverNames(std::vector<std::string>& names) {
  Record("enum drivers");
  if (enumDriversError != 0) return enumDriversError;
  names.clear();
  const std::string prefix = localEnvironment + "|";
  for (const std::string& driver : drivers) {
    if (driver.compare(0, prefix.size(), prefix) == 0) names.push_back(driver.substr(prefix.size()));
  }
  return platform::kErrorSuccess;
}

}  // namespace fakes
