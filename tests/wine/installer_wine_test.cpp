// End-to-end tests of HRX410_Installer.exe under Wine: the real installer started from its
// folder (with the demo driver package "driver2k", the uninstaller and the removal modules
// beside it, as the build lays them out), driven from outside as a user would. Wine set to
// report Windows 98 shows only the refusal; closing the port dialog cancels and installs
// nothing; "&Next" on LPT1 installs, and the uninstaller that the installer registered then
// removes the package again from the installation folder.
//
// The installer's thread blocks between its steps and handles no messages, so what it shows
// meanwhile is read without asking it: the status text from the window server, the progress
// bar from the screen. A restart is never allowed to happen: every restart question is
// answered No.
#include <windows.h>
#include <commctrl.h>
#include <setupapi.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tests/wine/ui_driver.h"

namespace {

using Strings = std::vector<std::string>;

const char kProgressCaption[] = "KELVO HRX-410 Installation Progress";
const char kPortCaption[] = "Select Port Type";
const char kInstallerCaption[] = "KELVO HRX-410 installer";
const char kUninstallerWindowCaption[] = "KELVO HRX-410 Uninstaller";
const char kUninstallerCaption[] = "KELVO HRX-410 uninstaller";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KELVO_HRX-410";
const char kAppDefaultsKey[] = "Software\\Wine\\AppDefaults\\HRX410_Installer.exe";
const char kDriverName[] = "KELVO HRX-410";
const char kMonitorName[] = "KELVO Language Monitor HRX-410";
const char kProcessorName[] = "KELVO PRINT PROCESSOR HRX-410";
const char kPrintKey[] = "SYSTEM\\CurrentControlSet\\Control\\Print";

constexpr int kProgressBar = 1000;
constexpr int kStatusText = 1003;
constexpr int kLpt1Button = 1007;
constexpr int kLpt2Button = 1010;
constexpr int kCheckList = 1006;
constexpr int kUninstallButton = 1001;

constexpr DWORD kWindowMs = 20000;
// How long after a new status text the bar is read, and after a box appears its text.
constexpr DWORD kPaintSettleMs = 100;
constexpr DWORD kBoxSettleMs = 300;
// The installation: eight steps of 500 ms and 2000 ms on "Completed!", with room.
constexpr DWORD kInstallMs = 30000;
// The removal: its steps of 1000 ms and the removal module's two waits of 2 and 4 seconds.
constexpr DWORD kRemovalMs = 60000;

std::string BinDir() {
  const char* dir = std::getenv("KIT_BIN_DIR");
  return dir != nullptr ? dir : ".";
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::string WindowsFolder() {
  char buffer[MAX_PATH] = {};
  GetWindowsDirectoryA(buffer, MAX_PATH);
  return buffer;
}

std::string SystemFolder() {
  char buffer[MAX_PATH] = {};
  GetSystemDirectoryA(buffer, MAX_PATH);
  return buffer;
}

using DirectoryCall = BOOL(WINAPI*)(LPSTR, LPSTR, DWORD, LPBYTE, DWORD, LPDWORD);
std::string SpoolerFolder(DirectoryCall call) {
  BYTE buffer[MAX_PATH] = {};
  DWORD needed = 0;
  if (!call(nullptr, nullptr, 1, buffer, sizeof(buffer), &needed)) return std::string();
  return reinterpret_cast<const char*>(buffer);
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool KeyExists(HKEY root, const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

// The stored text of a window or control, read from the window server: the installer's thread
// need not answer.
std::string StoredText(HWND window) {
  char text[512] = {};
  GetWindowTextA(window, text, sizeof(text));
  return text;
}

// ---- What the spooler holds ----

template <typename Record>
Strings Names(BOOL (*call)(BYTE*, DWORD, DWORD*, DWORD*)) {
  DWORD needed = 0, returned = 0;
  call(nullptr, 0, &needed, &returned);
  std::vector<BYTE> buffer(needed + 1);
  Strings names;
  if (!call(buffer.data(), needed, &needed, &returned)) return names;
  const auto* records = reinterpret_cast<const Record*>(buffer.data());
  for (DWORD i = 0; i < returned; ++i) names.push_back(records[i].pName ? records[i].pName : "");
  return names;
}

Strings DriverNames() {
  return Names<DRIVER_INFO_1A>([](BYTE* b, DWORD s, DWORD* n, DWORD* r) {
    return EnumPrinterDriversA(nullptr, nullptr, 1, b, s, n, r);
  });
}
Strings MonitorNames() {
  return Names<MONITOR_INFO_1A>([](BYTE* b, DWORD s, DWORD* n, DWORD* r) { return EnumMonitorsA(nullptr, 1, b, s, n, r); });
}
Strings ProcessorNames() {
  return Names<PRINTPROCESSOR_INFO_1A>([](BYTE* b, DWORD s, DWORD* n, DWORD* r) {
    return EnumPrintProcessorsA(nullptr, nullptr, 1, b, s, n, r);
  });
}

struct Printer {
  std::string name, port, driver, processor, datatype;
  DWORD attributes = 0;
};

std::vector<Printer> LocalPrinters() {
  DWORD needed = 0, returned = 0;
  EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &returned);
  std::vector<BYTE> buffer(needed + 1);
  std::vector<Printer> printers;
  if (!EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), needed, &needed, &returned)) return printers;
  const auto* records = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
  auto text = [](const char* s) { return std::string(s ? s : ""); };
  for (DWORD i = 0; i < returned; ++i) {
    printers.push_back({text(records[i].pPrinterName), text(records[i].pPortName), text(records[i].pDriverName),
                        text(records[i].pPrintProcessor), text(records[i].pDatatype), records[i].Attributes});
  }
  return printers;
}

bool Contains(const Strings& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// A printer data value as a 32-bit number; -1 when it cannot be read.
long long PrinterNumber(const std::string& printer, const std::string& value) {
  HANDLE handle = nullptr;
  std::string name = printer;
  if (!OpenPrinterA(&name[0], &handle, nullptr)) return -1;
  DWORD type = 0, number = 0, needed = 0;
  std::string valueName = value;
  const DWORD status = GetPrinterDataA(handle, &valueName[0], &type, reinterpret_cast<BYTE*>(&number),
                                       sizeof(number), &needed);
  ClosePrinter(handle);
  return status == ERROR_SUCCESS && type == REG_DWORD ? static_cast<long long>(number) : -1;
}

// ---- Registry values and what the prefix holds ----

// The value names of a key, and each value as text up to its first zero.
std::vector<std::pair<std::string, std::string>> TextValues(HKEY root, const std::string& path) {
  std::vector<std::pair<std::string, std::string>> values;
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return values;
  for (DWORD i = 0;; ++i) {
    char name[256] = {};
    DWORD nameLength = sizeof(name);
    BYTE data[1024] = {};
    DWORD dataLength = sizeof(data);
    DWORD type = 0;
    if (RegEnumValueA(key, i, name, &nameLength, nullptr, &type, data, &dataLength) != ERROR_SUCCESS) break;
    std::string text(reinterpret_cast<const char*>(data), dataLength);
    text = text.substr(0, text.find('\0'));
    values.emplace_back(name, type == REG_SZ ? text : "<type " + std::to_string(type) + ">");
  }
  RegCloseKey(key);
  std::sort(values.begin(), values.end());
  return values;
}

// Every file and folder below `folder`, lower case.
void CollectFiles(const std::string& folder, std::set<std::string>& paths) {
  WIN32_FIND_DATAA found = {};
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    const std::string path = folder + "\\" + name;
    paths.insert(Lower(path));
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
        (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
      CollectFiles(path, paths);
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

// Every key below `path` and each of its values, as "KEY" and "KEY|VALUE", lower case.
void CollectRegistry(HKEY root, const std::string& path, std::set<std::string>& entries) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  entries.insert(Lower(path));
  for (DWORD i = 0;; ++i) {
    char name[512] = {};
    DWORD length = sizeof(name);
    if (RegEnumValueA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    entries.insert(Lower(path + "|" + name));
  }
  Strings subkeys;
  for (DWORD i = 0;; ++i) {
    char name[512] = {};
    DWORD length = sizeof(name);
    if (RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    subkeys.push_back(name);
  }
  RegCloseKey(key);
  for (const std::string& subkey : subkeys) CollectRegistry(root, path + "\\" + subkey, entries);
}

// What the package can leave in a prefix: the Windows folder's files, the spooler's keys, the
// uninstall entries, the per-printer keys, the device keys and the profile section "windows".
std::set<std::string> PrefixState() {
  std::set<std::string> state;
  CollectFiles(WindowsFolder(), state);
  CollectRegistry(HKEY_LOCAL_MACHINE, kPrintKey, state);
  CollectRegistry(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall", state);
  CollectRegistry(HKEY_LOCAL_MACHINE, "SOFTWARE\\KELVO_POS_PRINTER", state);
  CollectRegistry(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Enum", state);
  CollectRegistry(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows", state);
  return state;
}

Strings Difference(const std::set<std::string>& a, const std::set<std::string>& b) {
  Strings only;
  std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(only));
  return only;
}

std::string Joined(const Strings& lines) {
  std::string text;
  for (const std::string& line : lines) text += "\n  " + line;
  return text;
}

// Whether the INF has the line the removal finds it by: key "KELVO HRX-410" in section "KELVO".
bool InfHasModelLine(const std::string& path) {
  HINF inf = SetupOpenInfFileA(path.c_str(), nullptr, INF_STYLE_WIN4 | INF_STYLE_OLDNT, nullptr);
  if (inf == INVALID_HANDLE_VALUE) return false;
  INFCONTEXT line = {};
  const bool found = SetupFindFirstLineA(inf, "KELVO", "KELVO HRX-410", &line) != FALSE;
  SetupCloseInfFile(inf);
  return found;
}

// ---- The windows ----

// The progress bar's position as drawn: the share of its inside in the bar's colour, read from
// the screen. -1 when the bar cannot be seen.
int DrawnProgress(HWND bar) {
  RECT inside = {};
  if (!GetClientRect(bar, &inside) || inside.right <= 2) return -1;
  POINT origin = {0, 0};
  ClientToScreen(bar, &origin);
  HDC screen = GetDC(nullptr);
  if (screen == nullptr) return -1;
  const COLORREF fill = GetSysColor(COLOR_HIGHLIGHT);
  const int y = origin.y + inside.bottom / 2;
  int filled = 0;
  for (int x = 0; x < inside.right; ++x)
    if (GetPixel(screen, origin.x + x, y) == fill) ++filled;
  ReleaseDC(nullptr, screen);
  return (filled * 100 + inside.right / 2) / inside.right;
}

// Whether a top-level window owned by `owner` is the box.
bool OwnedBy(HWND window, HWND owner) { return GetWindow(window, GW_OWNER) == owner; }

bool IsChecked(HWND button) {
  DWORD_PTR state = 0;
  SendMessageTimeoutA(button, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, uidriver::kMessageTimeoutMs, &state);
  return state == BST_CHECKED;
}

// The uninstaller's check list: entries read in their wide form (Wine passes an owner-drawn
// list box's text across processes as wide characters), checked by a click on the check box.
std::string EntryText(HWND list, int index) {
  DWORD_PTR length = 0;
  SendMessageTimeoutW(list, LB_GETTEXTLEN, index, 0, SMTO_ABORTIFHUNG, uidriver::kMessageTimeoutMs, &length);
  std::vector<wchar_t> wide(length + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(wide.data()), SMTO_ABORTIFHUNG,
                      uidriver::kMessageTimeoutMs, &copied);
  char text[512] = {};
  WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, text, sizeof(text), nullptr, nullptr);
  return text;
}

Strings CheckListEntries(HWND list) {
  DWORD_PTR count = 0;
  SendMessageTimeoutA(list, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, uidriver::kMessageTimeoutMs, &count);
  Strings entries;
  for (DWORD_PTR i = 0; i < count; ++i) entries.push_back(EntryText(list, static_cast<int>(i)));
  return entries;
}

bool IsEntryChecked(HWND list, int index) {
  DWORD_PTR data = 0;
  SendMessageTimeoutA(list, LB_GETITEMDATA, index, 0, SMTO_ABORTIFHUNG, uidriver::kMessageTimeoutMs, &data);
  return data != 0 && static_cast<LRESULT>(data) != LB_ERR;
}

void ClickCheckBox(HWND list, int index) {
  DWORD_PTR height = 0;
  SendMessageTimeoutA(list, LB_GETITEMHEIGHT, 0, 0, SMTO_ABORTIFHUNG, uidriver::kMessageTimeoutMs, &height);
  const LPARAM point = MAKELPARAM(height / 2, index * height + height / 2);
  PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
  PostMessageA(list, WM_LBUTTONUP, 0, point);
}

// A message box that follows a long blocking stretch (the installation's steps, the removal's):
// Wine counts a thread that has handled no message for 5 s as hung, and a query with
// SMTO_ABORTIFHUNG that reaches the box before its message loop has run fails at once. The box
// is read once its loop has surely started.
uidriver::MessageBoxInfo BoxAfterBlocking(const uidriver::Process& process, const std::string& caption, DWORD timeoutMs) {
  uidriver::WaitUntil(
      [&] {
        for (const uidriver::WindowInfo& window : uidriver::TopLevelWindows(process.Id()))
          if (window.visible && window.caption == caption && uidriver::IsMessageBox(window.handle)) return true;
        return false;
      },
      timeoutMs, "a box titled " + caption);
  Sleep(kBoxSettleMs);
  return uidriver::WaitForMessageBox(process.Id(), caption, kWindowMs);
}

using Steps = std::vector<std::pair<std::string, int>>;

// What the progress window showed: each status text as it appeared, with the bar as drawn at
// that moment, and whether a message box of the installer came.
struct Progress {
  Steps steps;
  bool sawBox = false;
};

// Follows the progress window until the installer shows a message box (untilBox) or ends.
Progress FollowProgress(uidriver::Process& installer, HWND progress, bool untilBox) {
  HWND status = uidriver::Control(progress, kStatusText);
  HWND bar = uidriver::Control(progress, kProgressBar);
  Progress seen;
  uidriver::WaitUntil(
      [&] {
        if (installer.HasExited()) return true;
        const std::string text = StoredText(status);
        if (!text.empty() && (seen.steps.empty() || seen.steps.back().first != text)) {
          // The text is set before the window is painted, and each step then stands still for
          // at least 500 ms: the bar is read once the painting is surely done.
          Sleep(kPaintSettleMs);
          seen.steps.emplace_back(text, DrawnProgress(bar));
        }
        for (const uidriver::WindowInfo& window : uidriver::TopLevelWindows(installer.Id())) {
          if (window.visible && window.caption == kInstallerCaption && uidriver::IsMessageBox(window.handle)) {
            seen.sawBox = true;
          }
        }
        return untilBox && seen.sawBox;
      },
      kInstallMs, untilBox ? "a box of the installer" : "the installer to end");
  return seen;
}

// The steps as the table has them; the bar read from the screen within a pixel's worth. Wine
// puts a window's drawing on the screen only when its program goes idle, or once it has not
// been idle for 50 ms: the first step comes right after the port dialog's message loop, so
// its bar may reach the screen only with the second step and read 0.
void ExpectSteps(const Steps& seen, const Steps& table) {
  std::string report;
  for (const auto& step : seen) report += "\n  " + step.first + " @" + std::to_string(step.second);
  ASSERT_EQ(seen.size(), table.size()) << "seen:" << report;
  for (std::size_t i = 0; i < table.size(); ++i) {
    EXPECT_EQ(seen[i].first, table[i].first);
    if (i == 0 && seen[i].second == 0) continue;
    EXPECT_NEAR(seen[i].second, table[i].second, 2) << seen[i].first << report;
  }
}

// ---- The dialog templates and pictures in the program's resources ----

// One control of a DLGTEMPLATE, with its class as a lower-case name ("button", "static", ...)
// and its text (an ordinal as "#<n>").
struct TemplateControl {
  std::string windowClass;
  int id;
  short x, y, cx, cy;
  std::string text;
  DWORD style;
};

struct DialogTemplate {
  DWORD style = 0;
  short cx = 0, cy = 0;
  std::string caption, font;
  WORD pointSize = 0;
  std::vector<TemplateControl> controls;
};

std::string Narrow(const WCHAR* text) {
  char narrow[512] = {};
  WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof(narrow), nullptr, nullptr);
  return narrow;
}

// A string or an ordinal of a template; moves `at` past it.
std::string NameOrOrdinal(const WORD*& at) {
  if (*at == 0xFFFF) {
    const WORD ordinal = at[1];
    at += 2;
    return "#" + std::to_string(ordinal);
  }
  const std::string text = Narrow(reinterpret_cast<const WCHAR*>(at));
  while (*at != 0) ++at;
  ++at;
  return text;
}

const WORD* AlignToDword(const WORD* at) {
  return reinterpret_cast<const WORD*>((reinterpret_cast<ULONG_PTR>(at) + 3) & ~static_cast<ULONG_PTR>(3));
}

// The dialog template `id` of the installer, as the program carries it.
DialogTemplate LoadTemplate(HMODULE program, int id) {
  DialogTemplate dialog;
  HRSRC found = FindResourceA(program, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));  // RT_DIALOG
  if (found == nullptr) return dialog;
  const auto* header = static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(program, found)));
  dialog.style = header->style;
  dialog.cx = header->cx;
  dialog.cy = header->cy;
  const WORD* at = reinterpret_cast<const WORD*>(header + 1);
  NameOrOrdinal(at);  // menu
  NameOrOrdinal(at);  // window class
  dialog.caption = NameOrOrdinal(at);
  if ((header->style & DS_SETFONT) != 0) {
    dialog.pointSize = *at++;
    dialog.font = NameOrOrdinal(at);
  }
  static const char* const kAtoms[] = {"Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox"};
  for (WORD i = 0; i < header->cdit; ++i) {
    const auto* item = reinterpret_cast<const DLGITEMTEMPLATE*>(AlignToDword(at));
    at = reinterpret_cast<const WORD*>(item + 1);
    std::string windowClass = NameOrOrdinal(at);
    if (windowClass.size() > 1 && windowClass[0] == '#') {
      const int atom = std::stoi(windowClass.substr(1));
      if (atom >= 0x80 && atom <= 0x85) windowClass = kAtoms[atom - 0x80];
    }
    windowClass = Lower(windowClass);  // window classes are named without regard to case
    const std::string text = NameOrOrdinal(at);
    const WORD extra = *at++;
    at = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(at) + extra);
    dialog.controls.push_back({windowClass, static_cast<short>(item->id), item->x, item->y, item->cx, item->cy,
                               text, item->style});
  }
  return dialog;
}

std::string Describe(const TemplateControl& c) {
  return c.windowClass + " " + std::to_string(c.id) + " (" + std::to_string(c.x) + ", " + std::to_string(c.y) + ", " +
         std::to_string(c.cx) + " x " + std::to_string(c.cy) + ") \"" + c.text + "\"";
}

Strings Described(const std::vector<TemplateControl>& controls) {
  Strings lines;
  for (const TemplateControl& control : controls) lines.push_back(Describe(control));
  return lines;
}

// The Windows version Wine reports to the installer, for as long as this lives; the next case
// finds the prefix's own again.
class ReportedWindows {
 public:
  explicit ReportedWindows(const std::string& version) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kAppDefaultsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) ==
        ERROR_SUCCESS) {
      RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version.c_str()),
                     static_cast<DWORD>(version.size() + 1));
      RegCloseKey(key);
    }
  }
  ~ReportedWindows() { uidriver::DeleteRegistryTree(HKEY_CURRENT_USER, kAppDefaultsKey); }
  ReportedWindows(const ReportedWindows&) = delete;
  ReportedWindows& operator=(const ReportedWindows&) = delete;
};

class InstallerTest : public ::testing::Test {
 protected:
  static uidriver::Process StartInstaller() {
    return uidriver::Process::Launch(BinDir() + "\\HRX410_Installer.exe", "", BinDir());
  }

  // Nothing of the package in the spooler and no uninstall entry: the state every case starts
  // from and the round trip ends in.
  static void ExpectNothingInstalled() {
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_FALSE(Contains(DriverNames(), kDriverName));
    EXPECT_FALSE(Contains(MonitorNames(), kMonitorName));
    for (const Printer& printer : LocalPrinters()) EXPECT_NE(printer.driver, kDriverName) << printer.name;
  }
};

// The two windows as the templates lay them out, in dialog units, and the artwork's sizes.
TEST(InstallerResources, TemplatesAndArtworkAreThoseOfTheProduct) {
  HMODULE program = LoadLibraryExA((BinDir() + "\\HRX410_Installer.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(program, nullptr);

  const DialogTemplate progress = LoadTemplate(program, 130);
  EXPECT_EQ(progress.caption, "KELVO HRX-410 Installation Progress");
  EXPECT_EQ(progress.font, "MS Sans Serif");
  EXPECT_EQ(progress.pointSize, 8);
  EXPECT_EQ(progress.cx, 373);
  EXPECT_EQ(progress.cy, 126);
  const DWORD frame = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
  EXPECT_EQ(progress.style & frame, frame);
  EXPECT_EQ(Described(progress.controls),
            (Strings{"button -1 (7, 7, 359 x 111) \"\"", "static -1 (13, 16, 101 x 93) \"#129\"",
                     "static -1 (157, 24, 129 x 8) \"KELVO HRX-410\"",
                     "static 1001 (157, 38, 133 x 8) \"Driver Version: V1.0.1E\"",
                     "button -1 (151, 60, 210 x 50) \"\"", "static -1 (159, 73, 55 x 8) \"Progress Status : \"",
                     "static 1003 (220, 74, 95 x 8) \"\"", "msctls_progress32 1000 (159, 89, 195 x 13) \"\""}));
  ASSERT_EQ(progress.controls.size(), 8u);
  EXPECT_EQ(progress.controls[1].style & SS_TYPEMASK, static_cast<DWORD>(SS_BITMAP));
  EXPECT_EQ(progress.controls[7].style & (PBS_SMOOTH | WS_BORDER), static_cast<DWORD>(PBS_SMOOTH | WS_BORDER));

  const DialogTemplate ports = LoadTemplate(program, 131);
  EXPECT_EQ(ports.caption, "Select Port Type");
  EXPECT_EQ(ports.font, "MS Sans Serif");
  EXPECT_EQ(ports.pointSize, 8);
  EXPECT_EQ(ports.cx, 224);
  EXPECT_EQ(ports.cy, 82);
  EXPECT_EQ(ports.style & frame, frame);
  // The radio buttons in the order of their selection index; no Cancel button.
  std::vector<TemplateControl> radios, others;
  for (const TemplateControl& control : ports.controls)
    ((control.style & 0xF) == BS_AUTORADIOBUTTON && control.windowClass == "button" ? radios : others).push_back(control);
  Strings radioLayout;
  for (const TemplateControl& radio : radios)
    radioLayout.push_back(radio.text + " " + std::to_string(radio.id) + " at " + std::to_string(radio.x) + ", " +
                          std::to_string(radio.y));
  EXPECT_EQ(radioLayout, (Strings{"COM1 1006 at 15, 23", "COM2 1008 at 15, 38", "COM3 1009 at 59, 23",
                                  "COM4 1011 at 59, 38", "LPT1 1007 at 119, 23", "LPT2 1010 at 119, 38",
                                  "USB 1001 at 174, 29"}));
  ASSERT_FALSE(radios.empty());
  EXPECT_NE(radios.front().style & WS_GROUP, 0u) << "the first button starts the group";
  EXPECT_EQ(Described(others),
            (Strings{"button -1 (7, 7, 100 x 51) \"Serial Port\"", "button -1 (109, 7, 56 x 51) \"Parallel Port\"",
                     "button -1 (167, 7, 50 x 51) \"USB Port\"", "button 1 (176, 61, 41 x 14) \"&Next\""}));
  EXPECT_EQ(others.back().style & 0xF, static_cast<DWORD>(BS_DEFPUSHBUTTON));

  // The picture and the icon's two images.
  HRSRC picture = FindResourceA(program, MAKEINTRESOURCEA(129), MAKEINTRESOURCEA(2));  // RT_BITMAP
  ASSERT_NE(picture, nullptr);
  const auto* bitmap = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(program, picture)));
  EXPECT_EQ(bitmap->biWidth, 157);
  EXPECT_EQ(bitmap->biHeight, 155);
  EXPECT_EQ(bitmap->biBitCount, 24);
  HRSRC group = FindResourceA(program, MAKEINTRESOURCEA(128), MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
  ASSERT_NE(group, nullptr);
  const auto* directory = static_cast<const WORD*>(LockResource(LoadResource(program, group)));
  Strings images;
  for (WORD i = 0; i < directory[2]; ++i) {
    const BYTE* entry = reinterpret_cast<const BYTE*>(directory + 3) + 14 * i;  // GRPICONDIRENTRY
    images.push_back(std::to_string(entry[0]) + "x" + std::to_string(entry[1]) + " " +
                     std::to_string(entry[6] | (entry[7] << 8)) + " bits");
  }
  EXPECT_EQ(images, (Strings{"32x32 24 bits", "16x16 24 bits"}));
  FreeLibrary(program);
}

// With Wine reporting Windows 98 the refusal is the only thing the installer shows.
TEST_F(InstallerTest, RefusesWindows98) {
  const ReportedWindows windows98("win98");
  uidriver::Process installer = StartInstaller();
  const uidriver::MessageBoxInfo box = uidriver::WaitForMessageBox(installer.Id(), kInstallerCaption, kWindowMs);
  EXPECT_EQ(box.text, "This driver doesn't supported for this OS!!");
  EXPECT_TRUE(OwnedBy(box.handle, uidriver::FindTopLevelWindow(kProgressCaption, installer.Id())));
  std::set<std::string> captions;
  for (const uidriver::WindowInfo& window : uidriver::TopLevelWindows(installer.Id()))
    if (window.visible) captions.insert(window.caption);
  EXPECT_EQ(captions, (std::set<std::string>{kProgressCaption, kInstallerCaption}));

  uidriver::AnswerMessageBox(box, IDOK, kWindowMs);
  EXPECT_EQ(installer.WaitForExitCode(kWindowMs), 0u);
  ExpectNothingInstalled();
  EXPECT_FALSE(FileExists(WindowsFolder() + "\\HRX-410"));
}

// The port dialog opens on LPT1; its close box cancels: "Install Cancled." and nothing installed.
TEST_F(InstallerTest, ClosingThePortDialogInstallsNothing) {
  uidriver::Process installer = StartInstaller();
  HWND ports = uidriver::WaitForTopLevelWindow(kPortCaption, installer.Id(), kWindowMs);
  EXPECT_TRUE(IsChecked(uidriver::Control(ports, kLpt1Button)));
  PostMessageA(ports, WM_SYSCOMMAND, SC_CLOSE, 0);

  const uidriver::MessageBoxInfo box = uidriver::WaitForMessageBox(installer.Id(), kInstallerCaption, kWindowMs);
  EXPECT_EQ(box.text, "Install Cancled.");
  EXPECT_TRUE(OwnedBy(box.handle, uidriver::FindTopLevelWindow(kProgressCaption, installer.Id())));
  uidriver::AnswerMessageBox(box, IDOK, kWindowMs);
  EXPECT_EQ(installer.WaitForExitCode(kWindowMs), 0u);
  ExpectNothingInstalled();
  EXPECT_FALSE(FileExists(WindowsFolder() + "\\HRX-410"));
}

// "&Next" on LPT1: the steps and the bar advance, the closing question is answered No, and the
// package, the printer, the uninstall entry and the installation folder are there. A second run
// adds a queue on LPT2. Then the uninstaller, started from the installation folder as Windows
// starts it, removes it all.
TEST_F(InstallerTest, InstallsOnLpt1AndTheUninstallerRemovesItAgain) {
  const std::set<std::string> before = PrefixState();
  const std::string windows = WindowsFolder();
  const std::string drivers = SpoolerFolder(GetPrinterDriverDirectoryA);
  const std::string processors = SpoolerFolder(GetPrintProcessorDirectoryA);

  uidriver::Process installer = StartInstaller();
  HWND ports = uidriver::WaitForTopLevelWindow(kPortCaption, installer.Id(), kWindowMs);
  ASSERT_TRUE(IsChecked(uidriver::Control(ports, kLpt1Button)));
  uidriver::Click(uidriver::Control(ports, IDOK));

  HWND progress = uidriver::FindTopLevelWindow(kProgressCaption, installer.Id());
  ASSERT_NE(progress, nullptr);
  const Progress seen = FollowProgress(installer, progress, true);
  ExpectSteps(seen.steps, {{"Check drivers...\r\n", 11},
                           {"Add printer...\r\n", 22},
                           {"Install language monitor...\r\n", 33},
                           {"Install print processor...\r\n", 44},
                           {"Copy files...\r\n", 55},
                           {"Install printer driver...\r\n", 66},
                           {"Install printer...\r\n", 77},
                           {"Delete installed files...\r\n", 88},
                           {"Completed!", 100}});
  ASSERT_TRUE(seen.sawBox) << "no closing box";
  const uidriver::MessageBoxInfo closing = BoxAfterBlocking(installer, kInstallerCaption, kWindowMs);
  EXPECT_EQ(uidriver::ProgressPosition(uidriver::Control(progress, kProgressBar)), 100);

  EXPECT_EQ(closing.text,
            "Restart the computer can take effect.\nPlease restart the computer.\n\n"
            "[Yes] I want to restart my computer now.\n[No] I will restart my computer later.");
  EXPECT_FALSE(OwnedBy(closing.handle, progress)) << "the closing box has no owner window";
  uidriver::AnswerMessageBox(closing, IDNO, kWindowMs);
  EXPECT_EQ(installer.WaitForExitCode(kWindowMs), 0u);

  // The uninstall entry: exactly its four values, pointing into the installation folder.
  const auto entry = TextValues(HKEY_LOCAL_MACHINE, kUninstallKey);
  ASSERT_EQ(entry.size(), 4u);
  EXPECT_EQ(entry[0], (std::pair<std::string, std::string>{"DisplayName", "KELVO HRX-410 Windows Driver V1.0.1E"}));
  EXPECT_EQ(entry[1].first, "InfFile");
  EXPECT_EQ(entry[2], (std::pair<std::string, std::string>{"KELVO HRX-410", ""}));
  EXPECT_EQ(entry[3], (std::pair<std::string, std::string>{"UninstallString", windows + "\\HRX-410\\HRX410_Uninstaller.exe"}));
  const std::string inf = entry[1].second;
  EXPECT_EQ(Lower(inf.substr(0, windows.size() + 5)), Lower(windows + "\\inf\\"));
  EXPECT_TRUE(InfHasModelLine(inf)) << inf;
  for (const char* file : {"HRX410_Uninstaller.exe", "CleanNT5.dll", "CleanNT6.dll"})
    EXPECT_TRUE(FileExists(windows + "\\HRX-410\\" + file)) << file;
  EXPECT_FALSE(FileExists(windows + "\\HRX-410\\CleanW9x.dll")) << "not shipped, so not copied";

  char timeout[16] = {};
  GetProfileStringA("windows", "DeviceNotSelectedTimeout", "", timeout, sizeof(timeout));
  EXPECT_STREQ(timeout, "3");
  GetProfileStringA("windows", "TransmissionRetryTimeout", "", timeout, sizeof(timeout));
  EXPECT_STREQ(timeout, "3");

  // What Wine's spooler holds of the package.
  EXPECT_TRUE(Contains(DriverNames(), kDriverName));
  EXPECT_TRUE(Contains(MonitorNames(), kMonitorName));
  EXPECT_TRUE(Contains(ProcessorNames(), kProcessorName));
  const std::vector<Printer> printers = LocalPrinters();
  const auto printer = std::find_if(printers.begin(), printers.end(), [](const Printer& p) { return p.name == kDriverName; });
  ASSERT_NE(printer, printers.end());
  EXPECT_EQ(printer->port, "LPT1:");
  EXPECT_EQ(printer->driver, kDriverName);
  EXPECT_EQ(printer->processor, kProcessorName);
  EXPECT_EQ(printer->datatype, "RAW");
  EXPECT_EQ(printer->attributes & 0x1800u, 0x1800u);
  EXPECT_EQ(PrinterNumber(kDriverName, "MajorVersion"), 1);
  EXPECT_EQ(PrinterNumber(kDriverName, "MinorVersion"), 0);
  EXPECT_EQ(PrinterNumber(kDriverName, "BuildVersion"), 1);
  EXPECT_EQ(PrinterNumber(kDriverName, "ExtraVersion"), 0);
  EXPECT_TRUE(FileExists(SystemFolder() + "\\HRMON410.DLL"));
  EXPECT_TRUE(FileExists(processors + "\\HRPRO410.DLL"));
  for (const char* file : {"HRX410E.DLL", "HRUI410.DLL", "HRUI410.INI", "HRX410E.GPD"})
    EXPECT_TRUE(FileExists(windows + "\\" + file)) << file;
  for (const char* file : {"UNIDRV.DLL", "HRX410E.GPD", "STDNAMES.GPD", "HRMON410.DLL", "HRPRO410.DLL"})
    EXPECT_FALSE(FileExists(drivers + "\\" + file)) << "staged " << file << " left in " << drivers;
  EXPECT_TRUE(FileExists(drivers + "\\3\\HRX410E.GPD")) << "the spooler took the staged files";

  // A second run finds this version on the printer and only adds the next queue, on LPT2,
  // without a box.
  uidriver::Process again = StartInstaller();
  HWND secondPorts = uidriver::WaitForTopLevelWindow(kPortCaption, again.Id(), kWindowMs);
  HWND lpt2 = uidriver::Control(secondPorts, kLpt2Button);
  uidriver::Click(lpt2);
  uidriver::WaitUntil([&] { return IsChecked(lpt2); }, kWindowMs, "LPT2 to be checked");
  uidriver::Click(uidriver::Control(secondPorts, IDOK));
  HWND secondProgress = uidriver::FindTopLevelWindow(kProgressCaption, again.Id());
  ASSERT_NE(secondProgress, nullptr) << uidriver::DescribeTopLevelWindows(again.Id()) << " exited " << again.HasExited();
  const Progress second = FollowProgress(again, secondProgress, false);
  ExpectSteps(second.steps,
              {{"Check drivers...\r\n", 11}, {"Add printer...\r\n", 22}, {"Install printer...\r\n", 33}, {"Completed!", 100}});
  EXPECT_FALSE(second.sawBox);
  EXPECT_EQ(again.WaitForExitCode(kWindowMs), 0u);
  const std::vector<Printer> queues = LocalPrinters();
  const auto added = std::find_if(queues.begin(), queues.end(), [](const Printer& p) { return p.name == "KELVO HRX-410(#1)"; });
  ASSERT_NE(added, queues.end());
  EXPECT_EQ(added->port, "LPT2:");
  EXPECT_EQ(added->driver, kDriverName);

  // The uninstaller from the installation folder, started elsewhere: it finds the removal
  // modules beside itself. Both queues checked: the whole package goes.
  uidriver::Process uninstaller =
      uidriver::Process::Launch(windows + "\\HRX-410\\HRX410_Uninstaller.exe", "", SystemFolder());
  HWND dialog = uidriver::WaitForTopLevelWindow(kUninstallerWindowCaption, uninstaller.Id(), kWindowMs);
  HWND list = uidriver::Control(dialog, kCheckList);
  uidriver::WaitUntil([&] { return CheckListEntries(list) == Strings{kDriverName, "KELVO HRX-410(#1)"}; }, kWindowMs,
                      "the two queues in the check list");
  HWND uninstall = uidriver::Control(dialog, kUninstallButton);
  for (int index : {0, 1}) {
    ClickCheckBox(list, index);
    uidriver::WaitUntil([&] { return IsEntryChecked(list, index); }, kWindowMs, "the check box to be checked");
  }
  EXPECT_TRUE(uidriver::IsEnabled(uninstall));
  uidriver::Click(uninstall);
  const uidriver::MessageBoxInfo restart = BoxAfterBlocking(uninstaller, kUninstallerCaption, kRemovalMs);
  EXPECT_EQ(restart.text.substr(0, 37), "Restart the computer can take effect.");
  uidriver::AnswerMessageBox(restart, IDNO, kWindowMs);
  EXPECT_EQ(uninstaller.WaitForExitCode(kWindowMs), 0u);

  ExpectNothingInstalled();
  EXPECT_FALSE(FileExists(inf)) << "the INF's copy in the store";
  GetProfileStringA("windows", "DeviceNotSelectedTimeout", "", timeout, sizeof(timeout));
  EXPECT_STREQ(timeout, "15");
  GetProfileStringA("windows", "TransmissionRetryTimeout", "", timeout, sizeof(timeout));
  EXPECT_STREQ(timeout, "90");

  // Everything else is as before, but for what stays by design: the installation folder with
  // the uninstaller and the modules, which nothing removes; the universal printer driver files
  // the spooler took into the driver folder's "3" (on Windows they are the system's own,
  // shared by every driver that uses them, and no removal deletes them); the two spooler
  // time-outs, set back to Windows' values rather than removed. And for what Wine keeps:
  // DeletePrintProcessorA reports success there without deleting, so the print processor stays
  // registered (its file is gone); SetupUninstallOEMInfA removes the INF's copy but not the
  // precompiled ".pnf" that Wine made of it.
  const std::string driverFolder = Lower(drivers);
  const std::string processorKey =
      Lower(std::string(kPrintKey) + "\\Environments\\Windows x64\\Print Processors\\" + kProcessorName);
  const std::string profileKey = "software\\microsoft\\windows nt\\currentversion\\windows";
  Strings expected = {Lower(windows + "\\HRX-410"),
                      Lower(windows + "\\HRX-410\\CleanNT5.dll"),
                      Lower(windows + "\\HRX-410\\CleanNT6.dll"),
                      Lower(windows + "\\HRX-410\\HRX410_Uninstaller.exe"),
                      driverFolder + "\\3\\stdnames.gpd",
                      driverFolder + "\\3\\unidrv.dll",
                      driverFolder + "\\3\\unidrv.hlp",
                      driverFolder + "\\3\\unidrvui.dll",
                      driverFolder + "\\3\\unires.dll",
                      profileKey,
                      profileKey + "|devicenotselectedtimeout",
                      profileKey + "|transmissionretrytimeout",
                      processorKey,
                      processorKey + "|driver",
                      Lower(inf.substr(0, inf.size() - 3) + "pnf")};
  std::sort(expected.begin(), expected.end());
  const std::set<std::string> after = PrefixState();
  EXPECT_EQ(Joined(Difference(after, before)), Joined(expected)) << "left in the prefix";
  EXPECT_EQ(Joined(Difference(before, after)), "") << "gone from the prefix";
}

}  // namespace
