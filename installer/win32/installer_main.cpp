// Entry point of HRX410_Installer.exe: builds the Win32 adapters and runs the progress window,
// whose flow ends the process itself; nothing runs after the window.
#include "installer/win32/install_progress_dialog_win32.h"  // first: the Win32 headers

#include <commctrl.h>

#include "installer/install_progress_window.h"
#include "installer/installer_services.h"
#include "installer/resources/installer_resource_ids.h"
#include "platform/win32/clock_win32.h"
#include "platform/win32/device_setup_win32.h"
#include "platform/win32/file_system_win32.h"
#include "platform/win32/print_admin_win32.h"
#include "platform/win32/print_install_win32.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/security_win32.h"
#include "platform/win32/spooler_win32.h"
#include "platform/win32/system_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // The progress bar's window class.
  ::InitCommonControls();

  platform::Win32Spooler printers;
  platform::Win32PrintAdmin spooler;
  platform::Win32PrintInstall install;
  platform::Win32Registry registry;
  platform::Win32RegistrySecurity security;
  platform::Win32DeviceSetup setup;
  platform::Win32FileSystem files;
  platform::Win32SystemServices system;
  platform::Win32Clock clock;
  const installer::InstallerServices services{printers, spooler, install, registry, security,
                                              setup,    files,   system,  clock};

  installer::InstallProgressDialog view(instance);
  installer::PortTypePromptWin32 portPrompt(instance, [&view] { return view.Window(); });
  installer::InstallProgressWindow window(view, portPrompt, services);
  view.Bind(window);
  ::DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_INSTALL_PROGRESS), nullptr,
                    installer::InstallProgressDialog::DialogProc, reinterpret_cast<LPARAM>(&view));
  return 0;
}
