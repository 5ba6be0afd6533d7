// Uninstall registration: the entry's four values stored without their zero, the replacement
// of an entry left behind, and the installation folder with the uninstaller and the modules.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "installer/uninstall_registration.h"
#include "platform/os_codes.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_registry.h"

namespace {

using Strings = std::vector<std::string>;

const platform::RegistryRoot kMachine = platform::RegistryRoot::LocalMachine;
constexpr char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KELVO_HRX-410";

struct Machine {
  Machine() {
    files.windowsDirectory = "C:\\WINDOWS";
    files.AddFolder("C:\\WINDOWS");
    for (const char* file : {"HRX410_Uninstaller.exe", "CleanNT5.dll", "CleanNT6.dll"})
      files.AddFileWithContent(file, std::string("shipped ") + file);
  }
  Strings SortedValueNames() const {
    Strings names = registry.ValueNames(kMachine, kUninstallKey);
    std::sort(names.begin(), names.end());
    return names;
  }
  fakes::FakeRegistry registry;
  fakes::FakeFileSystem files;
};

std::string Bytes(const platform::RegistryValue* value) {
  return value ? std::string(value->data.begin(), value->data.end()) : "<missing>";
}

TEST(RegisterUninstall, WritesExactlyFourTextValuesWithoutTheirZero) {
  struct Row {
    const char* name;
    std::string infPath;
  } rows[] = {{"INF in the store", "C:\\WINDOWS\\inf\\oem12.inf"}, {"INF copy gave no name", ""}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Machine machine;
    installer::RegisterUninstall(machine.registry, machine.files, row.infPath);

    EXPECT_EQ(machine.SortedValueNames(), (Strings{"DisplayName", "InfFile", "KELVO HRX-410", "UninstallString"}));
    struct Expected {
      const char* value;
      std::string text;
    } expected[] = {{"DisplayName", "KELVO HRX-410 Windows Driver V1.0.1E"},
                    {"KELVO HRX-410", ""},
                    {"UninstallString", "C:\\WINDOWS\\HRX-410\\HRX410_Uninstaller.exe"},
                    {"InfFile", row.infPath}};
    for (const Expected& value : expected) {
      const platform::RegistryValue* stored = machine.registry.Value(kMachine, kUninstallKey, value.value);
      ASSERT_NE(stored, nullptr) << value.value;
      EXPECT_EQ(stored->type, platform::kRegSz) << value.value;
      EXPECT_EQ(Bytes(stored), value.text) << value.value;  // the stored length is the text's
    }
    // What UninstallString names is there.
    EXPECT_EQ(machine.files.ContentOf("C:\\WINDOWS\\HRX-410\\HRX410_Uninstaller.exe"),
              "shipped HRX410_Uninstaller.exe");
  }
}

TEST(RegisterUninstall, ReplacesAnEntryLeftBehind) {
  Machine machine;
  machine.registry.SetString(kMachine, kUninstallKey, "DisplayName", "KELVO HRX-410 Windows Driver V1.0.0E");
  machine.registry.SetString(kMachine, kUninstallKey, "InfFile", "C:\\WINDOWS\\inf\\oem3.inf");
  machine.registry.SetString(kMachine, kUninstallKey, "DisplayIcon", "C:\\old.ico");

  installer::RegisterUninstall(machine.registry, machine.files, "C:\\WINDOWS\\inf\\oem12.inf");

  EXPECT_EQ(machine.SortedValueNames(), (Strings{"DisplayName", "InfFile", "KELVO HRX-410", "UninstallString"}));
  EXPECT_EQ(Bytes(machine.registry.Value(kMachine, kUninstallKey, "InfFile")), "C:\\WINDOWS\\inf\\oem12.inf");
  EXPECT_EQ(Bytes(machine.registry.Value(kMachine, kUninstallKey, "DisplayName")),
            "KELVO HRX-410 Windows Driver V1.0.1E");
  const Strings& log = machine.registry.log;
  const auto deleted = std::find(log.begin(), log.end(), std::string("deletekey HKLM\\") + kUninstallKey);
  const auto created = std::find(log.begin(), log.end(), std::string("create HKLM\\") + kUninstallKey);
  ASSERT_NE(deleted, log.end());
  EXPECT_LT(deleted, created);
}

// The removal modules go beside the uninstaller, which loads them by bare name. CleanW9x.dll
// is copied only when it ships; its absence stops nothing.
TEST(RegisterUninstall, CopiesTheUninstallerAndModulesIntoTheFolder) {
  {
    SCOPED_TRACE("CleanW9x.dll absent");
    Machine machine;
    installer::RegisterUninstall(machine.registry, machine.files, "");
    EXPECT_EQ(machine.files.PathsBelow("C:\\WINDOWS\\HRX-410"),
              (Strings{"C:\\WINDOWS\\HRX-410\\CleanNT5.dll", "C:\\WINDOWS\\HRX-410\\CleanNT6.dll",
                       "C:\\WINDOWS\\HRX-410\\HRX410_Uninstaller.exe"}));
  }
  {
    SCOPED_TRACE("folder and files there from an earlier installation");
    Machine machine;
    machine.files.AddFileWithContent("CleanW9x.dll", "shipped CleanW9x.dll");
    machine.files.AddFileWithContent("C:\\WINDOWS\\HRX-410\\CleanNT6.dll", "older CleanNT6.dll");
    installer::RegisterUninstall(machine.registry, machine.files, "");
    EXPECT_EQ(machine.files.ContentOf("C:\\WINDOWS\\HRX-410\\CleanNT6.dll"), "shipped CleanNT6.dll");
    EXPECT_EQ(machine.files.ContentOf("C:\\WINDOWS\\HRX-410\\CleanW9x.dll"), "shipped CleanW9x.dll");
    Strings copies;
    for (const std::string& line : machine.files.log)
      if (line.compare(0, 5, "copy ") == 0) copies.push_back(line);
    EXPECT_EQ(copies, (Strings{"copy HRX410_Uninstaller.exe -> C:\\WINDOWS\\HRX-410\\HRX410_Uninstaller.exe",
                               "copy CleanNT5.dll -> C:\\WINDOWS\\HRX-410\\CleanNT5.dll",
                               "copy CleanW9x.dll -> C:\\WINDOWS\\HRX-410\\CleanW9x.dll",
                               "copy CleanNT6.dll -> C:\\WINDOWS\\HRX-410\\CleanNT6.dll"}));
  }
}

}  // namespace
