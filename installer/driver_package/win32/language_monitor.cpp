// HRMON410.DLL, the demo driver package's language monitor: a pass-through that hands every
// port call of a print job to the port monitor below it unchanged. The spooler installs a
// language monitor only from a DLL that exports InitializePrintMonitor2 and returns its table.
#include <windows.h>
#include <winspool.h>
#include <winsplp.h>

#include <memory>
#include <new>

namespace {

// One opened port: the port monitor's own handle for it, and that monitor's functions.
struct PassThroughPort {
  HANDLE port;
  MONITOR2* below;
};

PassThroughPort* PortOf(HANDLE handle) { return static_cast<PassThroughPort*>(handle); }

BOOL Unsupported() {
  ::SetLastError(ERROR_NOT_SUPPORTED);
  return FALSE;
}

BOOL WINAPI PassThroughOpenPortEx(HANDLE, HANDLE portMonitor, LPWSTR portName, LPWSTR, PHANDLE handle,
                                  MONITOR2* below) {
  if (handle == nullptr || below == nullptr || below->pfnOpenPort == nullptr) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::unique_ptr<PassThroughPort> opened(new (std::nothrow) PassThroughPort{nullptr, below});
  if (!opened) {
    ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
  if (!below->pfnOpenPort(portMonitor, portName, &opened->port)) return FALSE;
  *handle = opened.release();
  return TRUE;
}

BOOL WINAPI PassThroughStartDocPort(HANDLE handle, LPWSTR printerName, DWORD jobId, DWORD level, LPBYTE docInfo) {
  PassThroughPort* port = PortOf(handle);
  if (port->below->pfnStartDocPort == nullptr) return Unsupported();
  return port->below->pfnStartDocPort(port->port, printerName, jobId, level, docInfo);
}

BOOL WINAPI PassThroughWritePort(HANDLE handle, LPBYTE buffer, DWORD size, LPDWORD written) {
  PassThroughPort* port = PortOf(handle);
  if (port->below->pfnWritePort == nullptr) return Unsupported();
  return port->below->pfnWritePort(port->port, buffer, size, written);
}

BOOL WINAPI PassThroughReadPort(HANDLE handle, LPBYTE buffer, DWORD size, LPDWORD read) {
  PassThroughPort* port = PortOf(handle);
  if (port->below->pfnReadPort == nullptr) return Unsupported();
  return port->below->pfnReadPort(port->port, buffer, size, read);
}

// The port monitor tells the spooler that the job has gone to the printer.
BOOL WINAPI PassThroughEndDocPort(HANDLE handle) {
  PassThroughPort* port = PortOf(handle);
  if (port->below->pfnEndDocPort == nullptr) return Unsupported();
  return port->below->pfnEndDocPort(port->port);
}

BOOL WINAPI PassThroughClosePort(HANDLE handle) {
  std::unique_ptr<PassThroughPort> port(PortOf(handle));
  return port->below->pfnClosePort != nullptr ? port->below->pfnClosePort(port->port) : TRUE;
}

BOOL WINAPI PassThroughGetPrinterDataFromPort(HANDLE handle, DWORD controlId, LPWSTR valueName, LPWSTR in, DWORD inSize,
                                   LPWSTR out, DWORD outSize, LPDWORD returned) {
  PassThroughPort* port = PortOf(handle);
  if (port->below->pfnGetPrinterDataFromPort == nullptr) return Unsupported();
  return port->below->pfnGetPrinterDataFromPort(port->port, controlId, valueName, in, inSize, out, outSize, returned);
}

BOOL WINAPI PassThroughSetPortTimeOuts(HANDLE handle, LPCOMMTIMEOUTS timeouts, DWORD reserved) {
  PassThroughPort* port = PortOf(handle);
  if (port->below->pfnSetPortTimeOuts == nullptr) return Unsupported();
  return port->below->pfnSetPortTimeOuts(port->port, timeouts, reserved);
}

VOID WINAPI PassThroughShutdown(HANDLE) {}

MONITOR2 monitorTable = {};
// The monitor's own handle, which the spooler hands back in OpenPortEx; nothing to hold.
int monitorInstance = 0;

}  // namespace

extern "C" __declspec(dllexport) LPMONITOR2 WINAPI InitializePrintMonitor2(PMONITORINIT, PHANDLE monitor) {
  if (monitor == nullptr) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  monitorTable.cbSize = sizeof(monitorTable);
  monitorTable.pfnOpenPortEx = PassThroughOpenPortEx;
  monitorTable.pfnStartDocPort = PassThroughStartDocPort;
  monitorTable.pfnWritePort = PassThroughWritePort;
  monitorTable.pfnReadPort = PassThroughReadPort;
  monitorTable.pfnEndDocPort = PassThroughEndDocPort;
  monitorTable.pfnClosePort = PassThroughClosePort;
  monitorTable.pfnGetPrinterDataFromPort = PassThroughGetPrinterDataFromPort;
  monitorTable.pfnSetPortTimeOuts = PassThroughSetPortTimeOuts;
  monitorTable.pfnShutdown = PassThroughShutdown;
  *monitor = &monitorInstance;
  return &monitorTable;
}
