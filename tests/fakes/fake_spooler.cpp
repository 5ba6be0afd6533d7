#include "tests/fakes/fake_spooler.h"

#include "platform/os_codes.h"

namespace fakes {

namespace {

class FakePrinterHandle : public platform::PrinterHandle {
 public:
  FakePrinterHandle(FakeSpooler& spooler, std::string name) : spooler_(spooler), name_(std::move(name)) {}
  ~FakePrinterHandle() override { spooler_.log.push_back("close " + name_); }

  long GetPrinter2(platform::PrinterInfo2& info) override {
    spooler_.log.push_back("get " + name_);
    if (spooler_.failGet.count(name_)) return platform::kErrorAccessDenied;
    platform::PrinterInfo2* printer = spooler_.Find(name_);
    if (!printer) return platform::kErrorInvalidHandle;
    info = *printer;
    return platform::kErrorSuccess;
  }

  long SetPrinter2(const platform::PrinterInfo2& info) override {
    spooler_.log.push_back("set " + name_ + " " + info.portName);
    platform::PrinterInfo2* printer = spooler_.Find(name_);
    if (!printer) return platform::kErrorInvalidHandle;
    *printer = info;
    return platform::kErrorSuccess;
  }

 private:
  FakeSpooler& spooler_;
  std::string name_;
};

}  // namespace

long FakeSpooler::EnumLocalPrinters2(std::vector<platform::PrinterInfo2>& out) {
  log.push_back("enum");
  if (enumError != 0) return enumError;
  out = printers;
  return platform::kErrorSuccess;
}

long FakeSpooler::OpenPrinter(const std::string& name, std::uint32_t access,
                              std::unique_ptr<platform::PrinterHandle>& printer) {
  log.push_back("open " + name);
  if (access != platform::kPrinterAllAccess) return platform::kErrorAccessDenied;
  if (failOpen.count(name) || !Find(name)) return platform::kErrorInvalidParameter;
  printer = std::make_unique<FakePrinterHandle>(*this, name);
  return platform::kErrorSuccess;
}

void FakeSpooler::AddPrinter(const std::string& name, const std::string& port, const std::string& driver) {
  platform::PrinterInfo2 info;
  info.printerName = name;
  info.portName = port;
  info.driverName = driver;
  printers.push_back(info);
}

platform::PrinterInfo2* FakeSpooler::Find(const std::string& name) {
  for (auto& printer : printers)
    if (printer.printerName == name) return &printer;
  return nullptr;
}

std::string FakeSpooler::PortOf(const std::string& name) {
  platform::PrinterInfo2* printer = Find(name);
  return printer ? printer->portName : "<none>";
}

}  // namespace fakes
