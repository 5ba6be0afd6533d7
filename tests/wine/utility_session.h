// What the settings utility's end-to-end tests, its benchmark and the `make run` driver share:
// starting QuintKora.exe against the printer simulator, the port settings dialog, the standard
// file dialogs, the simulator's state file, and screenshots of the virtual display.
//
// Built on the UI driver: every wait is bounded and every action is one a user could take.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "tests/wine/ui_driver.h"

namespace utility {

constexpr char kMainCaption[] = "KELVO HRX-410 KORA V1.0.0";

// Controls of the main window.
namespace main_ids {
constexpr int kCodePage = 1015;
constexpr int kBuyerSet = 1016;
constexpr int kFirmwareVersion = 1018;
constexpr int kGetStatus = 1019;
constexpr int kSetStatus = 1020;
constexpr int kSelfTest = 1021;
constexpr int kSaveStatus = 1022;
constexpr int kLoadStatus = 1025;
constexpr int kInitStatus = 1026;
constexpr int kExit = 1027;
constexpr int kProgress = 1028;
constexpr int kConnect = 1029;
constexpr int kLanguage = 1030;
constexpr int kInternalBuzzer = 1032;
constexpr int kFontType = 1034;
constexpr int kAutoCutter = 1035;
constexpr int kExternalBuzzer = 1036;
constexpr int kPaperWidth = 1037;
constexpr int kColorMode = 1038;
}  // namespace main_ids

// Controls of the port settings dialog.
namespace port_ids {
constexpr int kEthernet = 1050;
constexpr int kIpAddress = 1053;
constexpr int kTcpPort = 1054;
}  // namespace port_ids

// Bounds of the waits. A first start in a fresh prefix brings up the wineserver and its
// services; a connect over Ethernet takes 1.3 s of prescribed waits, a set 2.3 s.
constexpr DWORD kStartWaitMs = 30000;
constexpr DWORD kOperationWaitMs = 15000;
constexpr DWORD kCloseWaitMs = 5000;
constexpr DWORD kExitWaitMs = 10000;

// The folder of the programs under test (a Windows path), as the harness passes it.
std::string BinDir();
// The simulator the harness started: its loopback port and its state file (a Windows path).
// Both throw when the harness started none.
unsigned SimulatorPort();
std::string SimulatorStateFile();

// Prepares the settings key of an installed-printer name so that QuintKora.exe, started with
// that name, reaches the simulator over Ethernet. No Windows printer has that name, so the
// port import at start-up leaves the key as it is.
void PrepareEthernetPrinter(const std::string& printerName, unsigned tcpPort);
void DeleteUtilitySettings();

uidriver::Process StartQuintKora(const std::string& arguments = "");

// A message box as the user read it.
struct Message {
  std::string title;
  std::string text;
};
// Waits for the next message box of the process, reads it and presses OK.
Message AcknowledgeMessage(DWORD processId, DWORD timeoutMs = kOperationWaitMs);

// Returns once the program has finished the handler it was running (the rest of an operation
// after its message box, say): a message sent to its window is only taken when its thread
// waits for messages again.
void WaitForHandlerToEnd(HWND window, DWORD timeoutMs = kOperationWaitMs);

// QuintKora started with a prepared printer name: it connects during start-up and says so
// ("Printer is connected.", answered here) before its window shows.
struct ConnectedUtility {
  uidriver::Process process;
  HWND window = nullptr;
  Message connectMessage;
};
ConnectedUtility StartConnected(const std::string& printerName);

// The port settings dialog has no caption: it is the process's visible dialog that holds the
// Ethernet radio button.
HWND WaitForPortSettingsDialog(DWORD processId, DWORD timeoutMs = kOperationWaitMs);
// Chooses Ethernet and types the address and TCP port, as a user does; does not press OK.
void ChooseEthernet(HWND portDialog, BYTE a, BYTE b, BYTE c, BYTE d, unsigned tcpPort);

// WM_SETTEXT into an edit control, as typing the whole text would leave it.
void TypeText(HWND edit, const std::string& text);

// The standard open and save dialogs: waits for the dialog titled `title`, types `fileName`
// into its file name box and presses OK. Returns once the dialog has taken the name (it may
// still ask before it closes, as on overwriting).
HWND WaitForFileDialog(DWORD processId, const std::string& title, DWORD timeoutMs = kOperationWaitMs);
void ChooseFileName(HWND fileDialog, const std::string& fileName);

// The simulator's state file: one key=value per line, rewritten whole after every change.
using SimulatorState = std::map<std::string, std::string>;
SimulatorState ReadSimulatorState();
// Waits until the state shows `key` with `value`; returns that state.
SimulatorState WaitForSimulatorValue(const std::string& key, const std::string& value, DWORD timeoutMs);

std::vector<BYTE> ReadWholeFile(const std::string& path);
// The names in a folder, "." and ".." left out; empty when the folder cannot be listed.
std::vector<std::string> FolderEntries(const std::string& folder);
void WriteWholeFile(const std::string& path, const std::vector<BYTE>& bytes);

// Screenshots of the virtual display, cropped to a window's screen rectangle. The tool is
// scripts/take_screenshot.sh, a Unix program that Wine runs directly; CTest names it and the
// folder for the pictures (KIT_SCREENSHOT_TOOL, KIT_SCREENSHOT_DIR).
bool ScreenshotsConfigured();
// Saves <KIT_SCREENSHOT_DIR>/<name>.png, or `unixPath` when given; throws when no picture came.
void TakeScreenshot(HWND window, const std::string& name, const std::string& unixPath = "");

// A Unix path as Wine's drive Z: shows it.
std::string WindowsPathOfUnix(const std::string& unixPath);

// Lets the program paint what it has just changed: a window that has not yet handled its
// paint messages would be caught half-drawn.
void LetWindowSettle(HWND window);

}  // namespace utility
