// Entry point of QuintKora.exe: builds the Win32 adapters and hands them to the portable
// start-up, whose main window is this program's dialog.
#include "settings_utility/main_window/win32/main_window_dialog.h"  // first: the Win32 headers

#include <commctrl.h>

#include <string>

#include "platform/win32/clock_win32.h"
#include "platform/win32/device_file_win32.h"
#include "platform/win32/files_win32.h"
#include "platform/win32/message_box_win32.h"
#include "platform/win32/process_win32.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/resources_win32.h"
#include "platform/win32/sockets_win32.h"
#include "platform/win32/spooler_win32.h"
#include "settings_utility/main_window/main_window.h"
#include "settings_utility/main_window/main_window_seams.h"
#include "settings_utility/main_window/startup.h"
#include "settings_utility/main_window/utility_services.h"
#include "settings_utility/resources/resource_ids.h"
#include "settings_utility/transports/device_transport_factory.h"

namespace {

// The port settings dialog is wired in by the change that brings it.
class PortSettingsPromptNotYetAvailable : public kora::PortSettingsPrompt {
 public:
  bool Run(const std::string&, kora::PortChoice&) override { return false; }
};

// The installed-printer port import is wired in by the change that brings it.
class InstalledPortImporterNotYetAvailable : public kora::InstalledPortImporter {
 public:
  void Import(const std::string&) override {}
};

class MainDialogHostWin32 : public kora::MainDialogHost {
 public:
  MainDialogHostWin32(HINSTANCE instance, const kora::UtilityServices& services,
                      kora::TransportFactory& transports)
      : instance_(instance), services_(services), transports_(transports) {}

  void RunMainWindow(const std::string& printerName) override {
    PortSettingsPromptNotYetAvailable portPrompt;
    InstalledPortImporterNotYetAvailable importer;
    kora::MainWindowDialog view(instance_);
    kora::MainWindow presenter(view, services_, transports_, portPrompt, importer, printerName);
    view.Bind(presenter);
    ::DialogBoxParamA(instance_, MAKEINTRESOURCEA(IDD_MAIN_WINDOW), nullptr,
                      kora::MainWindowDialog::DialogProc, reinterpret_cast<LPARAM>(&view));
  }

 private:
  HINSTANCE instance_;
  const kora::UtilityServices& services_;
  kora::TransportFactory& transports_;
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  platform::Win32ProcessServices process;
  platform::Win32SocketLayer sockets;
  platform::Win32MessageBoxes boxes;
  platform::Win32Registry registry;
  platform::Win32Spooler spooler;
  platform::Win32DeviceFiles devices;
  platform::Win32Clock clock;
  platform::Win32Resources resources;
  platform::Win32Files files;
  const kora::UtilityServices services{registry, spooler, devices, sockets, clock, resources, files};
  kora::DeviceTransportFactory transports(devices, clock);

  // Registers the progress bar class of the dialog template.
  ::InitCommonControls();

  MainDialogHostWin32 host(instance, services, transports);
  return kora::RunQuintKora(process, sockets, boxes, host, commandLine ? commandLine : "");
}
