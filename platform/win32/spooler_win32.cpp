// Win32 spooler adapter. Level-2 records are fetched with a size call and a fetch into a
// buffer of the reported size; each PrinterInfo2 keeps that buffer alive through `native`
// so that SetPrinter2 can pass back the device mode and security descriptor it came with.
#include "platform/win32/spooler_win32.h"

#include "platform/win32/handle_owner_win32.h"

#include <winspool.h>
// winspool.h maps OpenPrinter to OpenPrinterA; the seam uses the plain name as a method.
#undef OpenPrinter

#include <vector>

namespace platform {
namespace {

struct PrinterHandleTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { ::ClosePrinter(h); }
};
using PrinterHandleOwner = win32::HandleOwner<PrinterHandleTraits>;

using NativeBuffer = std::vector<std::uint8_t>;

std::string Text(const char* s) { return s ? std::string(s) : std::string(); }

PrinterInfo2 FromNative(const PRINTER_INFO_2A& p, const std::shared_ptr<const NativeBuffer>& owner) {
  PrinterInfo2 info;
  info.serverName = Text(p.pServerName);
  info.printerName = Text(p.pPrinterName);
  info.shareName = Text(p.pShareName);
  info.portName = Text(p.pPortName);
  info.driverName = Text(p.pDriverName);
  info.comment = Text(p.pComment);
  info.location = Text(p.pLocation);
  info.sepFile = Text(p.pSepFile);
  info.printProcessor = Text(p.pPrintProcessor);
  info.datatype = Text(p.pDatatype);
  info.parameters = Text(p.pParameters);
  info.attributes = p.Attributes;
  info.priority = p.Priority;
  info.defaultPriority = p.DefaultPriority;
  info.startTime = p.StartTime;
  info.untilTime = p.UntilTime;
  info.status = p.Status;
  info.jobs = p.cJobs;
  info.averagePpm = p.AveragePPM;
  // Points at this record inside the shared buffer, whose strings and device mode it uses.
  info.native = std::shared_ptr<const void>(owner, &p);
  return info;
}

// A text field of the record handed to SetPrinterA. An empty text goes back as it came:
// NULL where the fetched record had NULL (or there is no fetched record), "" otherwise.
char* Field(std::string& text, const PRINTER_INFO_2A* fetched, LPSTR PRINTER_INFO_2A::*member) {
  if (!text.empty()) return &text[0];
  if (fetched == nullptr || fetched->*member == nullptr) return nullptr;
  return &text[0];  // the zero of an empty std::string
}

class Win32PrinterHandle : public PrinterHandle {
 public:
  explicit Win32PrinterHandle(HANDLE printer) : printer_(printer) {}

  long GetPrinter2(PrinterInfo2& info) override {
    DWORD needed = 0;
    if (!::GetPrinterA(printer_.Get(), 2, nullptr, 0, &needed)) {
      DWORD error = ::GetLastError();
      if (error != ERROR_INSUFFICIENT_BUFFER) return static_cast<long>(error);
    }
    if (needed < sizeof(PRINTER_INFO_2A)) return ERROR_INVALID_DATA;
    auto buffer = std::make_shared<NativeBuffer>(needed, 0);
    if (!::GetPrinterA(printer_.Get(), 2, buffer->data(), needed, &needed)) {
      return static_cast<long>(::GetLastError());
    }
    info = FromNative(*reinterpret_cast<const PRINTER_INFO_2A*>(buffer->data()), buffer);
    return ERROR_SUCCESS;
  }

  long SetPrinter2(const PrinterInfo2& info) override {
    const auto* fetched = static_cast<const PRINTER_INFO_2A*>(info.native.get());
    // SetPrinterA takes non-const strings: work on copies.
    std::string serverName = info.serverName, printerName = info.printerName,
                shareName = info.shareName, portName = info.portName, driverName = info.driverName,
                comment = info.comment, location = info.location, sepFile = info.sepFile,
                printProcessor = info.printProcessor, datatype = info.datatype,
                parameters = info.parameters;
    PRINTER_INFO_2A p = {};
    p.pServerName = Field(serverName, fetched, &PRINTER_INFO_2A::pServerName);
    p.pPrinterName = Field(printerName, fetched, &PRINTER_INFO_2A::pPrinterName);
    p.pShareName = Field(shareName, fetched, &PRINTER_INFO_2A::pShareName);
    p.pPortName = Field(portName, fetched, &PRINTER_INFO_2A::pPortName);
    p.pDriverName = Field(driverName, fetched, &PRINTER_INFO_2A::pDriverName);
    p.pComment = Field(comment, fetched, &PRINTER_INFO_2A::pComment);
    p.pLocation = Field(location, fetched, &PRINTER_INFO_2A::pLocation);
    p.pSepFile = Field(sepFile, fetched, &PRINTER_INFO_2A::pSepFile);
    p.pPrintProcessor = Field(printProcessor, fetched, &PRINTER_INFO_2A::pPrintProcessor);
    p.pDatatype = Field(datatype, fetched, &PRINTER_INFO_2A::pDatatype);
    p.pParameters = Field(parameters, fetched, &PRINTER_INFO_2A::pParameters);
    p.pDevMode = fetched ? fetched->pDevMode : nullptr;
    p.pSecurityDescriptor = fetched ? fetched->pSecurityDescriptor : nullptr;
    p.Attributes = info.attributes;
    p.Priority = info.priority;
    p.DefaultPriority = info.defaultPriority;
    p.StartTime = info.startTime;
    p.UntilTime = info.untilTime;
    p.Status = info.status;
    p.cJobs = info.jobs;
    p.AveragePPM = info.averagePpm;
    if (!::SetPrinterA(printer_.Get(), 2, reinterpret_cast<LPBYTE>(&p), 0)) {
      return static_cast<long>(::GetLastError());
    }
    return ERROR_SUCCESS;
  }

 private:
  PrinterHandleOwner printer_;
};

}  // namespace

long Win32Spooler::EnumLocalPrinters2(std::vector<PrinterInfo2>& printers) {
  DWORD needed = 0;
  DWORD returned = 0;
  if (::EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &returned)) {
    printers.clear();  // nothing to fetch: no local printer
    return ERROR_SUCCESS;
  }
  DWORD error = ::GetLastError();
  if (error != ERROR_INSUFFICIENT_BUFFER) return static_cast<long>(error);
  auto buffer = std::make_shared<NativeBuffer>(needed, 0);
  if (!::EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer->data(), needed, &needed, &returned)) {
    return static_cast<long>(::GetLastError());
  }
  const auto* records = reinterpret_cast<const PRINTER_INFO_2A*>(buffer->data());
  printers.clear();
  for (DWORD i = 0; i < returned; ++i) printers.push_back(FromNative(records[i], buffer));
  return ERROR_SUCCESS;
}

long Win32Spooler::OpenPrinter(const std::string& name, std::uint32_t access,
                               std::unique_ptr<PrinterHandle>& printer) {
  std::string mutableName = name;  // OpenPrinterA takes a non-const name
  PRINTER_DEFAULTSA defaults = {nullptr, nullptr, access};
  HANDLE opened = nullptr;
  if (!::OpenPrinterA(&mutableName[0], &opened, &defaults)) return static_cast<long>(::GetLastError());
  printer = std::make_unique<Win32PrinterHandle>(opened);
  return ERROR_SUCCESS;
}

}  // namespace platform
