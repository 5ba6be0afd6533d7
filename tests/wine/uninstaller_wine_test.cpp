// End-to-end tests of HRX410_Uninstaller.exe under Wine, with CleanNT5.dll and CleanNT6.dll
// beside it. The test fills the prefix with what an installation leaves (the driver, printers
// of the model and one of another driver with their per-printer keys, the uninstall entry
// with its OEM INF copy, a class key, the device keys, the driver folder, the spooler
// time-outs), makes Wine report Windows XP or Windows 98 to the uninstaller alone, and
// drives its dialog as a user would.
//
// A restart is never requested here (it would end every process of the prefix): the restart
// prompt is answered No, and Yes is covered by the unit tests. Which icon a box shows cannot
// be read from outside either; the unit tests check the styles.
#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/print_admin_win32.h"
#include "platform/win32/system_win32.h"
#include "tests/wine/ui_driver.h"

namespace {

using Strings = std::vector<std::string>;
using Entries = std::vector<std::pair<std::string, bool>>;

const char kCaption[] = "KELVO HRX-410 Uninstaller";
const char kBoxCaption[] = "KELVO HRX-410 uninstaller";
const char kNothingLeft[] = "HRX-410 Driver doesn't exist.\nUninstall aleady completed.";
const char kRestartText[] =
    "Restart the computer can take effect.\nPlease restart the computer."
    "\n\n[Yes] I want to restart my computer now.\n[No] I will restart my computer later.";
const char kDriverName[] = "KELVO HRX-410";
const char kOtherDriver[] = "Office Text Driver";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KELVO_HRX-410";
const char kPerPrinterRoot[] = "SOFTWARE\\KELVO_POS_PRINTER\\";
const char kUsbPrintKey[] = "SYSTEM\\CurrentControlSet\\Enum\\USBPRINT\\KELVO_HRX-410";
const char kClassKey[] = "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E979-E325-11CE-BFC1-08002BE10318}\\0099";
const char kProfileKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
const char kAppVersionKey[] = "Software\\Wine\\AppDefaults\\HRX410_Uninstaller.exe";

constexpr int kCheckList = 1006;
constexpr int kStatus = 1000;
constexpr int kProgress = 1002;
constexpr int kUninstall = 1001;
constexpr int kCancel = IDCANCEL;

// The module alone waits 6 s around its spooler restart; each announced step 1 s.
constexpr DWORD kRemovalMs = 60000;
constexpr DWORD kWindowMs = 15000;

std::string LastErrorText(const std::string& call) { return call + " failed with " + std::to_string(GetLastError()); }

std::string BinDir() {
  const char* dir = std::getenv("KIT_BIN_DIR");
  return dir != nullptr ? dir : ".";
}

std::string Uninstaller() { return BinDir() + "\\HRX410_Uninstaller.exe"; }

std::string DriverFolder() {
  BYTE buffer[MAX_PATH] = {};
  DWORD needed = 0;
  if (!GetPrinterDriverDirectoryA(nullptr, nullptr, 1, buffer, sizeof(buffer), &needed)) return "";
  return reinterpret_cast<const char*>(buffer);
}

std::string WindowsFolder() {
  char buffer[MAX_PATH] = {};
  GetWindowsDirectoryA(buffer, MAX_PATH);
  return buffer;
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void MakeFile(const std::string& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
  uidriver::OwnedHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr));
  ASSERT_NE(file.get(), INVALID_HANDLE_VALUE) << LastErrorText("CreateFileA " + path);
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(file.get(), "placeholder", 11, &written, nullptr));
}

bool KeyExists(HKEY root, const std::string& path) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
  std::unique_ptr<HKEY__, LONG(WINAPI*)(HKEY)> key(opened, RegCloseKey);
  return true;
}

void SetText(HKEY root, const std::string& path, const std::string& name, const std::string& text) {
  HKEY created = nullptr;
  ASSERT_EQ(RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &created, nullptr), ERROR_SUCCESS)
      << path;
  std::unique_ptr<HKEY__, LONG(WINAPI*)(HKEY)> key(created, RegCloseKey);
  ASSERT_EQ(RegSetValueExA(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                           static_cast<DWORD>(text.size() + 1)),
            ERROR_SUCCESS)
      << path << " " << name;
}

std::string TextValue(HKEY root, const std::string& path, const std::string& name) {
  uidriver::RegistryData data;
  if (!uidriver::ReadRegistryValue(root, path, name, data)) return "<none>";
  return std::string(reinterpret_cast<const char*>(data.bytes.data()));
}

Strings DriverNames() {
  DWORD needed = 0, returned = 0;
  EnumPrinterDriversA(nullptr, nullptr, 1, nullptr, 0, &needed, &returned);
  std::vector<BYTE> buffer(needed + 1);
  if (!EnumPrinterDriversA(nullptr, nullptr, 1, buffer.data(), needed, &needed, &returned)) return {};
  Strings names;
  const auto* drivers = reinterpret_cast<const DRIVER_INFO_1A*>(buffer.data());
  for (DWORD i = 0; i < returned; ++i) names.push_back(drivers[i].pName);
  return names;
}

// The local printers with their drivers, "NAME|DRIVER", in the spooler's order.
Strings PrintersWithDrivers() {
  DWORD needed = 0, returned = 0;
  EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &returned);
  std::vector<BYTE> buffer(needed + 1);
  if (!EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), needed, &needed, &returned)) return {};
  Strings printers;
  const auto* info = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
  for (DWORD i = 0; i < returned; ++i) printers.push_back(std::string(info[i].pPrinterName) + "|" + info[i].pDriverName);
  return printers;
}

bool Contains(const Strings& names, const std::string& name) {
  for (const std::string& n : names)
    if (n == name) return true;
  return false;
}

// ---- The check list, read and clicked from outside ----

LRESULT Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, uidriver::kMessageTimeoutMs, &result)) {
    throw uidriver::Win32Error("SendMessageTimeoutA " + std::to_string(message), GetLastError());
  }
  return static_cast<LRESULT>(result);
}

// LB_GETTEXT from another process. Wine hands an ANSI request for an owner-drawn list box's
// text across processes as wide characters (only the first letter arrives), so the text is
// asked for in its wide form and converted, as the list's own process would.
std::string EntryText(HWND list, int index) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(list, LB_GETTEXTLEN, index, 0, SMTO_ABORTIFHUNG, uidriver::kMessageTimeoutMs, &length) ||
      static_cast<LRESULT>(length) == LB_ERR) {
    throw uidriver::Win32Error("LB_GETTEXTLEN", GetLastError());
  }
  std::vector<wchar_t> wide(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(wide.data()), SMTO_ABORTIFHUNG,
                           uidriver::kMessageTimeoutMs, &copied)) {
    throw uidriver::Win32Error("LB_GETTEXT", GetLastError());
  }
  const int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, nullptr, 0, nullptr, nullptr);
  std::vector<char> text(static_cast<std::size_t>(bytes > 0 ? bytes : 1), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, text.data(), bytes, nullptr, nullptr);
  return text.data();
}

// The entries with their check states (the item data the list keeps for each).
Entries CheckListEntries(HWND list) {
  Entries entries;
  const LRESULT count = Ask(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    entries.emplace_back(EntryText(list, static_cast<int>(i)), Ask(list, LB_GETITEMDATA, i, 0) != 0);
  }
  return entries;
}

int IndexOfEntry(HWND list, const std::string& name) {
  const Entries entries = CheckListEntries(list);
  for (std::size_t i = 0; i < entries.size(); ++i)
    if (entries[i].first == name) return static_cast<int>(i);
  throw uidriver::RefusedError("no entry " + name + " in the check list");
}

// A left click on the entry's check box, as the mouse delivers it.
void ClickCheckBox(HWND list, const std::string& name) {
  if (!uidriver::IsEnabled(list)) throw uidriver::RefusedError("the check list is disabled");
  const int index = IndexOfEntry(list, name);
  const bool before = CheckListEntries(list)[static_cast<std::size_t>(index)].second;
  const int height = static_cast<int>(Ask(list, LB_GETITEMHEIGHT, 0, 0));
  const int top = static_cast<int>(Ask(list, LB_GETTOPINDEX, 0, 0));
  const LPARAM point = MAKELPARAM(height / 2, (index - top) * height + height / 2);
  PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
  PostMessageA(list, WM_LBUTTONUP, 0, point);
  uidriver::WaitUntil([&] { return CheckListEntries(list)[static_cast<std::size_t>(index)].second != before; },
                      5000, "the check box of " + name + " to change");
}

// Waits for the program to end and says whether it showed a message box on the way.
bool EndedWithoutMessageBox(uidriver::Process& process, DWORD timeoutMs) {
  bool sawBox = false;
  uidriver::WaitUntil(
      [&] {
        for (const uidriver::WindowInfo& window : uidriver::TopLevelWindows(process.Id()))
          if (window.visible && uidriver::IsMessageBox(window.handle)) sawBox = true;
        return process.HasExited();
      },
      timeoutMs, process.Name() + " to end");
  return !sawBox;
}

// One run of the uninstaller with its dialog.
struct UninstallerRun {
  UninstallerRun() : process(uidriver::Process::Launch(Uninstaller(), "", BinDir())) {}
  HWND Dialog() { return uidriver::WaitForTopLevelWindow(kCaption, process.Id(), kWindowMs); }

  uidriver::Process process;
};

class UninstallerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    drivers_ = DriverFolder();
    ASSERT_FALSE(drivers_.empty()) << LastErrorText("GetPrinterDriverDirectoryA");
    windows_ = WindowsFolder();
    ASSERT_NO_FATAL_FAILURE(InstallPackage());
  }

  void TearDown() override {
    for (const char* name : {"HRX Kitchen", "HRX Bar", "HRX Front Desk", "Office Text"}) DeletePrinterNamed(name);
    DeletePrinterDriverA(nullptr, nullptr, const_cast<char*>(kDriverName));
    DeletePrinterDriverA(nullptr, nullptr, const_cast<char*>(kOtherDriver));
    uidriver::DeleteRegistryTree(HKEY_LOCAL_MACHINE, kUninstallKey);
    uidriver::DeleteRegistryTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\KELVO_POS_PRINTER");
    uidriver::DeleteRegistryTree(HKEY_LOCAL_MACHINE, kClassKey);
    uidriver::DeleteRegistryTree(HKEY_LOCAL_MACHINE, kUsbPrintKey);
    uidriver::DeleteRegistryTree(HKEY_CURRENT_USER, kAppVersionKey);
  }

  static void DeletePrinterNamed(const char* name) {
    HANDLE opened = nullptr;
    PRINTER_DEFAULTSA defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (!OpenPrinterA(const_cast<char*>(name), &opened, &defaults)) return;
    std::unique_ptr<void, BOOL(WINAPI*)(HANDLE)> printer(opened, ClosePrinter);
    DeletePrinter(printer.get());
  }

  void AddDriver(const char* name) {
    std::string driverPath = drivers_ + "\\3\\HRX410E.dll", dataFile = drivers_ + "\\3\\HRX410E.GPD",
                configFile = drivers_ + "\\3\\HRUI410.dll";
    DRIVER_INFO_3A driver = {};
    driver.cVersion = 3;
    driver.pName = const_cast<char*>(name);
    driver.pDriverPath = &driverPath[0];
    driver.pDataFile = &dataFile[0];
    driver.pConfigFile = &configFile[0];
    ASSERT_TRUE(AddPrinterDriverA(nullptr, 3, reinterpret_cast<BYTE*>(&driver))) << LastErrorText("AddPrinterDriverA");
  }

  void AddTestPrinter(const char* name, const char* driver) {
    PRINTER_INFO_2A printer = {};
    printer.pPrinterName = const_cast<char*>(name);
    printer.pPortName = const_cast<char*>("FILE:");
    printer.pDriverName = const_cast<char*>(driver);
    printer.pPrintProcessor = const_cast<char*>("WinPrint");
    printer.pDatatype = const_cast<char*>("RAW");
    std::unique_ptr<void, BOOL(WINAPI*)(HANDLE)> added(AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&printer)),
                                                       ClosePrinter);
    ASSERT_NE(added, nullptr) << LastErrorText(std::string("AddPrinterA ") + name);
    std::string key = name;
    for (char& c : key)
      if (c == ' ') c = '_';
    ASSERT_NO_FATAL_FAILURE(SetText(HKEY_LOCAL_MACHINE, kPerPrinterRoot + key, "Port", "FILE:"));
  }

  // What an installation of the package leaves, as far as this spooler lets a test add it.
  void InstallPackage() {
    CreateDirectoryA((drivers_ + "\\3").c_str(), nullptr);
    for (const char* file : {"HRX410E.dll", "HRX410E.GPD", "HRUI410.dll"})
      ASSERT_NO_FATAL_FAILURE(MakeFile(drivers_ + "\\3\\" + file));
    ASSERT_NO_FATAL_FAILURE(AddDriver(kDriverName));
    ASSERT_NO_FATAL_FAILURE(AddDriver(kOtherDriver));
    // Added out of order: the list sorts.
    ASSERT_NO_FATAL_FAILURE(AddTestPrinter("HRX Kitchen", kDriverName));
    ASSERT_NO_FATAL_FAILURE(AddTestPrinter("Office Text", kOtherDriver));
    ASSERT_NO_FATAL_FAILURE(AddTestPrinter("HRX Bar", kDriverName));
    ASSERT_NO_FATAL_FAILURE(AddTestPrinter("HRX Front Desk", kDriverName));

    // The OEM INF copy the uninstall entry names, and the one a class key names.
    ASSERT_NO_FATAL_FAILURE(MakeFile(windows_ + "\\inf\\oem91.inf"));
    ASSERT_NO_FATAL_FAILURE(MakeFile(windows_ + "\\inf\\oem91.PNF"));
    ASSERT_NO_FATAL_FAILURE(MakeFile(windows_ + "\\inf\\oem92.inf"));
    ASSERT_NO_FATAL_FAILURE(MakeFile(windows_ + "\\inf\\oem92.PNF"));
    ASSERT_NO_FATAL_FAILURE(SetText(HKEY_LOCAL_MACHINE, kUninstallKey, "InfFile", windows_ + "\\inf\\oem91.inf"));
    ASSERT_NO_FATAL_FAILURE(SetText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName", "KELVO HRX-410"));
    ASSERT_NO_FATAL_FAILURE(SetText(HKEY_LOCAL_MACHINE, kClassKey, "DriverDesc", "KELVO HRX-410"));
    ASSERT_NO_FATAL_FAILURE(SetText(HKEY_LOCAL_MACHINE, kClassKey, "InfPath", "oem92.inf"));
    ASSERT_NO_FATAL_FAILURE(SetText(HKEY_LOCAL_MACHINE, std::string(kUsbPrintKey) + "\\USB001", "Class", "Printer"));

    CreateDirectoryA((drivers_ + "\\kelvo_hrx_4102d39").c_str(), nullptr);
    ASSERT_NO_FATAL_FAILURE(MakeFile(drivers_ + "\\kelvo_hrx_4102d39\\HRX410E.dll", FILE_ATTRIBUTE_READONLY));

    // What the installer sets and the removal restores.
    ASSERT_NO_FATAL_FAILURE(SetText(HKEY_CURRENT_USER, kProfileKey, "DeviceNotSelectedTimeout", "3"));
    ASSERT_NO_FATAL_FAILURE(SetText(HKEY_CURRENT_USER, kProfileKey, "TransmissionRetryTimeout", "3"));
  }

  // Makes Wine report this version to the uninstaller alone ("winxp", "win98").
  void ReportWindows(const char* version) {
    ASSERT_NO_FATAL_FAILURE(SetText(HKEY_CURRENT_USER, kAppVersionKey, "Version", version));
  }

  // Starts the uninstaller and waits for its list to show `count` entries.
  HWND StartAndList(UninstallerRun& run, std::size_t count) {
    HWND dialog = run.Dialog();
    HWND list = uidriver::Control(dialog, kCheckList);
    uidriver::WaitUntil([&] { return CheckListEntries(list).size() == count; }, kWindowMs,
                        std::to_string(count) + " printers in the check list");
    return dialog;
  }

  bool ModelPrinterLeft(const std::string& name) { return Contains(PrintersWithDrivers(), name + "|" + kDriverName); }
  bool PerPrinterKey(const std::string& key) { return KeyExists(HKEY_LOCAL_MACHINE, kPerPrinterRoot + key); }

  std::string drivers_, windows_;
};

TEST_F(UninstallerTest, WindowsXpRemovesChosenPrintersThenEverything) {
  ASSERT_NO_FATAL_FAILURE(ReportWindows("winxp"));

  {
    SCOPED_TRACE("first run: two of three printers");
    UninstallerRun run;
    HWND dialog = StartAndList(run, 3);
    HWND list = uidriver::Control(dialog, kCheckList);
    HWND uninstall = uidriver::Control(dialog, kUninstall);
    EXPECT_EQ(CheckListEntries(list),
              (Entries{{"HRX Bar", false}, {"HRX Front Desk", false}, {"HRX Kitchen", false}}));
    EXPECT_FALSE(uidriver::IsEnabled(uninstall));
    EXPECT_TRUE(uidriver::IsEnabled(uidriver::Control(dialog, kCancel)));
    EXPECT_EQ(uidriver::Text(uidriver::Control(dialog, kStatus)), "");
    EXPECT_EQ(uidriver::ProgressPosition(uidriver::Control(dialog, kProgress)), 0);

    // "Uninstall" follows the check boxes.
    ClickCheckBox(list, "HRX Kitchen");
    EXPECT_TRUE(uidriver::IsEnabled(uninstall));
    ClickCheckBox(list, "HRX Kitchen");
    EXPECT_FALSE(uidriver::IsEnabled(uninstall));
    ClickCheckBox(list, "HRX Bar");
    ClickCheckBox(list, "HRX Kitchen");
    EXPECT_EQ(CheckListEntries(list), (Entries{{"HRX Bar", true}, {"HRX Front Desk", false}, {"HRX Kitchen", true}}));
    ASSERT_TRUE(uidriver::IsEnabled(uninstall));

    uidriver::Click(uninstall);
    // A partial removal: no restart prompt, the dialog closes by itself.
    EXPECT_TRUE(EndedWithoutMessageBox(run.process, kRemovalMs));
    EXPECT_EQ(run.process.WaitForExitCode(kWindowMs), 0u);
    EXPECT_FALSE(ModelPrinterLeft("HRX Bar"));
    EXPECT_FALSE(ModelPrinterLeft("HRX Kitchen"));
    EXPECT_TRUE(ModelPrinterLeft("HRX Front Desk"));
    EXPECT_TRUE(Contains(PrintersWithDrivers(), std::string("Office Text|") + kOtherDriver));
    EXPECT_FALSE(PerPrinterKey("HRX_Bar"));
    EXPECT_FALSE(PerPrinterKey("HRX_Kitchen"));
    EXPECT_TRUE(PerPrinterKey("HRX_Front_Desk"));
    EXPECT_TRUE(Contains(DriverNames(), kDriverName));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_TRUE(FileExists(drivers_ + "\\kelvo_hrx_4102d39"));
    EXPECT_TRUE(FileExists(windows_ + "\\inf\\oem91.inf"));
  }

  {
    SCOPED_TRACE("second run: the last printer, and so the driver");
    UninstallerRun run;
    HWND dialog = StartAndList(run, 1);
    HWND list = uidriver::Control(dialog, kCheckList);
    EXPECT_EQ(CheckListEntries(list), (Entries{{"HRX Front Desk", false}}));
    ClickCheckBox(list, "HRX Front Desk");
    uidriver::Click(uidriver::Control(dialog, kUninstall));

    // The restart prompt comes after the driver's removal: the window waits behind it.
    const uidriver::MessageBoxInfo prompt = uidriver::WaitForMessageBox(run.process.Id(), kBoxCaption, kRemovalMs);
    EXPECT_EQ(prompt.text, kRestartText);
    EXPECT_EQ(uidriver::Text(uidriver::Control(dialog, kStatus)), "Delete printer driver...");
    EXPECT_EQ(uidriver::ProgressPosition(uidriver::Control(dialog, kProgress)), 90);
    EXPECT_FALSE(uidriver::IsEnabled(uidriver::Control(dialog, kCancel)));
    EXPECT_FALSE(uidriver::IsEnabled(uidriver::Control(dialog, kUninstall)));
    uidriver::AnswerMessageBox(prompt, IDNO, kWindowMs);
    EXPECT_EQ(run.process.WaitForExitCode(kRemovalMs), 0u);

    EXPECT_FALSE(ModelPrinterLeft("HRX Front Desk"));
    EXPECT_FALSE(PerPrinterKey("HRX_Front_Desk"));
    EXPECT_FALSE(Contains(DriverNames(), kDriverName)) << "CleanNT5's work";
    EXPECT_TRUE(Contains(DriverNames(), kOtherDriver));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    // The 2000/XP path: the OEM INF named by the uninstall entry and the class key's INF.
    for (const char* file : {"oem91.inf", "oem91.PNF", "oem92.inf", "oem92.PNF"})
      EXPECT_FALSE(FileExists(windows_ + "\\inf\\" + file)) << file;
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUsbPrintKey));
    EXPECT_FALSE(FileExists(drivers_ + "\\kelvo_hrx_4102d39"));
    EXPECT_EQ(TextValue(HKEY_CURRENT_USER, kProfileKey, "DeviceNotSelectedTimeout"), "15");
    EXPECT_EQ(TextValue(HKEY_CURRENT_USER, kProfileKey, "TransmissionRetryTimeout"), "90");
  }

  // Nothing left: the message, and the uninstall entry goes (here one left behind on purpose).
  ASSERT_NO_FATAL_FAILURE(SetText(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName", "KELVO HRX-410"));
  for (const char* name : {"third run", "fourth run"}) {
    SCOPED_TRACE(name);
    UninstallerRun run;
    const uidriver::MessageBoxInfo box = uidriver::WaitForMessageBox(run.process.Id(), kBoxCaption, kWindowMs);
    EXPECT_EQ(box.text, kNothingLeft);
    // The box may come up before the dialog has been shown: the enumeration runs on the
    // first timer tick, which can beat the dialog's first idle moment.
    HWND dialog = nullptr;
    for (const uidriver::WindowInfo& window : uidriver::TopLevelWindows(run.process.Id()))
      if (window.caption == kCaption) dialog = window.handle;
    ASSERT_NE(dialog, nullptr) << uidriver::DescribeTopLevelWindows(run.process.Id());
    EXPECT_TRUE(CheckListEntries(uidriver::Control(dialog, kCheckList)).empty());
    uidriver::AnswerMessageBox(box, IDOK, kWindowMs);
    EXPECT_EQ(run.process.WaitForExitCode(kWindowMs), 0u);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
  }
  EXPECT_TRUE(Contains(PrintersWithDrivers(), std::string("Office Text|") + kOtherDriver));
}

TEST_F(UninstallerTest, Windows98RemovesNothing) {
  ASSERT_NO_FATAL_FAILURE(ReportWindows("win98"));

  {
    SCOPED_TRACE("all printers chosen");
    UninstallerRun run;
    HWND dialog = StartAndList(run, 3);
    HWND list = uidriver::Control(dialog, kCheckList);
    for (const char* name : {"HRX Bar", "HRX Front Desk", "HRX Kitchen"}) ClickCheckBox(list, name);
    uidriver::Click(uidriver::Control(dialog, kUninstall));
    // "Checking OS...", then "Uninstall completed!": no restart prompt, the dialog closes.
    EXPECT_TRUE(EndedWithoutMessageBox(run.process, kWindowMs));
    EXPECT_EQ(run.process.WaitForExitCode(kWindowMs), 0u);
    for (const char* name : {"HRX Bar", "HRX Front Desk", "HRX Kitchen"}) EXPECT_TRUE(ModelPrinterLeft(name)) << name;
  }
  EXPECT_TRUE(Contains(DriverNames(), kDriverName));
  EXPECT_TRUE(PerPrinterKey("HRX_Bar"));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kUsbPrintKey));
  EXPECT_TRUE(FileExists(windows_ + "\\inf\\oem91.inf"));
  EXPECT_TRUE(FileExists(windows_ + "\\inf\\oem92.inf"));
  EXPECT_TRUE(FileExists(drivers_ + "\\kelvo_hrx_4102d39\\HRX410E.dll"));
  EXPECT_EQ(TextValue(HKEY_CURRENT_USER, kProfileKey, "DeviceNotSelectedTimeout"), "3");
}

// The adapters the uninstaller adds to the seams, on the real calls: a removal module by its
// bare name from the program's folder (the working directory here), its export looked up by
// name, the failures' codes, the system's text of a code, and the driver list.
TEST_F(UninstallerTest, AdaptersLoadTheModuleAndListTheDriver) {
  platform::Win32SystemServices system;
  std::unique_ptr<platform::LoadedModule> module;
  ASSERT_EQ(system.LoadModule("CleanNT5.DLL", module), 0);
  ASSERT_NE(module, nullptr);
  platform::TextPairFunction function;
  EXPECT_EQ(module->FindTextPairFunction("RemoveFromWin2k", function), 0);
  EXPECT_TRUE(static_cast<bool>(function));
  platform::TextPairFunction missing;
  EXPECT_EQ(module->FindTextPairFunction("RemoveFromVISTA", missing), ERROR_PROC_NOT_FOUND);
  EXPECT_FALSE(static_cast<bool>(missing));
  module.reset();

  std::unique_ptr<platform::LoadedModule> absent;
  EXPECT_EQ(system.LoadModule("CleanNT7.DLL", absent), ERROR_MOD_NOT_FOUND);
  EXPECT_EQ(absent, nullptr);

  // Wine's wording differs from Windows'; that there is one, in US English, is what counts.
  EXPECT_FALSE(system.ErrorText(ERROR_ACCESS_DENIED, 0x0409).empty());

  platform::Win32PrintAdmin spooler;
  std::vector<std::string> drivers;
  ASSERT_EQ(spooler.EnumDriverNames(drivers), 0);
  EXPECT_TRUE(Contains(drivers, kDriverName));
  EXPECT_TRUE(Contains(drivers, kOtherDriver));
}

}  // namespace
