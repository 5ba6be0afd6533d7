// Entry point of HRX410_Uninstaller.exe: builds the Win32 adapters and runs the uninstaller's
// dialog modally; the program ends when the dialog does.
#include "uninstaller/win32/uninstall_dialog_win32.h"  // first: the Win32 headers

#include <commctrl.h>

#include "platform/win32/clock_win32.h"
#include "platform/win32/device_setup_win32.h"
#include "platform/win32/file_system_win32.h"
#include "platform/win32/print_admin_win32.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/security_win32.h"
#include "platform/win32/spooler_win32.h"
#include "platform/win32/system_win32.h"
#include "uninstaller/uninstall_dialog.h"
#include "uninstaller/uninstall_dialog_ids.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // The progress bar's class.
  ::InitCommonControls();

  platform::Win32Spooler printers;
  platform::Win32PrintAdmin spooler;
  platform::Win32Registry registry;
  platform::Win32RegistrySecurity security;
  platform::Win32DeviceSetup setup;
  platform::Win32FileSystem files;
  platform::Win32SystemServices system;
  platform::Win32Clock clock;
  removal::RemovalProcedureServices services{printers, spooler, registry, security, setup, files, system, clock};

  uninstaller::UninstallDialogWin32 view(instance);
  uninstaller::UninstallDialog presenter(view, services);
  view.Bind(presenter);
  ::DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_UNINSTALL_DIALOG), nullptr,
                    uninstaller::UninstallDialogWin32::DialogProc, reinterpret_cast<LPARAM>(&view));
  return 0;
}
