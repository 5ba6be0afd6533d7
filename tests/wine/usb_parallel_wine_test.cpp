// End-to-end tests under Wine of the settings utility's USB and parallel ports, chosen in the
// port settings dialog. The USB printer is a fake: a device of vendor 3C17 and product 0006
// registered in the prefix through the setup API, whose interface path the harness links to the
// printer simulator's pseudo-terminal (KIT_SIMULATOR_PTY_DEVICES). Device removal and arrival
// are the WM_DEVICECHANGE messages Windows would send, sent to the utility's "USBPNPWindow".
// No parallel port exists in the prefix (LPT1 maps to nothing), nor, outside the fake printer's
// cases, any USB device.
#include <windows.h>
#include <dbt.h>
#include <setupapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/wine/quintkora_driver.h"
#include "tests/wine/ui_driver.h"

namespace {

using namespace kora_e2e;
using uidriver::Control;

constexpr DWORD kHandledMs = 5000;
// A USB connect waits 200 ms before each of its four replies; far more means it hangs.
constexpr DWORD kUsbConnectMs = 10000;
// Long enough for SetStatus (about 2.5 s) and a font image sent at 4096 bytes per 20 ms.
constexpr DWORD kFontDownloadMs = 30000;
constexpr int kKoreanImageBytes = 615695;

const GUID kUsbDeviceClass = {0x36FC9E60, 0xC465, 0x11CF, {0x80, 0x56, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const GUID kUsbInterfaceClass = {
    0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};
constexpr char kInterfaceClassKey[] =
    "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{a5dcbf10-6530-11d2-901f-00c04fb951ed}";
constexpr char kPrinterInstance[] = "USB\\VID_3C17&PID_0006\\KIT0001";

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::toupper(c); });
  return text;
}

class DeviceInfoSet {
 public:
  explicit DeviceInfoSet(HDEVINFO set) : set_(set) {}
  ~DeviceInfoSet() {
    if (set_ != INVALID_HANDLE_VALUE) SetupDiDestroyDeviceInfoList(set_);
  }
  DeviceInfoSet(const DeviceInfoSet&) = delete;
  DeviceInfoSet& operator=(const DeviceInfoSet&) = delete;
  HDEVINFO get() const { return set_; }

 private:
  HDEVINFO set_;
};

std::string InterfacePath(HDEVINFO set, SP_DEVICE_INTERFACE_DATA& data) {
  DWORD needed = 0;
  SetupDiGetDeviceInterfaceDetailA(set, &data, nullptr, 0, &needed, nullptr);
  std::vector<BYTE> buffer(std::max<DWORD>(needed, sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)));
  auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(buffer.data());
  detail->cbSize = sizeof *detail;
  if (!SetupDiGetDeviceInterfaceDetailA(set, &data, detail, static_cast<DWORD>(buffer.size()), nullptr,
                                        nullptr))
    return std::string();
  return detail->DevicePath;
}

// The present USB device interfaces, as the utility's enumeration sees them.
std::vector<std::string> PresentUsbInterfaces() {
  DeviceInfoSet set(
      SetupDiGetClassDevsA(&kUsbInterfaceClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
  std::vector<std::string> paths;
  SP_DEVICE_INTERFACE_DATA data = {};
  data.cbSize = sizeof data;
  for (DWORD i = 0; SetupDiEnumDeviceInterfaces(set.get(), nullptr, &kUsbInterfaceClass, i, &data); ++i)
    paths.push_back(InterfacePath(set.get(), data));
  return paths;
}

// The key under which Windows marks an interface as present: "##?#" and the path after "\\?\".
std::string InterfaceKey(const std::string& path) {
  return std::string(kInterfaceClassKey) + "\\##?#" + path.substr(4);
}

// The fake printer: a device and its USB interface, present, its path linked to the simulator.
class FakeUsbPrinter {
 public:
  FakeUsbPrinter() {
    DeviceInfoSet set(SetupDiCreateDeviceInfoList(&kUsbDeviceClass, nullptr));
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof device;
    SP_DEVICE_INTERFACE_DATA interfaceData = {};
    interfaceData.cbSize = sizeof interfaceData;
    if (!SetupDiCreateDeviceInfoA(set.get(), kPrinterInstance, &kUsbDeviceClass, nullptr, nullptr, 0,
                                  &device) ||
        !SetupDiRegisterDeviceInfo(set.get(), &device, 0, nullptr, nullptr, nullptr) ||
        !SetupDiCreateDeviceInterfaceA(set.get(), &device, &kUsbInterfaceClass, nullptr, 0, &interfaceData)) {
      throw uidriver::Win32Error("registering the fake USB printer", GetLastError());
    }
    path_ = InterfacePath(set.get(), interfaceData);
    WriteRegistryDword(HKEY_LOCAL_MACHINE, InterfaceKey(path_) + "\\#\\Control", "Linked", 1);
  }

  ~FakeUsbPrinter() {
    DeviceInfoSet set(SetupDiCreateDeviceInfoList(&kUsbDeviceClass, nullptr));
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof device;
    if (SetupDiOpenDeviceInfoA(set.get(), kPrinterInstance, nullptr, 0, &device))
      SetupDiRemoveDevice(set.get(), &device);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, InterfaceKey(path_).c_str());
  }

  FakeUsbPrinter(const FakeUsbPrinter&) = delete;
  FakeUsbPrinter& operator=(const FakeUsbPrinter&) = delete;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Pulls the fake printer's cable or plugs it in again: the harness links the interface path to
// the simulator's pty through the simulator's link, and with that link moved away the path no
// longer opens, as for a device that is gone. The Win32 calls cannot move a link to a device,
// but Wine starts the Unix mv; it gives no process handle to wait on, so the move is awaited by
// its effect.
std::string ThroughDriveZ(const std::string& unixPath) {
  std::string path = "Z:" + unixPath;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

// Wine has no attributes for a link to a device, but lists it in its folder.
bool Exists(const std::string& unixPath) {
  WIN32_FIND_DATAA found = {};
  HANDLE search = FindFirstFileA(ThroughDriveZ(unixPath).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return true;
}

void MoveSimulatorLink(const std::string& from, const std::string& to) {
  std::string commandLine = "Z:\\bin\\mv -T " + from + " " + to;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &info))
    throw uidriver::Win32Error("CreateProcessA(" + commandLine + ")", GetLastError());
  uidriver::OwnedHandle process(info.hProcess);
  uidriver::OwnedHandle thread(info.hThread);
  uidriver::WaitUntil([&] { return Exists(to) && !Exists(from); }, kHandledMs, commandLine);
}

// The utility's hidden window for device notifications, while its USB device is open.
HWND NotificationWindow(const uidriver::Process& process) {
  for (const uidriver::WindowInfo& window : uidriver::TopLevelWindows(process.Id())) {
    if (window.caption == "USBPNPWindow") return window.handle;
  }
  return nullptr;
}

LRESULT SendDeviceChange(HWND window, WPARAM event, const DEV_BROADCAST_HDR* data) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(window, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(data), SMTO_NORMAL,
                           uidriver::kMessageTimeoutMs, &result)) {
    throw uidriver::TimeoutError("USBPNPWindow did not answer WM_DEVICECHANGE " + std::to_string(event));
  }
  return static_cast<LRESULT>(result);
}

LRESULT SendHandleEvent(HWND window, WPARAM event, HANDLE handle) {
  DEV_BROADCAST_HANDLE data = {};
  data.dbch_size = sizeof data;
  data.dbch_devicetype = DBT_DEVTYP_HANDLE;
  data.dbch_handle = handle;
  return SendDeviceChange(window, event, reinterpret_cast<const DEV_BROADCAST_HDR*>(&data));
}

LRESULT SendArrival(HWND window, const std::string& path) {
  std::vector<BYTE> buffer(sizeof(DEV_BROADCAST_DEVICEINTERFACE_A) + path.size(), 0);
  auto* data = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_A*>(buffer.data());
  data->dbcc_size = static_cast<DWORD>(buffer.size());
  data->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
  data->dbcc_classguid = kUsbInterfaceClass;
  std::copy(path.begin(), path.end(), data->dbcc_name);
  return SendDeviceChange(window, DBT_DEVICEARRIVAL, reinterpret_cast<const DEV_BROADCAST_HDR*>(data));
}

// The utility's handle values that a request to remove their device is refused for. Only the
// open device's handle should be: the value is learnt this way, as it lives in the utility's
// process.
std::vector<HANDLE> HandlesRefusingRemoval(HWND window) {
  std::vector<HANDLE> refused;
  for (ULONG_PTR value = 4; value < 0x4000; value += 4) {
    HANDLE handle = reinterpret_cast<HANDLE>(value);
    if (SendHandleEvent(window, DBT_DEVICEQUERYREMOVE, handle) == BROADCAST_QUERY_DENY)
      refused.push_back(handle);
  }
  return refused;
}

class UsbPrinterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    uidriver::DeleteRegistryTree(HKEY_CURRENT_USER, kUtilityKey);
    // The harness links this name to the simulator: the registered interface must match it.
    const std::string linked = RequiredEnvironment("KIT_SIMULATOR_PTY_DEVICES");
    ASSERT_EQ(Lower(printer_.path().substr(4)), linked) << "the fake printer's path is not the one linked";
    uidriver::OwnedHandle probe(CreateFileA(printer_.path().c_str(), GENERIC_READ | GENERIC_WRITE,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                            nullptr));
    ASSERT_NE(probe.get(), INVALID_HANDLE_VALUE) << "the fake printer's path does not open";
  }

  // A case that fails with the cable pulled leaves it plugged in for the next.
  void TearDown() override {
    if (unplugged_) PlugIn();
  }

  void Unplug() {
    const std::string link = RequiredEnvironment("KIT_SIM_PTY_LINK");
    MoveSimulatorLink(link, link + ".unplugged");
    unplugged_ = true;
  }

  void PlugIn() {
    const std::string link = RequiredEnvironment("KIT_SIM_PTY_LINK");
    MoveSimulatorLink(link + ".unplugged", link);
    unplugged_ = false;
  }

  // Connect Printer, USB, the one listed printer, OK; the connected message is left open.
  QuintKora StartConnecting() {
    QuintKora app = StartQuintKora();
    HWND dialog = OpenPortDialog(app);
    uidriver::Click(Control(dialog, kUsbRadio), kHandledMs);
    EXPECT_EQ(uidriver::ComboItems(Control(dialog, kPortList)), std::vector<std::string>{"USB001"});
    EXPECT_EQ(uidriver::ComboSelection(Control(dialog, kPortList)), 0);
    ClickOk(dialog);
    uidriver::WaitUntil([&] { return !PortDialogOpen(app.process); }, kHandledMs, "the dialog to close");
    return app;
  }

  // The connected message, left open. When it does not come, how far the printer's side got
  // tells where the utility stopped.
  static uidriver::MessageBoxInfo WaitForConnectMessage(const QuintKora& app) {
    try {
      return uidriver::WaitForMessageBox(app.process.Id(), "", kUsbConnectMs);
    } catch (const uidriver::TimeoutError& error) {
      throw uidriver::TimeoutError(
          std::string(error.what()) + "; by then the printer had taken in " +
          ReadSimulatorState().at("bytes_received") +
          " bytes and sent every reply (a read that waits for more bytes than the reply "
          "has would stall here unless it is bounded)");
    }
  }

  FakeUsbPrinter printer_;
  bool unplugged_ = false;
};

TEST_F(UsbPrinterTest, ListedAsUsb001AndTalksOverTheBlockPath) {
  const SimulatorState printer = ReadSimulatorState();
  QuintKora app = StartConnecting();
  EXPECT_EQ(RegistryString(HKEY_CURRENT_USER, kUtilityKey, "Port"), "USB001");
  EXPECT_EQ(RegistryString(HKEY_CURRENT_USER, kUtilityKey, "UsbdeviceName"), Upper(printer_.path()));
  const uidriver::MessageBoxInfo connected = WaitForConnectMessage(app);
  uidriver::AnswerMessageBox(connected, IDOK, kBoxCloseMs);
  EXPECT_EQ(connected.text, "Printer is connected.");
  EXPECT_EQ(uidriver::Text(app.control(kFirmwareText)), kFirmwareShown);
  EXPECT_EQ(uidriver::Text(app.control(kLanguageText)),
            LanguageOfBuyerCode(SwitchValue(printer.at("switch12"))));

  uidriver::Click(app.control(kGetStatusButton));
  const uidriver::MessageBoxInfo got = AnswerMessageBox(app.process, kConversationMs);
  EXPECT_EQ(got.text, "Success to get status of printer.");
  ExpectListsShowSwitches(app, printer);
  EXPECT_EQ(StateNumber(ReadSimulatorState(), "unknown_bytes"), StateNumber(printer, "unknown_bytes"));
  EXPECT_EQ(app.Exit(), 0u);
}

// While a message box of the utility is up the USB device is open and notifications are
// handled: at the connected message, and at the one before a font download, whose blocks then
// show whether writes reach the printer.
TEST_F(UsbPrinterTest, RemovalRequestRefusedRemovalStopsWritesArrivalReopens) {
  QuintKora app = StartConnecting();
  const uidriver::MessageBoxInfo connected = WaitForConnectMessage(app);
  ASSERT_EQ(connected.text, "Printer is connected.");
  HWND window = NotificationWindow(app.process);
  ASSERT_NE(window, nullptr) << "no USBPNPWindow while the device is open";
  EXPECT_EQ(GetWindowLongPtrA(window, GWLP_ID), 1234);
  EXPECT_EQ(HandlesRefusingRemoval(window).size(), 1u) << "only the open device refuses its removal";
  uidriver::AnswerMessageBox(connected, IDOK, kBoxCloseMs);
  EXPECT_EQ(NotificationWindow(app.process), nullptr) << "the connect closes the device again";

  // KOR is followed by a font download; unplugged at its message, no block reaches the printer.
  const std::string announce = "Success to Change the Firmware,\n And Now Start Font Download!";
  uidriver::SelectComboText(app.control(kBuyerSetList), "KOR", kHandledMs);
  uidriver::Click(app.control(kSetStatusButton));
  uidriver::MessageBoxInfo box = uidriver::WaitForMessageBox(app.process.Id(), "", kConversationMs);
  ASSERT_EQ(box.text, announce);
  window = NotificationWindow(app.process);
  ASSERT_NE(window, nullptr);
  std::vector<HANDLE> device = HandlesRefusingRemoval(window);
  ASSERT_EQ(device.size(), 1u);
  Unplug();
  EXPECT_EQ(SendHandleEvent(window, DBT_DEVICEREMOVECOMPLETE, device[0]), TRUE);
  EXPECT_TRUE(HandlesRefusingRemoval(window).empty()) << "a removed device holds no handle";
  const int bytesAtRemoval = StateNumber(ReadSimulatorState(), "bytes_received");
  uidriver::AnswerMessageBox(box, IDOK, kBoxCloseMs);
  box = AnswerMessageBox(app.process, kFontDownloadMs);
  EXPECT_EQ(box.text, "Fail to download Font!");
  EXPECT_EQ(box.title, "Stop");
  EXPECT_EQ(StateNumber(ReadSimulatorState(), "bytes_received"), bytesAtRemoval);
  EXPECT_TRUE(uidriver::IsEnabled(app.control(kSetStatusButton)));
  PlugIn();

  // Unplugged and plugged in again at the message: the image goes to the reopened device.
  uidriver::SelectComboText(app.control(kBuyerSetList), "KOR", kHandledMs);
  uidriver::Click(app.control(kSetStatusButton));
  box = uidriver::WaitForMessageBox(app.process.Id(), "", kConversationMs);
  ASSERT_EQ(box.text, announce);
  window = NotificationWindow(app.process);
  ASSERT_NE(window, nullptr);
  device = HandlesRefusingRemoval(window);
  ASSERT_EQ(device.size(), 1u);
  Unplug();
  EXPECT_EQ(SendHandleEvent(window, DBT_DEVICEREMOVECOMPLETE, device[0]), TRUE);
  EXPECT_TRUE(HandlesRefusingRemoval(window).empty());
  PlugIn();
  EXPECT_EQ(SendArrival(window, printer_.path()), TRUE);
  EXPECT_EQ(HandlesRefusingRemoval(window).size(), 1u) << "the arrival reopens the device";
  const int bytesAtArrival = StateNumber(ReadSimulatorState(), "bytes_received");
  uidriver::AnswerMessageBox(box, IDOK, kBoxCloseMs);
  box = AnswerMessageBox(app.process, kFontDownloadMs);
  EXPECT_EQ(box.text, "Success to Download Font!, And Reboot Printer");
  EXPECT_GE(StateNumber(ReadSimulatorState(), "bytes_received"), bytesAtArrival + kKoreanImageBytes);
  EXPECT_EQ(app.Exit(), 0u);
}

class PortWithoutPrinterTest : public ::testing::Test {
 protected:
  void SetUp() override { uidriver::DeleteRegistryTree(HKEY_CURRENT_USER, kUtilityKey); }
};

TEST_F(PortWithoutPrinterTest, UsbWithoutPrinterFallsBackToSerial) {
  ASSERT_TRUE(PresentUsbInterfaces().empty()) << "a USB device is left in the prefix";
  QuintKora app = StartQuintKora();
  HWND dialog = OpenPortDialog(app);
  ClickInterface(dialog, kUsbRadio);
  const uidriver::MessageBoxInfo box = AnswerMessageBox(app.process, kHandledMs);
  EXPECT_EQ(box.text, "Not Connect USB Device and Power off!");
  EXPECT_EQ(box.title, "Error");

  EXPECT_TRUE(IsChecked(Control(dialog, kSerialRadio)));
  EXPECT_FALSE(IsChecked(Control(dialog, kUsbRadio)));
  const std::vector<std::string> ports = uidriver::ComboItems(Control(dialog, kPortList));
  ASSERT_EQ(ports.size(), 15u);
  EXPECT_EQ(ports.front(), "COM1");
  EXPECT_EQ(ports.back(), "\\\\.\\COM15");
  EXPECT_EQ(SelectedText(Control(dialog, kPortList)), "COM1");
  for (int id : kLineLists) EXPECT_TRUE(uidriver::IsEnabled(Control(dialog, id))) << "list " << id;
  uidriver::Click(Control(dialog, IDCANCEL), kHandledMs);
  EXPECT_EQ(app.Exit(), 0u);
}

TEST_F(PortWithoutPrinterTest, ParallelPortWithoutPrinterIsRefused) {
  QuintKora app = StartQuintKora();
  HWND dialog = OpenPortDialog(app);
  uidriver::Click(Control(dialog, kParallelRadio), kHandledMs);
  EXPECT_EQ(uidriver::ComboItems(Control(dialog, kPortList)),
            (std::vector<std::string>{"LPT1", "LPT2", "LPT3"}));
  for (int id : kLineLists) EXPECT_FALSE(uidriver::IsEnabled(Control(dialog, id))) << "list " << id;
  uidriver::SelectComboText(Control(dialog, kPortList), "LPT1", kHandledMs);
  ClickOk(dialog);
  const uidriver::MessageBoxInfo box = AnswerMessageBox(app.process, kConversationMs);
  EXPECT_EQ(box.text, "Can't open port and Printer is disconnected");
  EXPECT_EQ(box.title, "Information");
  const WindowLook look = LookAt(app);
  EXPECT_EQ(look.connectCaption, "Connect Printer");
  EXPECT_EQ(look.operationButtonsEnabled, std::vector<bool>(6, false));
  EXPECT_EQ(RegistryString(HKEY_CURRENT_USER, kUtilityKey, "Port"), "LPT1");
  EXPECT_EQ(app.Exit(), 0u);
}

}  // namespace
