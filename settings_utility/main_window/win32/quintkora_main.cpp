// Entry point of QuintKora.exe: builds the Win32 adapters and hands them to the portable
// start-up, whose main window is this program's dialog.
#include "settings_utility/main_window/win32/main_window_dialog.h"  // first: the Win32 headers
#include "settings_utility/main_window/win32/port_settings_dialog_win32.h"

#include <commctrl.h>

#include <string>

#include "platform/win32/clock_win32.h"
#include "platform/win32/device_file_win32.h"
#include "platform/win32/device_notifications_win32.h"
#include "platform/win32/files_win32.h"
#include "platform/win32/port_io_win32.h"
#include "platform/win32/message_box_win32.h"
#include "platform/win32/process_win32.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/resources_win32.h"
#include "platform/win32/setup_api_win32.h"
#include "platform/win32/sockets_win32.h"
#include "platform/win32/spooler_win32.h"
#include "platform/win32/system_info_win32.h"
#include "settings_utility/main_window/main_window.h"
#include "settings_utility/main_window/main_window_seams.h"
#include "settings_utility/main_window/startup.h"
#include "settings_utility/main_window/utility_services.h"
#include "settings_utility/resources/resource_ids.h"
#include "settings_utility/transports/device_transport_factory.h"
#include "settings_utility/transports/port_discovery.h"
#include "settings_utility/transports/usb_device_list.h"
#include "settings_utility/transports/usb_listing.h"

namespace {

// The dialog templates use the progress bar and the IP address control. The IP address
// control comes with comctl32 4.71 and is registered only through InitCommonControlsEx,
// which older libraries lack: the function is looked up at run time, and without it the
// classic call registers what such a library has.
void RegisterCommonControlClasses() {
  using InitCommonControlsExFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  HMODULE library = ::GetModuleHandleA("comctl32.dll");
  FARPROC found = library != nullptr ? ::GetProcAddress(library, "InitCommonControlsEx") : nullptr;
  if (found != nullptr) {
    auto initEx = reinterpret_cast<InitCommonControlsExFunction>(reinterpret_cast<void*>(found));
    INITCOMMONCONTROLSEX classes = {};
    classes.dwSize = sizeof classes;
    classes.dwICC = ICC_PROGRESS_CLASS | ICC_INTERNET_CLASSES;
    if (initEx(&classes)) return;
  }
  ::InitCommonControls();
}

class MainDialogHostWin32 : public kora::MainDialogHost {
 public:
  MainDialogHostWin32(HINSTANCE instance, const kora::UtilityServices& services,
                      kora::TransportFactory& transports, kora::UsbListing& usbListing,
                      kora::InstalledPortImporter& importer)
      : instance_(instance),
        services_(services),
        transports_(transports),
        usbListing_(usbListing),
        importer_(importer) {}

  void RunMainWindow(const std::string& printerName) override {
    kora::MainWindowDialog view(instance_);
    kora::PortSettingsPromptWin32 portPrompt(instance_, services_.registry, usbListing_,
                                             [&view] { return view.Window(); });
    kora::MainWindow presenter(view, services_, transports_, portPrompt, importer_, printerName);
    view.Bind(presenter);
    ::DialogBoxParamA(instance_, MAKEINTRESOURCEA(IDD_MAIN_WINDOW), nullptr,
                      kora::MainWindowDialog::DialogProc, reinterpret_cast<LPARAM>(&view));
  }

 private:
  HINSTANCE instance_;
  const kora::UtilityServices& services_;
  kora::TransportFactory& transports_;
  kora::UsbListing& usbListing_;
  kora::InstalledPortImporter& importer_;
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
  platform::Win32DeviceNotifications notifications;
  platform::Win32SystemInfo system;
  platform::Win32PortIo ports;
  platform::Win32SetupApi setup;
  kora::DeviceTransportFactory transports(devices, clock, notifications, system, ports);
  kora::UsbDeviceList usbDevices(setup, devices, registry, system);
  kora::UsbDeviceListing usbListing(usbDevices);
  kora::InstalledPrinterPortImporter importer(spooler, registry, usbDevices);

  RegisterCommonControlClasses();

  MainDialogHostWin32 host(instance, services, transports, usbListing, importer);
  return kora::RunQuintKora(process, sockets, boxes, host, commandLine ? commandLine : "");
}
