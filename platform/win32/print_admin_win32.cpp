// Win32 print administration adapter. The spooler calls take non-const strings, so each call
// works on copies; folders are read into a buffer of the size the caller names.
#include "platform/win32/print_admin_win32.h"

#include "platform/win32/removal_handles_win32.h"

#include <winspool.h>

#include <algorithm>
#include <vector>

namespace platform {
namespace {

struct AdminPrinterTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { ::ClosePrinter(h); }
};
using AdminPrinterOwner = win32::HandleOwner<AdminPrinterTraits>;

// A writable copy of a text for the calls that take LPSTR.
class MutableText {
 public:
  explicit MutableText(const std::string& text) : text_(text) {}
  LPSTR Get() { return &text_[0]; }

 private:
  std::string text_;
};

class Win32AdminPrinter : public AdminPrinterHandle {
 public:
  explicit Win32AdminPrinter(HANDLE printer) : printer_(printer) {}

  long Delete() override { return ::DeletePrinter(printer_.Get()) ? ERROR_SUCCESS : win32::FailureCode(); }

  long EnumFormNames(std::vector<std::string>& names) override {
    DWORD needed = 0;
    DWORD returned = 0;
    if (::EnumFormsA(printer_.Get(), 1, nullptr, 0, &needed, &returned)) {
      names.clear();  // nothing to fetch: no form
      return ERROR_SUCCESS;
    }
    const long error = win32::FailureCode();
    if (error != ERROR_INSUFFICIENT_BUFFER) return error;
    std::vector<BYTE> buffer(needed);
    if (!::EnumFormsA(printer_.Get(), 1, buffer.data(), needed, &needed, &returned)) {
      return win32::FailureCode();
    }
    const auto* forms = reinterpret_cast<const FORM_INFO_1A*>(buffer.data());
    names.clear();
    for (DWORD i = 0; i < returned; ++i) names.push_back(forms[i].pName ? forms[i].pName : "");
    return ERROR_SUCCESS;
  }

  long RemoveForm(const std::string& name) override {
    MutableText form(name);
    return ::DeleteFormA(printer_.Get(), form.Get()) ? ERROR_SUCCESS : win32::FailureCode();
  }

 private:
  AdminPrinterOwner printer_;
};

using DirectoryCall = BOOL(WINAPI*)(LPSTR, LPSTR, DWORD, LPBYTE, DWORD, LPDWORD);

long ReadDirectory(DirectoryCall call, std::size_t bufferBytes, std::string& directory) {
  if (bufferBytes > MAXDWORD) return ERROR_INVALID_PARAMETER;
  std::vector<BYTE> buffer(std::max<std::size_t>(bufferBytes, 1), 0);
  DWORD needed = 0;
  if (!call(nullptr, nullptr, 1, buffer.data(), static_cast<DWORD>(bufferBytes), &needed)) {
    return win32::FailureCode();
  }
  const auto end = std::find(buffer.begin(), buffer.end(), BYTE{0});
  directory.assign(buffer.begin(), end);
  return ERROR_SUCCESS;
}

}  // namespace

long Win32PrintAdmin::OpenPrinterByName(const std::string& name, const std::string& datatype,
                                        std::uint32_t access, std::unique_ptr<AdminPrinterHandle>& printer) {
  MutableText printerName(name);
  MutableText type(datatype);
  PRINTER_DEFAULTSA defaults = {datatype.empty() ? nullptr : type.Get(), nullptr, access};
  HANDLE opened = nullptr;
  if (!::OpenPrinterA(printerName.Get(), &opened, &defaults)) return win32::FailureCode();
  printer = std::make_unique<Win32AdminPrinter>(opened);
  return ERROR_SUCCESS;
}

long Win32PrintAdmin::OpenPrintServer(std::uint32_t access, std::unique_ptr<AdminPrinterHandle>& server) {
  PRINTER_DEFAULTSA defaults = {nullptr, nullptr, access};
  HANDLE opened = nullptr;
  if (!::OpenPrinterA(nullptr, &opened, &defaults)) return win32::FailureCode();
  server = std::make_unique<Win32AdminPrinter>(opened);
  return ERROR_SUCCESS;
}

long Win32PrintAdmin::DeleteDriver(const std::string& environment, const std::string& driverName,
                                   std::uint32_t deleteFlags, std::uint32_t versionFlag) {
  MutableText env(environment);
  MutableText driver(driverName);
  // Windows 2000 and later only: bound at run time so that the programs still load on the
  // older systems they refuse to work on.
  using DeleteDriverFunction = BOOL(WINAPI*)(LPSTR, LPSTR, LPSTR, DWORD, DWORD);
  const auto deleteDriver =
      win32::BindFunction<DeleteDriverFunction>(::GetModuleHandleA("winspool.drv"), "DeletePrinterDriverExA");
  if (!deleteDriver) return ERROR_CALL_NOT_IMPLEMENTED;
  return deleteDriver(nullptr, env.Get(), driver.Get(), deleteFlags, versionFlag) ? ERROR_SUCCESS
                                                                                  : win32::FailureCode();
}

long Win32PrintAdmin::RemoveMonitor(const std::string& environment, const std::string& monitorName) {
  MutableText env(environment);
  MutableText monitor(monitorName);
  return ::DeleteMonitorA(nullptr, env.Get(), monitor.Get()) ? ERROR_SUCCESS : win32::FailureCode();
}

long Win32PrintAdmin::RemovePrintProcessor(const std::string& environment, const std::string& processorName) {
  MutableText env(environment);
  MutableText processor(processorName);
  return ::DeletePrintProcessorA(nullptr, env.Get(), processor.Get()) ? ERROR_SUCCESS : win32::FailureCode();
}

long Win32PrintAdmin::DriverDirectory(std::size_t bufferBytes, std::string& directory) {
  return ReadDirectory(::GetPrinterDriverDirectoryA, bufferBytes, directory);
}

long Win32PrintAdmin::PrintProcessorDirectory(std::size_t bufferBytes, std::string& directory) {
  return ReadDirectory(::GetPrintProcessorDirectoryA, bufferBytes, directory);
}

long Win32PrintAdmin::EnumDriverNames(std::vector<std::string>& names) {
  DWORD needed = 0;
  DWORD returned = 0;
  if (::EnumPrinterDriversA(nullptr, nullptr, 3, nullptr, 0, &needed, &returned)) {
    names.clear();  // nothing to fetch: no driver
    return ERROR_SUCCESS;
  }
  const long error = win32::FailureCode();
  if (error != ERROR_INSUFFICIENT_BUFFER) return error;
  std::vector<BYTE> buffer(needed);
  if (!::EnumPrinterDriversA(nullptr, nullptr, 3, buffer.data(), needed, &needed, &returned)) {
    return win32::FailureCode();
  }
  const auto* drivers = reinterpret_cast<const DRIVER_INFO_3A*>(buffer.data());
  names.clear();
  for (DWORD i = 0; i < returned; ++i) names.push_back(drivers[i].pName ? drivers[i].pName : "");
  return ERROR_SUCCESS;
}

}  // namespace platform
