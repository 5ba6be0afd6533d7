// A minimal language monitor for the Wine tests: the spooler adds a monitor only when its DLL
// exports InitializePrintMonitor2 and that returns a monitor table. The test copies this DLL
// into the system folder under the name the removal module deletes.
#include <windows.h>
#include <winspool.h>
#include <winsplp.h>

namespace {

MONITOR2 monitorTable = {};

BOOL WINAPI OpenMonitorPort(HANDLE, LPWSTR, PHANDLE port) {
  *port = reinterpret_cast<HANDLE>(&monitorTable);
  return TRUE;
}

BOOL WINAPI CloseMonitorPort(HANDLE) { return TRUE; }

}  // namespace

extern "C" __declspec(dllexport) LPMONITOR2 WINAPI InitializePrintMonitor2(PMONITORINIT, PHANDLE monitor) {
  monitorTable.cbSize = sizeof(monitorTable);
  monitorTable.pfnOpenPort = OpenMonitorPort;
  monitorTable.pfnClosePort = CloseMonitorPort;
  *monitor = reinterpret_cast<HANDLE>(&monitorTable);
  return &monitorTable;
}
