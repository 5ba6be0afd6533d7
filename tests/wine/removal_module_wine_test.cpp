// End-to-end tests of the removal modules under Wine: CleanNT6.dll and CleanNT5.dll are
// loaded by their bare names and their one export is called with "HRX-410" and "E" in a
// prefix that the test fills with the driver package: driver and printer, language monitor,
// print processor, driver files, the pre-installed INF and the uninstall entry.
//
// What Wine's spooler does not do, the unit tests cover: forms cannot be added here, a driver
// deletion with the module's flags is always refused (so the registry fallback is what removes
// the driver), and deleting a print processor reports success without removing it.
#include <windows.h>
#include <setupapi.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/wine/ui_driver.h"

namespace {

using Strings = std::vector<std::string>;
using RemovalExport = int(__stdcall*)(const char*, const char*);

const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KELVO_HRX-410";
const char kDriverName[] = "KELVO HRX-410";
const char kMonitorName[] = "KELVO Language Monitor HRX-410";
const char kProcessorName[] = "KELVO PRINT PROCESSOR HRX-410";
const char kPrintKey[] = "SYSTEM\\CurrentControlSet\\Control\\Print\\";
// Two waits of 2 and 4 seconds around the spooler restart.
constexpr DWORD kModuleWaitsMs = 6000;

std::string LastErrorText(const char* call) { return std::string(call) + " failed with " + std::to_string(GetLastError()); }

std::string BinDir() {
  const char* dir = std::getenv("KIT_BIN_DIR");
  return dir != nullptr ? dir : ".";
}

std::string ThisProgramsFolder() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string text(path, length);
  return text.substr(0, text.rfind('\\'));
}

using DirectoryCall = BOOL(WINAPI*)(LPSTR, LPSTR, DWORD, LPBYTE, DWORD, LPDWORD);
std::string SpoolerFolder(DirectoryCall call) {
  BYTE buffer[MAX_PATH] = {};
  DWORD needed = 0;
  if (!call(nullptr, nullptr, 1, buffer, sizeof(buffer), &needed)) throw std::runtime_error(LastErrorText("folder"));
  return reinterpret_cast<const char*>(buffer);
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

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void WriteTextFile(const std::string& path, const std::string& text) {
  uidriver::OwnedHandle file(
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_NE(file.get(), INVALID_HANDLE_VALUE) << LastErrorText(("CreateFileA " + path).c_str());
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr));
}

bool KeyExists(const std::string& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

Strings LocalDriverNames() {
  DWORD needed = 0, returned = 0;
  EnumPrinterDriversA(nullptr, nullptr, 1, nullptr, 0, &needed, &returned);
  std::vector<BYTE> buffer(needed + 1);
  if (!EnumPrinterDriversA(nullptr, nullptr, 1, buffer.data(), needed, &needed, &returned)) return {};
  Strings names;
  const auto* drivers = reinterpret_cast<const DRIVER_INFO_1A*>(buffer.data());
  for (DWORD i = 0; i < returned; ++i) names.push_back(drivers[i].pName);
  return names;
}

Strings MonitorNames() {
  DWORD needed = 0, returned = 0;
  EnumMonitorsA(nullptr, 1, nullptr, 0, &needed, &returned);
  std::vector<BYTE> buffer(needed + 1);
  if (!EnumMonitorsA(nullptr, 1, buffer.data(), needed, &needed, &returned)) return {};
  Strings names;
  const auto* monitors = reinterpret_cast<const MONITOR_INFO_1A*>(buffer.data());
  for (DWORD i = 0; i < returned; ++i) names.push_back(monitors[i].pName);
  return names;
}

bool Contains(const Strings& names, const std::string& name) {
  for (const std::string& n : names)
    if (n == name) return true;
  return false;
}

// The state of this prefix's Spooler service, polled on a thread while the module runs.
class SpoolerWatch {
 public:
  SpoolerWatch() {
    manager_ = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    service_ = manager_ ? OpenServiceA(manager_, "Spooler", SERVICE_QUERY_STATUS | SERVICE_START) : nullptr;
  }
  ~SpoolerWatch() {
    Stop();
    if (service_) CloseServiceHandle(service_);
    if (manager_) CloseServiceHandle(manager_);
  }
  bool Available() const { return service_ != nullptr; }
  // A fresh prefix starts its Spooler service only on demand: start it, so that the module's
  // stop can be seen.
  bool EnsureRunning() {
    if (State() != SERVICE_RUNNING) StartServiceA(service_, 0, nullptr);
    for (int i = 0; i < 500 && State() != SERVICE_RUNNING; ++i) Sleep(20);
    return State() == SERVICE_RUNNING;
  }
  DWORD State() const {
    SERVICE_STATUS status = {};
    return QueryServiceStatus(service_, &status) ? status.dwCurrentState : 0;
  }
  void Start() {
    stop_ = false;
    thread_ = uidriver::OwnedHandle(CreateThread(nullptr, 0, &SpoolerWatch::Poll, this, 0, nullptr));
  }
  void Stop() {
    if (thread_.get() == nullptr) return;
    stop_ = true;
    WaitForSingleObject(thread_.get(), 5000);
    thread_ = uidriver::OwnedHandle();
  }
  bool SawStopped() const { return sawStopped_; }

 private:
  static DWORD WINAPI Poll(void* self) {
    auto* watch = static_cast<SpoolerWatch*>(self);
    while (!watch->stop_) {
      if (watch->State() == SERVICE_STOPPED) watch->sawStopped_ = true;
      Sleep(20);
    }
    return 0;
  }

  SC_HANDLE manager_ = nullptr;
  SC_HANDLE service_ = nullptr;
  uidriver::OwnedHandle thread_;
  volatile bool stop_ = false;
  volatile bool sawStopped_ = false;
};

struct ModuleCase {
  const char* file;
  const char* exportName;
  bool uninstallsInf;
};

void PrintTo(const ModuleCase& c, std::ostream* out) { *out << c.file; }

class RemovalModuleTest : public ::testing::TestWithParam<ModuleCase> {
 protected:
  void SetUp() override {
    drivers_ = SpoolerFolder(GetPrinterDriverDirectoryA);
    processors_ = SpoolerFolder(GetPrintProcessorDirectoryA);
    windows_ = WindowsFolder();
    system_ = SystemFolder();
    InstallPackage();
  }

  // Whatever a case left installed goes, so that the next one starts from a clean spooler.
  void TearDown() override {
    HANDLE printer = nullptr;
    PRINTER_DEFAULTSA defaults = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (OpenPrinterA(const_cast<char*>(kDriverName), &printer, &defaults)) {
      DeletePrinter(printer);
      ClosePrinter(printer);
    }
    DeletePrinterDriverA(nullptr, nullptr, const_cast<char*>(kDriverName));
    DeleteMonitorA(nullptr, nullptr, const_cast<char*>(kMonitorName));
    for (const std::string& file : PackageFiles()) DeleteFileA(file.c_str());
    if (!inf_.empty()) DeleteFileA(inf_.c_str());
    uidriver::DeleteRegistryTree(HKEY_LOCAL_MACHINE, kUninstallKey);
  }

  Strings PackageFiles() const {
    const std::string v3 = drivers_ + "\\3\\";
    return {system_ + "\\HRMON410.DLL", processors_ + "\\HRPRO410.dll", v3 + "HRX410E.dll",
            windows_ + "\\HRX410E.dll", v3 + "HRX410E.GPD",            windows_ + "\\HRX410E.GPD",
            v3 + "HRX410E.BUD",         v3 + "HRUI410.dll",            windows_ + "\\HRUI410.dll",
            v3 + "HRUI410.INI",         windows_ + "\\HRUI410.INI"};
  }

  // What the installer leaves behind, as far as this spooler lets a test add it.
  void InstallPackage() {
    CreateDirectoryA((drivers_ + "\\3").c_str(), nullptr);
    for (const std::string& file : PackageFiles()) ASSERT_NO_FATAL_FAILURE(WriteTextFile(file, "placeholder"));

    ASSERT_TRUE(CopyFileA((ThisProgramsFolder() + "\\kit_test_language_monitor.dll").c_str(),
                          (system_ + "\\HRMON410.DLL").c_str(), FALSE))
        << LastErrorText("CopyFileA monitor");
    MONITOR_INFO_2A monitor = {const_cast<char*>(kMonitorName), nullptr, const_cast<char*>("HRMON410.DLL")};
    ASSERT_TRUE(AddMonitorA(nullptr, 2, reinterpret_cast<BYTE*>(&monitor))) << LastErrorText("AddMonitorA");

    std::string driverPath = drivers_ + "\\3\\HRX410E.dll", dataFile = drivers_ + "\\3\\HRX410E.GPD",
                configFile = drivers_ + "\\3\\HRUI410.dll";
    std::string dependent = std::string("HRX410E.BUD") + '\0' + "HRUI410.INI" + '\0' + '\0';
    DRIVER_INFO_3A driver = {};
    driver.cVersion = 3;
    driver.pName = const_cast<char*>(kDriverName);
    driver.pDriverPath = &driverPath[0];
    driver.pDataFile = &dataFile[0];
    driver.pConfigFile = &configFile[0];
    driver.pDependentFiles = &dependent[0];
    driver.pMonitorName = const_cast<char*>(kMonitorName);
    ASSERT_TRUE(AddPrinterDriverA(nullptr, 3, reinterpret_cast<BYTE*>(&driver))) << LastErrorText("AddPrinterDriverA");

    PRINTER_INFO_2A printer = {};
    printer.pPrinterName = const_cast<char*>(kDriverName);
    printer.pPortName = const_cast<char*>("FILE:");
    printer.pDriverName = const_cast<char*>(kDriverName);
    printer.pPrintProcessor = const_cast<char*>("WinPrint");
    printer.pDatatype = const_cast<char*>("RAW");
    HANDLE added = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&printer));
    ASSERT_NE(added, nullptr) << LastErrorText("AddPrinterA");
    ClosePrinter(added);

    // Wine never removes a print processor (see above), so a second case finds it installed.
    if (!AddPrintProcessorA(nullptr, nullptr, const_cast<char*>("HRPRO410.dll"), const_cast<char*>(kProcessorName))) {
      ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PRINT_PROCESSOR_ALREADY_INSTALLED))
          << LastErrorText("AddPrintProcessorA");
    }

    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string source = std::string(temp) + "HRX410.INF";
    ASSERT_NO_FATAL_FAILURE(WriteTextFile(source,
                                          "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Printer\r\n\r\n"
                                          "[KELVO]\r\n\"KELVO HRX-410\" = HRX410E.GPD\r\n"));
    char destination[MAX_PATH] = {};
    ASSERT_TRUE(SetupCopyOEMInfA(source.c_str(), nullptr, SPOST_PATH, 0, destination, MAX_PATH, nullptr, nullptr))
        << LastErrorText("SetupCopyOEMInfA");
    inf_ = destination;
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr), 0);
    RegSetValueExA(key, "InfFile", 0, REG_SZ, reinterpret_cast<const BYTE*>(inf_.c_str()),
                   static_cast<DWORD>(inf_.size() + 1));
    RegCloseKey(key);

    // The starting point the assertions afterwards compare with.
    ASSERT_TRUE(Contains(LocalDriverNames(), kDriverName));
    ASSERT_TRUE(Contains(MonitorNames(), kMonitorName));
    ASSERT_TRUE(KeyExists(std::string(kPrintKey) + "Printers\\" + kDriverName));
    ASSERT_TRUE(FileExists(inf_));
  }

  std::string drivers_, processors_, windows_, system_, inf_;
};

TEST_P(RemovalModuleTest, RemovesThePackageAndReportsTheUninstallKey) {
  const ModuleCase& module = GetParam();
  HMODULE library = LoadLibraryA(module.file);  // by bare name, as the callers load it
  ASSERT_NE(library, nullptr) << LastErrorText("LoadLibraryA");
  std::unique_ptr<HINSTANCE__, BOOL(WINAPI*)(HMODULE)> owner(library, FreeLibrary);
  char loaded[MAX_PATH] = {};
  GetModuleFileNameA(library, loaded, MAX_PATH);
  EXPECT_EQ(std::string(loaded), BinDir() + "\\" + module.file);
  const auto remove = reinterpret_cast<RemovalExport>(reinterpret_cast<void (*)()>(GetProcAddress(library, module.exportName)));
  ASSERT_NE(remove, nullptr) << LastErrorText("GetProcAddress");

  SpoolerWatch spooler;
  ASSERT_TRUE(spooler.Available()) << "no Spooler service in this prefix";
  ASSERT_TRUE(spooler.EnsureRunning()) << LastErrorText("StartServiceA Spooler");
  spooler.Start();
  const DWORD started = GetTickCount();
  EXPECT_EQ(remove("HRX-410", "E"), 0);
  const DWORD elapsed = GetTickCount() - started;
  spooler.Stop();

  EXPECT_GE(elapsed, kModuleWaitsMs);
  // The restart went through this prefix's own service: stopped, then running again.
  EXPECT_TRUE(spooler.SawStopped());
  EXPECT_EQ(spooler.State(), static_cast<DWORD>(SERVICE_RUNNING));

  EXPECT_FALSE(Contains(LocalDriverNames(), kDriverName));
  EXPECT_FALSE(KeyExists(std::string(kPrintKey) + "Environments\\Windows x64\\Drivers\\Version-3\\" + kDriverName));
  EXPECT_FALSE(KeyExists(std::string(kPrintKey) + "Printers\\" + kDriverName));
  EXPECT_FALSE(Contains(MonitorNames(), kMonitorName));
  for (const std::string& file : PackageFiles()) EXPECT_FALSE(FileExists(file)) << file;
  EXPECT_EQ(FileExists(inf_), !module.uninstallsInf) << inf_;
  EXPECT_FALSE(KeyExists(kUninstallKey));

  // Nothing left to remove: the uninstall key's deletion now reports "not found".
  EXPECT_EQ(remove("HRX-410", "E"), ERROR_FILE_NOT_FOUND);
}

TEST_P(RemovalModuleTest, ModelTextTooShortRemovesNothing) {
  HMODULE library = LoadLibraryA(GetParam().file);
  ASSERT_NE(library, nullptr) << LastErrorText("LoadLibraryA");
  std::unique_ptr<HINSTANCE__, BOOL(WINAPI*)(HMODULE)> owner(library, FreeLibrary);
  const auto remove =
      reinterpret_cast<RemovalExport>(reinterpret_cast<void (*)()>(GetProcAddress(library, GetParam().exportName)));
  ASSERT_NE(remove, nullptr);

  EXPECT_EQ(remove("HRX", "E"), ERROR_INVALID_PARAMETER);
  EXPECT_TRUE(Contains(LocalDriverNames(), kDriverName));
  for (const std::string& file : PackageFiles()) EXPECT_TRUE(FileExists(file)) << file;
  EXPECT_TRUE(KeyExists(kUninstallKey));
}

const ModuleCase kModules[] = {
    {"CleanNT6.dll", "RemoveFromVISTA", true},
    {"CleanNT5.dll", "RemoveFromWin2k", false},
};

INSTANTIATE_TEST_SUITE_P(BothModules, RemovalModuleTest, ::testing::ValuesIn(kModules),
                         [](const ::testing::TestParamInfo<ModuleCase>& info) {
                           return std::string(info.param.exportName);
                         });

}  // namespace
