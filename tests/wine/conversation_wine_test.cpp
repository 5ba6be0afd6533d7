// End-to-end tests of the settings utility's conversation with the printer under Wine: the
// real QuintKora.exe against the printer simulator over loopback TCP, reached through the port
// settings dialog or through an installed Windows printer's TCP/IP port. What the user sees is
// checked in the window and its message boxes, what the printer took in in the simulator's
// state file.
//
// The simulator keeps its switches for the whole program run, so each case reads the state it
// starts from instead of assuming the presets of the CMake registration.
#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/wine/quintkora_driver.h"
#include "tests/wine/ui_driver.h"

namespace {

using namespace kora_e2e;
using uidriver::Control;

constexpr DWORD kHandledMs = 5000;

class ConversationTest : public ::testing::Test {
 protected:
  void SetUp() override { uidriver::DeleteRegistryTree(HKEY_CURRENT_USER, kUtilityKey); }

  // Connect Printer, Ethernet to the simulator, OK, and the connected message answered.
  static QuintKora StartConnected() {
    QuintKora app = StartQuintKora();
    HWND dialog = OpenPortDialog(app);
    ChooseEthernet(dialog, 127, 0, 0, 1, SimulatorPort());
    ClickOk(dialog);
    const uidriver::MessageBoxInfo box = AnswerMessageBox(app.process, kConversationMs);
    EXPECT_EQ(box.text, "Printer is connected.");
    EXPECT_EQ(box.title, "Information");
    return app;
  }

  // Get Printer Status, answered; the state the printer had.
  static SimulatorState GetStatus(const QuintKora& app) {
    const SimulatorState state = ReadSimulatorState();
    uidriver::Click(app.control(kGetStatusButton));
    const uidriver::MessageBoxInfo box = AnswerMessageBox(app.process, kConversationMs);
    EXPECT_EQ(box.text, "Success to get status of printer.");
    EXPECT_EQ(box.title, "Information");
    return state;
  }

  // Set Printer Status, answered; waits for the write to show in the simulator's state.
  static SimulatorState SetStatus(const QuintKora& app) {
    const int writes = StateNumber(ReadSimulatorState(), "switch_writes");
    uidriver::Click(app.control(kSetStatusButton));
    const uidriver::MessageBoxInfo box = AnswerMessageBox(app.process, kConversationMs);
    EXPECT_EQ(box.text, "Success to set status of printer");
    EXPECT_EQ(box.title, "Information");
    return WaitForSimulatorState(
        [&](const SimulatorState& state) { return StateNumber(state, "switch_writes") == writes + 1; },
        kHandledMs, "the switch write in the simulator's state");
  }
};

// Every operation closes the printer's port when it ends.
void WaitForPortClosed() {
  WaitForSimulatorState([](const SimulatorState& state) { return StateNumber(state, "open_connections") == 0; },
                        kHandledMs, "the printer's port to be closed");
}

std::vector<std::string> SwitchesOf(const SimulatorState& state) {
  std::vector<std::string> switches;
  for (int number : {1, 2, 8, 9, 10, 11, 12}) switches.push_back(state.at("switch" + std::to_string(number)));
  return switches;
}

TEST_F(ConversationTest, ConnectThroughPortDialogShowsPrinterAndStoresTheChoice) {
  QuintKora app = StartQuintKora();
  HWND dialog = OpenPortDialog(app);
  // Nothing stored yet: the dialog opens on the serial interface.
  EXPECT_TRUE(IsChecked(Control(dialog, kSerialRadio)));
  const unsigned port = SimulatorPort();
  ChooseEthernet(dialog, 127, 0, 0, 1, port);
  ClickOk(dialog);
  const uidriver::MessageBoxInfo box = AnswerMessageBox(app.process, kConversationMs);
  EXPECT_EQ(box.text, "Printer is connected.");
  EXPECT_EQ(box.title, "Information");

  const WindowLook look = LookAt(app);
  EXPECT_EQ(look.connectCaption, "Disconnect Printer");
  EXPECT_EQ(look.operationButtonsEnabled, std::vector<bool>(6, true));
  EXPECT_EQ(look.firmware, kFirmwareShown);
  EXPECT_EQ(look.language, LanguageOfBuyerCode(SwitchValue(ReadSimulatorState().at("switch12"))));
  for (std::size_t i = 0; i < look.settingEntries.size(); ++i) {
    SCOPED_TRACE("list " + std::to_string(kSettingLists[i]));
    EXPECT_EQ(look.settingEntries[i].size(), 3u);
    EXPECT_EQ(look.settingSelections[i], 0) << "a fresh connection knows no setting yet";
  }
  // The identity check leaves the printer's port closed again.
  WaitForPortClosed();

  // OK stored the choice ...
  EXPECT_EQ(RegistryString(HKEY_CURRENT_USER, kUtilityKey, "Port"), "");
  EXPECT_EQ(RegistryString(HKEY_CURRENT_USER, kUtilityKey, "TcpIp"), "127.0.0.1");
  EXPECT_EQ(RegistryDword(HKEY_CURRENT_USER, kUtilityKey, "TcpPort"), port);

  // ... and the dialog shows it again the next time.
  uidriver::Click(app.control(kConnectButton), kHandledMs);  // disconnect
  dialog = OpenPortDialog(app);
  EXPECT_TRUE(IsChecked(Control(dialog, kEthernetRadio)));
  EXPECT_FALSE(IsChecked(Control(dialog, kSerialRadio)));
  EXPECT_TRUE(uidriver::IsVisible(Control(dialog, kIpAddress)));
  EXPECT_FALSE(uidriver::IsVisible(Control(dialog, kPortList)));
  EXPECT_EQ(IpFields(Control(dialog, kIpAddress)), (std::vector<std::string>{"127", "0", "0", "1"}));
  EXPECT_EQ(uidriver::Text(Control(dialog, kTcpPortEdit)), std::to_string(port));

  // Cancel: no connection attempt, the window stays Disconnected, the settings as they were.
  const RegistrySnapshot stored = RegistryValues(HKEY_CURRENT_USER, kUtilityKey);
  const int connections = StateNumber(ReadSimulatorState(), "connections");
  uidriver::Click(Control(dialog, IDCANCEL), kHandledMs);
  uidriver::WaitUntil([&] { return !PortDialogOpen(app.process); }, kHandledMs, "the dialog to close");
  const WindowLook after = LookAt(app);
  EXPECT_EQ(after.connectCaption, "Connect Printer");
  EXPECT_EQ(after.operationButtonsEnabled, std::vector<bool>(6, false));
  EXPECT_EQ(RegistryValues(HKEY_CURRENT_USER, kUtilityKey), stored);
  EXPECT_EQ(StateNumber(ReadSimulatorState(), "connections"), connections);
  EXPECT_EQ(app.Exit(), 0u);
}

TEST_F(ConversationTest, GetStatusFillsTheListsFromThePrintersSwitches) {
  QuintKora app = StartConnected();
  const SimulatorState printer = GetStatus(app);
  ExpectListsShowSwitches(app, printer);
  // Reading the switches clears the identity texts until the next set or connect.
  EXPECT_EQ(uidriver::Text(app.control(kFirmwareText)), "");
  EXPECT_EQ(LookAt(app).operationButtonsEnabled, std::vector<bool>(6, true));
  EXPECT_TRUE(uidriver::IsEnabled(app.control(kExitButton)));
  EXPECT_TRUE(uidriver::IsEnabled(app.control(kConnectButton)));
  EXPECT_EQ(app.Exit(), 0u);
}

// Each changed list changes its bit and nothing else; the switches the window does not show
// are written back as they were read.
TEST_F(ConversationTest, SetStatusWritesExactlyTheChangedSettings) {
  QuintKora app = StartConnected();
  const SimulatorState before = GetStatus(app);
  std::vector<std::string> expected = SwitchesOf(before);  // 1, 2, 8, 9, 10, 11, 12
  auto flip = [&](std::string& bits, const SettingRow& row) {
    const bool wasOne = SwitchBit(bits, row.bit) == '1';
    uidriver::SelectComboText(app.control(row.list), wasOne ? row.zero : row.one, kHandledMs);
    bits = WithSwitchBit(bits, row.bit, wasOne ? '0' : '1');
  };
  flip(expected[0], kSettingRows[0]);  // internal buzzer: switch 1 bit 4
  flip(expected[1], kSettingRows[1]);  // font type: switch 2 bit 1
  flip(expected[4], kSettingRows[4]);  // paper width: switch 10 bit 5
  flip(expected[4], kSettingRows[5]);  // colour mode: switch 10 bit 6
  // Buyer set STD clears switch 12 and frees the code page list; code page 33 is bits 4 and 3.
  uidriver::SelectComboText(app.control(kBuyerSetList), "STD", kHandledMs);
  expected[6] = "00000000";
  uidriver::SelectComboText(app.control(kCodePageList), "User Codepage(Page 44)", kHandledMs);
  for (int bit : {5, 6, 7, 8}) expected[1] = WithSwitchBit(expected[1], bit, '0');
  for (int bit : {4, 3}) expected[1] = WithSwitchBit(expected[1], bit, '1');

  const SimulatorState after = SetStatus(app);
  EXPECT_EQ(SwitchesOf(after), expected) << "switches 1, 2, 8, 9, 10, 11, 12, bit 8 first";
  EXPECT_EQ(StateNumber(after, "setting_mode"), 0);
  EXPECT_EQ(StateNumber(after, "font_awaited"), 0) << "STD needs no font";
  // The set reads the identity anew.
  EXPECT_EQ(uidriver::Text(app.control(kFirmwareText)), kFirmwareShown);
  EXPECT_EQ(uidriver::Text(app.control(kLanguageText)), "STANDARD");
  EXPECT_TRUE(uidriver::IsEnabled(app.control(kGetStatusButton)));
  EXPECT_EQ(app.Exit(), 0u);
}

TEST_F(ConversationTest, InitializeStatusThenSetWritesTheInitialValues) {
  QuintKora app = StartConnected();
  const SimulatorState printer = ReadSimulatorState();
  const std::vector<std::string> before = SwitchesOf(printer);
  uidriver::Click(app.control(kInitializeButton), kHandledMs);

  const struct {
    int list;
    const char* shown;
  } kInitial[] = {{kInternalBuzzerList, "Disable"},
                  {kFontTypeList, "A Font (12x24)"},
                  {kAutoCutterList, "Partial Cut"},
                  {kExternalBuzzerList, "Disable"},
                  {kPaperWidthList, "3 inch"},
                  {kColorModeList, "Mono"},
                  {kCodePageList, "PC437 (USA: Standard Europe)"},
                  {kBuyerSetList, "STD"}};
  for (const auto& row : kInitial) {
    SCOPED_TRACE("list " + std::to_string(row.list));
    EXPECT_EQ(SelectedText(app.control(row.list)), row.shown);
  }
  // Initialising changes only the window: the printer has not been talked to.
  EXPECT_EQ(StateNumber(ReadSimulatorState(), "bytes_received"), StateNumber(printer, "bytes_received"));

  const SimulatorState after = SetStatus(app);
  // Switch 1 was never read: only its bit 4 has a value, the printer keeps the others.
  const std::vector<std::string> expected = {WithSwitchBit(before[0], 4, '0'),
                                             "00000000",
                                             "00000000",
                                             "00000000",
                                             "00000000",
                                             "00000000",
                                             "00000000"};
  EXPECT_EQ(SwitchesOf(after), expected) << "switches 1, 2, 8, 9, 10, 11, 12, bit 8 first";
  EXPECT_EQ(StateNumber(after, "font_awaited"), 0);
  EXPECT_EQ(app.Exit(), 0u);
}

TEST_F(ConversationTest, SelfTestPageReachesThePrinter) {
  QuintKora app = StartConnected();
  const int printed = StateNumber(ReadSimulatorState(), "selftests");
  const ULONGLONG start = GetTickCount64();
  // No message follows a self-test: the click is handled once the printer had its time.
  uidriver::Click(app.control(kSelfTestButton), kConversationMs);
  const ULONGLONG took = GetTickCount64() - start;
  EXPECT_GE(took, 4300u) << "the printer is given 4.3 s to print";
  WaitForSimulatorState(
      [&](const SimulatorState& state) { return StateNumber(state, "selftests") == printed + 1; }, kHandledMs,
      "the self-test in the simulator's state");
  WaitForPortClosed();
  EXPECT_EQ(app.Exit(), 0u);
}

TEST_F(ConversationTest, DisconnectEmptiesTheWindow) {
  QuintKora app = StartConnected();
  const WindowLook connected = LookAt(app);
  ASSERT_EQ(connected.firmware, kFirmwareShown);
  ASSERT_EQ(connected.settingEntries[0].size(), 3u);

  uidriver::Click(app.control(kConnectButton), kHandledMs);

  const WindowLook look = LookAt(app);
  EXPECT_EQ(look.connectCaption, "Connect Printer");
  EXPECT_EQ(look.operationButtonsEnabled, std::vector<bool>(6, false));
  for (std::size_t i = 0; i < look.settingEntries.size(); ++i) {
    SCOPED_TRACE("list " + std::to_string(kSettingLists[i]));
    EXPECT_TRUE(look.settingEntries[i].empty());
    EXPECT_EQ(look.settingSelections[i], -1);
    EXPECT_FALSE(uidriver::IsEnabled(app.control(kSettingLists[i])));
  }
  EXPECT_FALSE(uidriver::IsEnabled(app.control(kCodePageList)));
  EXPECT_FALSE(uidriver::IsEnabled(app.control(kBuyerSetList)));
  EXPECT_EQ(look.firmware, "");
  EXPECT_EQ(look.language, "");
  EXPECT_TRUE(uidriver::IsEnabled(app.control(kConnectButton)));
  EXPECT_EQ(app.Exit(), 0u);
}

class PrinterHandle {
 public:
  PrinterHandle() = default;
  ~PrinterHandle() {
    if (printer_ != nullptr) ClosePrinter(printer_);
  }
  PrinterHandle(const PrinterHandle&) = delete;
  PrinterHandle& operator=(const PrinterHandle&) = delete;
  HANDLE* out() { return &printer_; }
  HANDLE get() const { return printer_; }

 private:
  HANDLE printer_ = nullptr;
};

// An installed Windows printer on a Standard TCP/IP port: started with its name, the utility
// takes the port's address over and connects without asking.
class InstalledPrinterTest : public ::testing::Test {
 protected:
  static constexpr const char* kPrinter = "KELVO Counter";
  static constexpr const char* kPort = "IP_127.0.0.1";

  void SetUp() override {
    uidriver::DeleteRegistryTree(HKEY_CURRENT_USER, kUtilityKey);
    uidriver::DeleteRegistryTree(HKEY_CURRENT_USER, printerKey_);
    // The import writes below this key only when it exists, as after an installation.
    CreateRegistryKey(HKEY_CURRENT_USER, kSettingsBaseKey);
  }

  void TearDown() override {
    PrinterHandle printer;
    PRINTER_DEFAULTSA access = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (OpenPrinterA(const_cast<char*>(kPrinter), printer.out(), &access)) DeletePrinter(printer.get());
    uidriver::DeleteRegistryTree(HKEY_LOCAL_MACHINE, portKey_);
    uidriver::DeleteRegistryTree(HKEY_CURRENT_USER, printerKey_);
  }

  // A driver of placeholder files: a fresh prefix has none, and a printer needs one.
  static void AddPrinterOnTcpPort() {
    BYTE folder[MAX_PATH] = {};
    DWORD needed = 0;
    ASSERT_TRUE(GetPrinterDriverDirectoryA(nullptr, nullptr, 1, folder, sizeof folder, &needed));
    const std::string version3 = reinterpret_cast<const char*>(folder) + std::string("\\3");
    CreateDirectoryA(version3.c_str(), nullptr);
    std::string driverPath = version3 + "\\kitdrv.dll", dataFile = version3 + "\\kitdrv.gpd",
                configFile = version3 + "\\kitui.dll";
    for (const std::string& file : {driverPath, dataFile, configFile}) {
      uidriver::OwnedHandle handle(
          CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    }
    DRIVER_INFO_3A driver = {};
    driver.cVersion = 3;
    driver.pName = const_cast<char*>("KELVO Test Driver");
    driver.pDriverPath = &driverPath[0];
    driver.pDataFile = &dataFile[0];
    driver.pConfigFile = &configFile[0];
    if (!AddPrinterDriverA(nullptr, 3, reinterpret_cast<BYTE*>(&driver))) {
      ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PRINTER_DRIVER_ALREADY_INSTALLED));
    }
    PRINTER_INFO_2A info = {};
    info.pPrinterName = const_cast<char*>(kPrinter);
    info.pPortName = const_cast<char*>(kPort);
    info.pDriverName = driver.pName;
    info.pPrintProcessor = const_cast<char*>("WinPrint");
    info.pDatatype = const_cast<char*>("RAW");
    PrinterHandle added;
    *added.out() = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info));
    ASSERT_NE(added.get(), nullptr) << "AddPrinterA failed with " << GetLastError();
  }

  const std::string printerKey_ = std::string(kSettingsBaseKey) + "\\" + kPrinter;
  const std::string portKey_ =
      std::string("SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP Port\\Ports\\") +
      kPort;
};

TEST_F(InstalledPrinterTest, ImportsTheTcpPortAndOpensConnected) {
  ASSERT_NO_FATAL_FAILURE(AddPrinterOnTcpPort());
  const unsigned port = SimulatorPort();
  WriteRegistryDword(HKEY_LOCAL_MACHINE, portKey_, "PortNumber", port);
  WriteRegistryString(HKEY_LOCAL_MACHINE, portKey_, "IPAddress", "127.0.0.1");

  uidriver::Process process = LaunchQuintKora(std::string("\"") + kPrinter + "\"");
  const uidriver::MessageBoxInfo box = uidriver::WaitForMessageBox(process.Id(), "", kConversationMs);
  EXPECT_FALSE(PortDialogOpen(process)) << "an installed printer needs no port dialog";
  uidriver::AnswerMessageBox(box, IDOK, kBoxCloseMs);
  EXPECT_EQ(box.text, "Printer is connected.");
  QuintKora app = FindMainWindow(std::move(process));

  EXPECT_EQ(RegistryString(HKEY_CURRENT_USER, printerKey_, "Port"), kPort);
  EXPECT_EQ(RegistryString(HKEY_CURRENT_USER, printerKey_, "TcpIp"), "127.0.0.1");
  EXPECT_EQ(RegistryDword(HKEY_CURRENT_USER, printerKey_, "TcpPort"), port);
  const WindowLook look = LookAt(app);
  EXPECT_EQ(look.connectCaption, "Disconnect Printer");
  EXPECT_EQ(look.operationButtonsEnabled, std::vector<bool>(6, true));
  EXPECT_EQ(look.firmware, kFirmwareShown);
  EXPECT_EQ(app.Exit(), 0u);
}

}  // namespace
