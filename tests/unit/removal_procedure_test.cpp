// The removal procedure on virtual time: the Windows version classes, the uninstaller
// variant's partial and full removals with their steps, waits and order, the module failures,
// the INF files it deletes, the restart prompt's two answers, and the installer variant's
// differences.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/os_codes.h"
#include "tests/fakes/fake_device_setup.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_print_admin.h"
#include "tests/fakes/fake_registry.h"
#include "tests/fakes/fake_registry_security.h"
#include "tests/fakes/fake_spooler.h"
#include "tests/fakes/fake_system_services.h"
#include "tests/fakes/fake_uninstall_dialog_view.h"
#include "tests/fakes/journal_clock.h"
#include "uninstaller/removal_procedure/removal_procedure.h"
#include "uninstaller/restart/restart.h"

namespace {

using removal::OsClass;
using removal::RemovalOutcome;
using Strings = std::vector<std::string>;

constexpr auto kMachine = platform::RegistryRoot::LocalMachine;
const std::string kX86 = "Windows NT x86";
const std::string kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KELVO_HRX-410";
const std::string kPerPrinter = "SOFTWARE\\KELVO_POS_PRINTER\\";
const std::string kClassKey = "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E979-E325-11CE-BFC1-08002BE10318}";
const std::string kUsbPrintKey = "SYSTEM\\CurrentControlSet\\Enum\\USBPRINT\\KELVO_HRX-410";
const std::string kLptEnumKey = "SYSTEM\\CurrentControlSet\\Enum\\LPTENUM\\KELVO_HRX-410";
const std::string kDrivers = "C:\\WINDOWS\\System32\\spool\\DRIVERS\\W32X86";
const std::string kDriverFolder = kDrivers + "\\kelvo_hrx_4102d39";
const std::string kInfFile = "C:\\WINDOWS\\inf\\oem12.inf";
const std::string kRestartBox =
    std::string("box KELVO HRX-410 uninstaller|") + removal::kRestartPromptText + "|0x24";

platform::OsVersion Version(std::uint32_t platformId, std::uint32_t major, std::uint32_t minor) {
  platform::OsVersion version;
  version.platformId = platformId;
  version.majorVersion = major;
  version.minorVersion = minor;
  return version;
}
const platform::OsVersion kXp = Version(2, 5, 1);
const platform::OsVersion kVista = Version(2, 6, 0);
const platform::OsVersion kWin98 = Version(1, 4, 10);
const platform::OsVersion kNt4 = Version(2, 4, 0);

bool Has(const Strings& log, const std::string& entry) {
  return std::find(log.begin(), log.end(), entry) != log.end();
}

std::string Dump(const Strings& log) {
  std::string text;
  for (const std::string& entry : log) text += "  " + entry + "\n";
  return text;
}

// Every expected entry appears in the journal, each after the one before.
::testing::AssertionResult InOrder(const Strings& journal, const Strings& expected) {
  auto at = journal.begin();
  for (const std::string& entry : expected) {
    auto found = std::find(at, journal.end(), entry);
    if (found == journal.end()) {
      return ::testing::AssertionFailure() << "\"" << entry << "\" missing or out of order in:\n" << Dump(journal);
    }
    at = found + 1;
  }
  return ::testing::AssertionSuccess();
}

// A machine with the driver package installed: the driver, its uninstall entry with the OEM
// INF copy's path, a class key, an OEM INF with the model's line, a USB device, the device
// keys, the driver folder; both removal modules beside the program; every call journaled.
struct Rig {
  Rig() : view(journal), clock(journal) {
    spooler.journal = registry.journal = setup.journal = files.journal = system.journal = security.journal = &journal;
    view.step = 30;  // as the uninstaller's dialog sets its bar up
    system.version = kXp;
    system.modules = {{"CleanNT5.DLL", {"RemoveFromWin2k"}}, {"CleanNT6.DLL", {"RemoveFromVISTA"}}};
    system.errorTexts[5] = "Access is denied.\r\n";
    // What the module does that the procedure relies on: the uninstall entry goes with it.
    system.onCall = [this](const std::string&, const std::string&, const std::string&) {
      registry.DeleteTree(kMachine, kUninstallKey);
    };

    spooler.drivers = {kX86 + "|KELVO HRX-410"};
    registry.SetString(kMachine, kUninstallKey, "InfFile", kInfFile);
    files.AddFile(kInfFile);
    files.AddFile("C:\\WINDOWS\\inf\\oem12.PNF");
    registry.SetString(kMachine, kClassKey + "\\0003", "DriverDesc", "KELVO HRX-410");
    registry.SetString(kMachine, kClassKey + "\\0003", "InfPath", "oem3.inf");
    files.AddFile("C:\\WINDOWS\\inf\\oem3.inf");
    files.AddFile("C:\\WINDOWS\\inf\\oem3.PNF");
    setup.infFiles = {"oem3.inf", "oem5.inf"};
    setup.infLines["oem5.inf"] = {"KELVO|KELVO HRX-410"};
    files.AddFile("C:\\WINDOWS\\inf\\oem5.inf");
    files.AddFile("C:\\WINDOWS\\inf\\oem5.PNF");
    setup.AddDevice("USB\\VID_3C17&PID_0006\\5&1", {"USB\\Vid_3C17&Pid_0006&Rev_0100"});
    for (const std::string& key : {kUsbPrintKey, kLptEnumKey}) {
      registry.AddKey(kMachine, key + "\\Device Parameters");
      security.AddKey("\\\\FRONTDESK", platform::PredefinedKey::LocalMachine, key);
    }
    security.reachableComputers = {"\\\\FRONTDESK"};
    files.AddFile(kDriverFolder + "\\HRX410E.dll", platform::kFileAttributeReadOnly);
    files.AddFile(kDrivers + "\\beside.dll");
  }

  // Printers of the model as both spooler seams see them, each with its per-printer key.
  void AddModelPrinters(const Strings& names, const std::string& driver = "KELVO HRX-410") {
    for (const std::string& name : names) {
      spooler.printers.insert(name);
      printers.AddPrinter(name, "USB001", driver);
      std::string key = name;
      std::replace(key.begin(), key.end(), ' ', '_');
      registry.AddKey(kMachine, kPerPrinter + key);
    }
  }
  bool HasPrinterKey(std::string name) const {
    std::replace(name.begin(), name.end(), ' ', '_');
    return registry.HasKey(kMachine, kPerPrinter + name);
  }

  RemovalOutcome Uninstall(const Strings& checked, std::size_t initialCount) {
    return removal::RunUninstallerRemoval(view, services, checked, initialCount);
  }
  RemovalOutcome Install() { return removal::RunInstallerRemoval(view, services); }

  // Entries of one kind only, e.g. the statuses.
  Strings Entries(const std::string& prefix) const {
    Strings found;
    for (const std::string& entry : journal)
      if (entry.rfind(prefix, 0) == 0) found.push_back(entry);
    return found;
  }

  Strings journal;
  fakes::FakeUninstallDialogView view;
  fakes::FakeSpooler printers;
  fakes::FakePrintAdmin spooler;
  fakes::FakeRegistry registry;
  fakes::FakeRegistrySecurity security;
  fakes::FakeDeviceSetup setup;
  fakes::FakeFileSystem files;
  fakes::FakeSystemServices system;
  fakes::JournalClock clock;
  removal::RemovalProcedureServices services{printers, spooler, registry, security, setup, files, system, clock};
};

// ---- Windows version classes ----

TEST(OsClass, ClassifiesByPlatformAndVersion) {
  struct Row {
    const char* name;
    platform::OsVersion version;
    OsClass expected;
  } rows[] = {
      {"95", Version(1, 4, 0), OsClass::OsTooOld},
      {"98", Version(1, 4, 10), OsClass::OsTooOld},
      {"Me", Version(1, 4, 90), OsClass::OsTooOld},
      {"9x of an unknown version", Version(1, 4, 20), OsClass::OsNt6},
      {"NT 3.51", Version(2, 3, 51), OsClass::OsTooOld},
      {"NT 4", Version(2, 4, 0), OsClass::OsTooOld},
      {"2000", Version(2, 5, 0), OsClass::OsNt5},
      {"XP", Version(2, 5, 1), OsClass::OsNt5},
      {"Server 2003", Version(2, 5, 2), OsClass::OsNt5},
      {"NT 5.3", Version(2, 5, 3), OsClass::OsNt6},
      {"Vista", Version(2, 6, 0), OsClass::OsNt6},
      {"7", Version(2, 6, 1), OsClass::OsNt6},
      {"10", Version(2, 10, 0), OsClass::OsNt6},
      {"Win32s", Version(0, 3, 10), OsClass::OsNt6},
      {"another platform", Version(3, 5, 1), OsClass::OsNt6},
  };
  for (const Row& row : rows) EXPECT_EQ(removal::ClassifyOs(row.version), row.expected) << row.name;
}

TEST(OsClass, VersionQueryIsRepeatedOnceWhenItFails) {
  struct Row {
    int failures;
    OsClass expected;
  } rows[] = {
      {0, OsClass::OsNt5},
      {1, OsClass::OsNt5},  // the second call gives XP
      {2, OsClass::OsNt6},  // no third call: the empty record is classified
  };
  for (const Row& row : rows) {
    fakes::FakeSystemServices system;
    system.version = kXp;
    system.versionFailures = row.failures;
    EXPECT_EQ(removal::ReadOsClass(system), row.expected) << row.failures;
    EXPECT_EQ(std::count(system.log.begin(), system.log.end(), "version"), row.failures == 0 ? 1 : 2) << row.failures;
  }
}

// ---- Uninstaller variant ----

TEST(UninstallerRemoval, SomePrintersCheckedDeletesOnlyThemAndLeavesTheDriver) {
  Rig rig;
  rig.AddModelPrinters({"HRX Bar", "HRX Front Desk", "HRX Kitchen"});

  EXPECT_EQ(rig.Uninstall({"HRX Bar", "HRX Kitchen"}, 3), RemovalOutcome::Completed);

  EXPECT_EQ(rig.spooler.printers, std::set<std::string>{"HRX Front Desk"});
  EXPECT_FALSE(rig.HasPrinterKey("HRX Bar"));
  EXPECT_FALSE(rig.HasPrinterKey("HRX Kitchen"));
  EXPECT_TRUE(rig.HasPrinterKey("HRX Front Desk"));
  EXPECT_EQ(rig.spooler.drivers, std::set<std::string>{kX86 + "|KELVO HRX-410"});
  EXPECT_TRUE(rig.registry.HasKey(kMachine, kUninstallKey));
  EXPECT_TRUE(rig.files.Exists(kDriverFolder));
  EXPECT_TRUE(rig.files.Exists(kInfFile));
  EXPECT_FALSE(rig.setup.devices[0].removed);
  EXPECT_TRUE(rig.registry.HasKey(kMachine, kUsbPrintKey));
  EXPECT_TRUE(rig.system.profile.empty());
  // The module is loaded and freed, but not called.
  EXPECT_TRUE(InOrder(rig.journal, {"load CleanNT5.DLL", "find RemoveFromWin2k", "free CleanNT5.DLL"}));
  EXPECT_TRUE(rig.Entries("call ").empty());
  EXPECT_TRUE(rig.view.boxes.empty()) << "no restart prompt after a partial removal";
  EXPECT_EQ(rig.view.positions, (std::vector<int>{30, 60, 100}));
  EXPECT_EQ(rig.Entries("status "), (Strings{"status Checking OS...", "status Delete printers...",
                                             "status Uninstall completed!"}));
  EXPECT_TRUE(InOrder(rig.journal, {"cursor wait", "status Checking OS...", "step", "sleep 1000", "version",
                                    "status Delete printers...", "step", "sleep 1000",
                                    "open printer HRX Bar raw 0xf000c", "cursor arrow",
                                    "status Uninstall completed!", "position 100", "sleep 1000", "close"}));
  EXPECT_EQ(rig.journal.back(), "close");
}

TEST(UninstallerRemoval, FullRemovalRunsEveryStepInOrderForBothClasses) {
  struct Row {
    const char* name;
    platform::OsVersion version;
    Strings inOrder;
    Strings absent;
  } rows[] = {
      {"XP",
       kXp,
       {"cursor wait", "status Checking OS...", "step", "sleep 1000", "version", "load CleanNT5.DLL",
        "find RemoveFromWin2k", "status Delete printer driver...", "step", "sleep 1000",
        // The OEM INF copy named by the uninstall entry, read before the module deletes the entry.
        "delete " + kInfFile, "delete C:\\WINDOWS\\inf\\oem12.PNF", "call RemoveFromWin2k(HRX-410,E)",
        "delete C:\\WINDOWS\\inf\\oem3.inf", "delete C:\\WINDOWS\\inf\\oem3.PNF", "devices USB 0x4",
        "remove USB\\VID_3C17&PID_0006\\5&1", "computer name", "set dacl \\\\FRONTDESK\\HKLM\\" + kUsbPrintKey,
        "deletetree HKLM\\" + kUsbPrintKey, "set dacl \\\\FRONTDESK\\HKLM\\" + kLptEnumKey,
        "deletetree HKLM\\" + kLptEnumKey, "profile windows|DeviceNotSelectedTimeout=15",
        "profile windows|TransmissionRetryTimeout=90", "free CleanNT5.DLL", "inf list 0x2",
        "delete C:\\WINDOWS\\inf\\oem5.inf", "driver directory", "rmdir " + kDriverFolder, kRestartBox,
        "cursor arrow", "status Uninstall completed!", "position 100", "sleep 1000", "close"},
       {"status Delete printers..."}},
      {"Vista",
       kVista,
       {"cursor wait", "status Checking OS...", "step", "sleep 1000", "version", "load CleanNT6.DLL",
        "find RemoveFromVISTA", "status Delete printer driver...", "step", "sleep 1000",
        "call RemoveFromVISTA(HRX-410,E)", "devices USB 0x4", "remove USB\\VID_3C17&PID_0006\\5&1",
        "computer name", "deletetree HKLM\\" + kUsbPrintKey, "deletetree HKLM\\" + kLptEnumKey,
        "profile windows|DeviceNotSelectedTimeout=15", "profile windows|TransmissionRetryTimeout=90",
        "free CleanNT6.DLL", "rmdir " + kDriverFolder, kRestartBox, "cursor arrow",
        "status Uninstall completed!", "position 100", "sleep 1000", "close"},
       // No InfFile, class INF or OEM INF steps on this class.
       {"status Delete printers...", "delete " + kInfFile, "delete C:\\WINDOWS\\inf\\oem3.inf", "inf list 0x2"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Rig rig;
    rig.system.version = row.version;

    // No printer of the model at start-up, but the driver installed.
    EXPECT_EQ(rig.Uninstall({}, 0), RemovalOutcome::Completed);

    EXPECT_TRUE(InOrder(rig.journal, row.inOrder));
    for (const std::string& entry : row.absent) EXPECT_FALSE(Has(rig.journal, entry)) << entry;
    EXPECT_EQ(rig.view.positions, (std::vector<int>{30, 60, 100}));
    EXPECT_FALSE(rig.files.Exists(kDriverFolder));
    EXPECT_TRUE(rig.files.Exists(kDrivers + "\\beside.dll"));
    EXPECT_FALSE(rig.registry.HasKey(kMachine, kUsbPrintKey));
    EXPECT_FALSE(rig.registry.HasKey(kMachine, kLptEnumKey));
    EXPECT_EQ(rig.system.loadedModules, 0);
    EXPECT_EQ(rig.Entries("call ").size(), 1u);
    EXPECT_EQ(rig.security.liveKeys, 0);
  }
}

TEST(UninstallerRemoval, AllPrintersCheckedIsAFullRemoval) {
  Rig rig;
  rig.AddModelPrinters({"HRX A", "HRX B"});
  EXPECT_EQ(rig.Uninstall({"HRX A", "HRX B"}, 2), RemovalOutcome::Completed);
  EXPECT_TRUE(rig.spooler.printers.empty());
  EXPECT_TRUE(InOrder(rig.journal, {"status Checking OS...", "status Delete printers...", "delete printer HRX A",
                                    "delete printer HRX B", "status Delete printer driver...",
                                    "call RemoveFromWin2k(HRX-410,E)", kRestartBox, "close"}));
  // Three announced steps, then the end.
  EXPECT_EQ(rig.view.positions, (std::vector<int>{30, 60, 90, 100}));
}

TEST(UninstallerRemoval, TooOldWindowsOnlyChecksAndCompletes) {
  const platform::OsVersion versions[] = {Version(1, 4, 0), kWin98, Version(1, 4, 90), kNt4, Version(2, 3, 51)};
  for (const platform::OsVersion& version : versions) {
    SCOPED_TRACE(std::to_string(version.platformId) + ":" + std::to_string(version.majorVersion) + "." +
                 std::to_string(version.minorVersion));
    Rig rig;
    rig.system.version = version;
    rig.AddModelPrinters({"HRX A"});

    EXPECT_EQ(rig.Uninstall({"HRX A"}, 1), RemovalOutcome::Completed);

    Strings viewEntries;
    for (const std::string& entry : rig.journal)
      if (entry.rfind("sleep", 0) != 0 && entry != "version") viewEntries.push_back(entry);
    EXPECT_EQ(viewEntries, (Strings{"cursor wait", "status Checking OS...", "step", "status Uninstall completed!",
                                    "position 100", "close"}));
    EXPECT_EQ(rig.Entries("sleep "), (Strings{"sleep 1000", "sleep 1000"}));
    EXPECT_EQ(rig.spooler.printers, std::set<std::string>{"HRX A"});
    EXPECT_TRUE(rig.HasPrinterKey("HRX A"));
  }
}

TEST(RemovalModuleFailure, EndsTheProgramBeforeAnythingIsDeleted) {
  struct Row {
    const char* name;
    platform::OsVersion version;
    std::map<std::string, std::set<std::string>> modules;
    std::string text;
  } rows[] = {
      {"XP, module missing", kXp, {{"CleanNT6.DLL", {"RemoveFromVISTA"}}}, "Fail to load CleanNT5.DLL"},
      {"XP, export missing", kXp, {{"CleanNT5.DLL", {"RemoveFromVISTA"}}}, "Fail to load RemoveFromWin2k function"},
      {"Vista, module missing", kVista, {{"CleanNT5.DLL", {"RemoveFromWin2k"}}}, "Fail to load CleanNT6.DLL"},
      {"Vista, export missing", kVista, {{"CleanNT6.DLL", {}}}, "Fail to load RemoveFromVISTA function"},
  };
  for (const Row& row : rows) {
    for (const bool installer : {false, true}) {
      SCOPED_TRACE(std::string(row.name) + (installer ? ", installer" : ", uninstaller"));
      Rig rig;
      rig.system.version = row.version;
      rig.system.modules = row.modules;
      rig.AddModelPrinters({"HRX A", "HRX B"});

      const RemovalOutcome outcome = installer ? rig.Install() : rig.Uninstall({"HRX A", "HRX B"}, 2);

      EXPECT_EQ(outcome, RemovalOutcome::ProgramEnded);
      const std::string caption = installer ? "KELVO HRX-410 installer" : "KELVO HRX-410 uninstaller";
      ASSERT_EQ(rig.view.boxes.size(), 1u);
      EXPECT_EQ(rig.view.boxes[0].caption, caption);
      EXPECT_EQ(rig.view.boxes[0].text, row.text);
      EXPECT_EQ(rig.view.boxes[0].style, 0x30u);
      EXPECT_EQ(rig.journal.back(), "end 0");
      EXPECT_EQ(rig.system.loadedModules, 0);
      EXPECT_TRUE(rig.Entries("call ").empty());
      EXPECT_TRUE(rig.spooler.drivers.count(kX86 + "|KELVO HRX-410"));
      EXPECT_TRUE(rig.registry.HasKey(kMachine, kUninstallKey));
      EXPECT_TRUE(rig.files.Exists(kDriverFolder));
      EXPECT_TRUE(rig.Entries("rmdir ").empty());
      if (!installer) {
        // The uninstaller has not touched a printer yet; the installer deletes them first.
        EXPECT_EQ(rig.spooler.printers.size(), 2u);
        EXPECT_TRUE(rig.HasPrinterKey("HRX A"));
        EXPECT_FALSE(Has(rig.journal, "close"));
      }
    }
  }
}

TEST(UninstallerRemoval, DeletesTheInfOfEveryClassKeyWithItsPnf) {
  Rig rig;
  rig.setup.infFiles.clear();
  rig.registry.SetString(kMachine, kClassKey + "\\0007", "DriverDesc", "KELVO HRX-410");
  rig.registry.SetString(kMachine, kClassKey + "\\0007", "InfPath", "oem7.inf");
  rig.registry.SetString(kMachine, kClassKey + "\\0008", "DriverDesc", "Generic / Text Only");
  rig.registry.SetString(kMachine, kClassKey + "\\0008", "InfPath", "oem8.inf");
  for (const char* name : {"oem7.inf", "oem7.PNF", "oem8.inf", "oem8.PNF"}) rig.files.AddFile("C:\\WINDOWS\\inf\\" + std::string(name));

  rig.Uninstall({}, 0);

  for (const char* gone : {"oem3.inf", "oem3.PNF", "oem7.inf", "oem7.PNF"})
    EXPECT_FALSE(rig.files.Exists("C:\\WINDOWS\\inf\\" + std::string(gone))) << gone;
  for (const char* kept : {"oem8.inf", "oem8.PNF"})
    EXPECT_TRUE(rig.files.Exists("C:\\WINDOWS\\inf\\" + std::string(kept))) << kept;
}

TEST(UninstallerRemoval, InfFileValueAndTheSamePathEndingInPnfAreDeleted) {
  struct Row {
    const char* value;
    const char* precompiled;
  } rows[] = {
      {"C:\\WINDOWS\\inf\\oem12.inf", "C:\\WINDOWS\\inf\\oem12.PNF"},
      {"C:\\WINDOWS\\inf\\OEM9.INF", "C:\\WINDOWS\\inf\\OEM9.PNF"},
      {"D:\\Drivers\\HRX410.INF", "D:\\Drivers\\HRX410.PNF"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.value);
    Rig rig;
    rig.registry.SetString(kMachine, kUninstallKey, "InfFile", row.value);
    rig.files.AddFile(row.value);
    rig.files.AddFile(row.precompiled);
    rig.Uninstall({}, 0);
    EXPECT_FALSE(rig.files.Exists(row.value));
    EXPECT_FALSE(rig.files.Exists(row.precompiled));
    EXPECT_TRUE(InOrder(rig.journal, {"delete " + std::string(row.value), "delete " + std::string(row.precompiled),
                                      "call RemoveFromWin2k(HRX-410,E)"}));
  }
}

TEST(UninstallerRemoval, WithoutTheDriverDirectoryNoFolderIsDeleted) {
  Rig rig;
  rig.spooler.driverDirectoryError = platform::kErrorInvalidParameter;
  EXPECT_EQ(rig.Uninstall({}, 0), RemovalOutcome::Completed);
  EXPECT_TRUE(rig.Entries("rmdir ").empty());
  EXPECT_TRUE(rig.files.Exists(kDriverFolder));
  EXPECT_TRUE(Has(rig.journal, kRestartBox));
}

TEST(RestartPromptAfterRemoval, YesRestartsAndEndsNoCompletesAndCloses) {
  Rig yes;
  yes.view.answers = {platform::kIdYes};
  EXPECT_EQ(yes.Uninstall({}, 0), RemovalOutcome::ProgramEnded);
  EXPECT_TRUE(InOrder(yes.journal, {kRestartBox, "status Uninstall completed!", "sleep 1000", "exit windows 6 0",
                                    "end 0"}));
  EXPECT_EQ(yes.journal.back(), "end 0");
  EXPECT_FALSE(Has(yes.journal, "position 100")) << "the bar is not filled before a restart";
  EXPECT_FALSE(Has(yes.journal, "close"));

  Rig no;
  no.view.answers = {platform::kIdNo};
  EXPECT_EQ(no.Uninstall({}, 0), RemovalOutcome::Completed);
  EXPECT_TRUE(InOrder(no.journal, {kRestartBox, "cursor arrow", "status Uninstall completed!", "position 100",
                                   "sleep 1000", "close"}));
  EXPECT_FALSE(Has(no.journal, "exit windows 6 0"));
  EXPECT_FALSE(Has(no.journal, "end 0"));
}

// ---- Installer variant ----

TEST(InstallerRemoval, DeletesEveryPrinterOfTheModelAndTheDriverWithoutPrompting) {
  struct Row {
    const char* name;
    platform::OsVersion version;
    Strings inOrder;
    Strings absent;
  } rows[] = {
      {"XP",
       kXp,
       {"status Delete printers...", "step", "open printer HRX A raw 0xf000c", "delete printer HRX A",
        "deletetree HKLM\\" + kPerPrinter + "HRX_A", "delete printer HRX B", "status Preparing to remove...", "step",
        "sleep 1000", "version", "load CleanNT5.DLL", "find RemoveFromWin2k", "status Remove printer drivers...",
        "step", "sleep 1000", "delete " + kInfFile, "call RemoveFromWin2k(HRX-410,E)", "devices USB 0x4",
        "deletetree HKLM\\" + kUsbPrintKey, "deletetree HKLM\\" + kLptEnumKey,
        "profile windows|TransmissionRetryTimeout=90", "free CleanNT5.DLL", "inf list 0x2",
        "delete C:\\WINDOWS\\inf\\oem5.inf", "rmdir " + kDriverFolder, "status Uninstall completed!", "position 100",
        "sleep 1000"},
       // No class INF step.
       {"delete C:\\WINDOWS\\inf\\oem3.inf"}},
      {"Vista",
       kVista,
       {"status Delete printers...", "step", "delete printer HRX A", "delete printer HRX B",
        "status Preparing to remove...", "step", "sleep 1000", "load CleanNT6.DLL", "find RemoveFromVISTA",
        "status Remove printer driver...", "step", "sleep 1000", "call RemoveFromVISTA(HRX-410,E)",
        "deletetree HKLM\\" + kLptEnumKey, "profile windows|TransmissionRetryTimeout=90", "free CleanNT6.DLL",
        "rmdir " + kDriverFolder, "status Uninstall completed!", "position 100", "sleep 1000"},
       {"delete " + kInfFile, "inf list 0x2", "delete C:\\WINDOWS\\inf\\oem3.inf"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Rig rig;
    rig.view.step = 11;  // the installer's bar
    rig.system.version = row.version;
    rig.AddModelPrinters({"HRX A", "HRX B"});
    rig.AddModelPrinters({"Office Laser"}, "Generic Laser");
    rig.AddModelPrinters({"Lower Case"}, "kelvo hrx-410");

    EXPECT_EQ(rig.Install(), RemovalOutcome::Completed);

    EXPECT_TRUE(InOrder(rig.journal, row.inOrder));
    for (const std::string& entry : row.absent) EXPECT_FALSE(Has(rig.journal, entry)) << entry;
    EXPECT_EQ(rig.spooler.printers, (std::set<std::string>{"Lower Case", "Office Laser"}));
    EXPECT_TRUE(rig.HasPrinterKey("Office Laser"));
    EXPECT_FALSE(rig.HasPrinterKey("HRX B"));
    // "Delete printers..." has no pause: the first wait belongs to "Preparing to remove...".
    const auto firstSleep = std::find(rig.journal.begin(), rig.journal.end(), "sleep 1000");
    EXPECT_EQ(*(firstSleep - 2), "status Preparing to remove...");
    EXPECT_EQ(rig.view.positions, (std::vector<int>{11, 22, 33, 100}));
    EXPECT_TRUE(rig.view.boxes.empty()) << "no restart prompt";
    EXPECT_TRUE(rig.Entries("cursor").empty());
    EXPECT_FALSE(Has(rig.journal, "close"));
    EXPECT_EQ(rig.journal.back(), "sleep 1000") << "returns to its caller after the last pause";
  }
}

TEST(InstallerRemoval, FailingPrinterEnumerationEndsWithTheSystemText) {
  Rig rig;
  rig.printers.enumError = platform::kErrorAccessDenied;
  EXPECT_EQ(rig.Install(), RemovalOutcome::ProgramEnded);
  EXPECT_EQ(rig.journal, (Strings{"status Delete printers...", "step",
                                  "error text 5 1033",
                                  "box KELVO HRX-410 installer|EnumPrinters Error Code: 5\n\nAccess is denied.\r\n|0x30",
                                  "end 0"}));
}

TEST(InstallerRemoval, TooOldWindowsDeletesPrintersButNoDriver) {
  Rig rig;
  rig.system.version = kWin98;
  rig.AddModelPrinters({"HRX A"});
  EXPECT_EQ(rig.Install(), RemovalOutcome::Completed);
  EXPECT_EQ(rig.Entries("status "), (Strings{"status Delete printers...", "status Preparing to remove...",
                                             "status Uninstall completed!"}));
  EXPECT_TRUE(rig.Entries("load ").empty());
  EXPECT_TRUE(rig.spooler.drivers.count(kX86 + "|KELVO HRX-410"));
  EXPECT_TRUE(rig.files.Exists(kDriverFolder));
}

}  // namespace
