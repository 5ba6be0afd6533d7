// What the settings utility's end-to-end tests do with QuintKora.exe, built on the UI driver:
// start it, find its main window and its captionless port settings dialog, choose an interface
// there, answer its message boxes, look at the main window's state, and read the state file of
// the printer simulator that the harness started (KIT_SIM_STATE).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "tests/wine/ui_driver.h"

namespace kora_e2e {

constexpr char kMainCaption[] = "KELVO HRX-410 KORA V1.0.0";
constexpr char kUtilityKey[] = "Software\\KELVO\\HRX-410\\KORA";
constexpr char kSettingsBaseKey[] = "Software\\KELVO\\HRX-410";

// Main window controls.
constexpr int kConnectButton = 1029;
constexpr int kSelfTestButton = 1021;
constexpr int kGetStatusButton = 1019;
constexpr int kSetStatusButton = 1020;
constexpr int kSaveStatusButton = 1022;
constexpr int kLoadStatusButton = 1025;
constexpr int kInitializeButton = 1026;
constexpr int kExitButton = 1027;
constexpr int kFirmwareText = 1018;
constexpr int kLanguageText = 1030;
constexpr int kCodePageList = 1015;
constexpr int kBuyerSetList = 1016;
constexpr int kInternalBuzzerList = 1032;
constexpr int kFontTypeList = 1034;
constexpr int kAutoCutterList = 1035;
constexpr int kExternalBuzzerList = 1036;
constexpr int kPaperWidthList = 1037;
constexpr int kColorModeList = 1038;
constexpr int kOperationButtons[] = {kSelfTestButton,   kGetStatusButton,  kSetStatusButton,
                                     kSaveStatusButton, kLoadStatusButton, kInitializeButton};
constexpr int kSettingLists[] = {kInternalBuzzerList, kFontTypeList,   kAutoCutterList,
                                 kExternalBuzzerList, kPaperWidthList, kColorModeList};

// Port settings dialog controls.
constexpr int kSerialRadio = 1048;
constexpr int kParallelRadio = 1052;
constexpr int kUsbRadio = 1049;
constexpr int kEthernetRadio = 1050;
constexpr int kPortList = 1006;
constexpr int kIpAddress = 1053;
constexpr int kTcpPortEdit = 1054;
constexpr int kBaudList = 1007;
constexpr int kLineLists[] = {1007, 1008, 1009, 1010, 1011};

// A first start in a fresh prefix brings up the wineserver and its services.
constexpr DWORD kWindowWaitMs = 30000;
// Bound on one printer conversation of the utility (connect, get, set), far above its own
// waits of at most a few seconds: a hang shows as a failure, not as a stuck test run.
constexpr DWORD kConversationMs = 20000;
constexpr DWORD kBoxCloseMs = 5000;
constexpr DWORD kExitWaitMs = 10000;

// The folder of the programs under test, as the harness passes it (a Windows path).
std::string BinDir();
// An environment variable the harness must have set; throws naming it when it is missing.
std::string RequiredEnvironment(const char* name);

// QuintKora.exe with its main window.
struct QuintKora {
  uidriver::Process process;
  HWND window = nullptr;

  HWND control(int id) const { return uidriver::Control(window, id); }
  // Clicks EXIT and returns the program's exit code.
  DWORD Exit();
};
// Starts QuintKora.exe from its folder. Started with an installed printer's name it connects
// before its window shows: answer that first, then find the window with FindMainWindow.
uidriver::Process LaunchQuintKora(const std::string& arguments = "");
QuintKora FindMainWindow(uidriver::Process process);
QuintKora StartQuintKora();

// A message box of the program, answered with OK once its title and text are read.
uidriver::MessageBoxInfo AnswerMessageBox(const uidriver::Process& process, DWORD timeoutMs);

// The port settings dialog: a captionless dialog of the process holding the interface buttons.
HWND WaitForPortDialog(const uidriver::Process& process, DWORD timeoutMs);
bool PortDialogOpen(const uidriver::Process& process);
bool IsChecked(HWND button);
void SetEditText(HWND edit, const std::string& text);
// IPM_SETADDRESS, first field most significant.
void SetIpAddress(HWND ipControl, BYTE a, BYTE b, BYTE c, BYTE d);
// The four fields as the user sees them, left to right.
std::vector<std::string> IpFields(HWND ipControl);

// Clicks "Connect Printer" and waits for the port settings dialog.
HWND OpenPortDialog(const QuintKora& app);
// In an open port settings dialog: Ethernet, the address and port typed in, OK.
void ChooseEthernet(HWND dialog, BYTE a, BYTE b, BYTE c, BYTE d, unsigned port);
// In an open port settings dialog: click an interface button whose handler may show a box.
void ClickInterface(HWND dialog, int radioId);
void ClickOk(HWND dialog);

// The loopback port of the simulator that the harness started.
unsigned SimulatorPort();

// The main window's look, as a user sees it.
struct WindowLook {
  std::string connectCaption;
  std::vector<bool> operationButtonsEnabled;             // in the order of kOperationButtons
  std::vector<std::vector<std::string>> settingEntries;  // in the order of kSettingLists
  std::vector<int> settingSelections;
  std::string firmware;
  std::string language;
};
WindowLook LookAt(const QuintKora& app);
// The text of a list's selected entry ("" when nothing is selected).
std::string SelectedText(HWND combo);

// The printer simulator's state file (key=value lines).
using SimulatorState = std::map<std::string, std::string>;
SimulatorState ReadSimulatorState();
int StateNumber(const SimulatorState& state, const std::string& key);
// Polls the state file until `condition` holds and returns that state.
SimulatorState WaitForSimulatorState(const std::function<bool(const SimulatorState&)>& condition,
                                     DWORD timeoutMs, const std::string& what);

// Memory switch bits as the state file writes them: eight characters, bit 8 first.
char SwitchBit(const std::string& bits, int bit);
std::string WithSwitchBit(std::string bits, int bit, char value);

// What the printer reports and how the window shows it.
struct SettingRow {
  int list;
  int switchNumber;
  int bit;
  const char* one;   // the list's entry for a bit of 1
  const char* zero;  // ... and for a bit of 0
};
constexpr SettingRow kSettingRows[] = {
    {kInternalBuzzerList, 1, 4, "Enable", "Disable"},
    {kFontTypeList, 2, 1, "B Font (9x24)", "A Font (12x24)"},
    {kAutoCutterList, 2, 2, "Full Cut", "Partial Cut"},
    {kExternalBuzzerList, 10, 1, "Enable", "Disable"},
    {kPaperWidthList, 10, 5, "2 inch", "3 inch"},
    {kColorModeList, 10, 6, "Color", "Mono"},
};
// The simulator's firmware version "HRX410101A1" as the window shows it: six characters, a
// blank, three characters, a blank.
constexpr char kFirmwareShown[] = "HRX410 101 ";
// The simulator's language text for a buyer code (switch 12).
std::string LanguageOfBuyerCode(int code);
int SwitchValue(const std::string& bits);
// After "Get Printer Status": every list shows what the switches in `state` say (gtest checks).
void ExpectListsShowSwitches(const QuintKora& app, const SimulatorState& state);

// Registry of the prefix.
void CreateRegistryKey(HKEY root, const std::string& path);
void WriteRegistryString(HKEY root, const std::string& path, const std::string& name,
                         const std::string& value);
void WriteRegistryDword(HKEY root, const std::string& path, const std::string& name, DWORD value);
// Every value of a key (name -> type and bytes), for comparing a key before and after.
using RegistrySnapshot = std::map<std::string, std::pair<DWORD, std::vector<BYTE>>>;
RegistrySnapshot RegistryValues(HKEY root, const std::string& path);
std::string RegistryString(HKEY root, const std::string& path, const std::string& name);
DWORD RegistryDword(HKEY root, const std::string& path, const std::string& name);

}  // namespace kora_e2e
