// The removal modules' work: the names built from the model text and the file suffix, the
// eight steps in their order with the two waits, the fallbacks when the spooler refuses, what
// differs between the two builds, and the result.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/os_codes.h"
#include "removal_module/removal_module.h"
#include "tests/fakes/fake_device_setup.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_print_admin.h"
#include "tests/fakes/fake_registry.h"
#include "tests/fakes/fake_system_services.h"
#include "tests/fakes/journal_clock.h"

namespace {

using removal_module::ModuleBuild;
using Strings = std::vector<std::string>;

constexpr auto kMachine = platform::RegistryRoot::LocalMachine;
const std::string kX86 = "Windows NT x86";
const std::string kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KELVO_HRX-410";
const std::string kDriverKey =
    "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\Drivers\\Version-3\\KELVO HRX-410";
const std::string kPrinterKey = "SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\KELVO HRX-410";
const std::string kMonitorKey =
    "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\KELVO Language Monitor HRX-410";
const std::string kProcessorKey =
    "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows NT x86\\Print Processors\\"
    "KELVO PRINT PROCESSOR HRX-410";
const std::string kSystem = "C:\\WINDOWS\\system32";
const std::string kWindows = "C:\\WINDOWS";
const std::string kDrivers = "C:\\WINDOWS\\system32\\spool\\DRIVERS\\W32X86";
const std::string kProcessors = "C:\\WINDOWS\\system32\\spool\\PRTPROCS\\W32X86";

// A machine with the whole driver package of the HRX-410 installed, every call journaled.
struct Rig {
  Rig() : clock(journal) {
    spooler.journal = registry.journal = setup.journal = files.journal = system.journal = &journal;
    spooler.driverDirectory = kDrivers;
    spooler.processorDirectory = kProcessors;
    files.windowsDirectory = kWindows;
    files.systemDirectory = kSystem;

    spooler.forms = {"Receipt [410] 80mm", "[410]Label", "Letter", "Roll 410mm", "Ticket [410]", "[41O] typo"};
    spooler.drivers = {kX86 + "|KELVO HRX-410"};
    spooler.monitors = {kX86 + "|KELVO Language Monitor HRX-410"};
    spooler.processors = {kX86 + "|KELVO PRINT PROCESSOR HRX-410"};
    for (const std::string& key : {kDriverKey, kPrinterKey, kMonitorKey, kProcessorKey}) registry.AddKey(kMachine, key);
    registry.SetString(kMachine, kUninstallKey, "InfFile", "C:\\WINDOWS\\inf\\oem12.inf");
    registry.SetString(kMachine, kUninstallKey, "DisplayName", "KELVO HRX-410");
    setup.oemInfs = {"oem12.inf"};
    for (const std::string& file : PackageFiles()) files.AddFile(file);
    files.AddFile(kDrivers + "\\3\\OTHER.DLL");
    registry.log.clear();
  }

  static Strings PackageFiles() {
    return {kSystem + "\\HRMON410.DLL",     kProcessors + "\\HRPRO410.dll", kDrivers + "\\3\\HRX410E.dll",
            kWindows + "\\HRX410E.dll",     kDrivers + "\\3\\HRX410E.GPD",  kWindows + "\\HRX410E.GPD",
            kDrivers + "\\3\\HRX410E.BUD",  kDrivers + "\\3\\HRUI410.dll",  kWindows + "\\HRUI410.dll",
            kDrivers + "\\3\\HRUI410.INI",  kWindows + "\\HRUI410.INI"};
  }

  long Run(ModuleBuild build, const char* model = "HRX-410", const char* suffix = "E",
           const std::string& environment = kX86) {
    removal_module::RemovalServices services{spooler, registry, &setup, files, system, clock, environment};
    return removal_module::RemoveDriverPackage(build, services, model, suffix);
  }

  // The journal without the folder queries, whose order among themselves does not matter.
  Strings Steps() const {
    Strings steps;
    for (const std::string& entry : journal)
      if (entry.find("directory") == std::string::npos) steps.push_back(entry);
    return steps;
  }

  Strings journal;
  fakes::FakePrintAdmin spooler;
  fakes::FakeRegistry registry;
  fakes::FakeDeviceSetup setup;
  fakes::FakeFileSystem files;
  fakes::FakeSystemServices system;
  fakes::JournalClock clock;
};

Strings Deletions(const Strings& files) {
  Strings deletions;
  for (const std::string& file : files) deletions.push_back("delete " + file);
  return deletions;
}

TEST(RemovalNames, CutFromTheModelTextAndSuffix) {
  removal_module::RemovalNames n;
  ASSERT_TRUE(removal_module::MakeRemovalNames("HRX-410", "E", n));
  EXPECT_EQ(n.formPattern, "[410]");
  EXPECT_EQ(n.driverName, "KELVO HRX-410");
  EXPECT_EQ(n.monitorName, "KELVO Language Monitor HRX-410");
  EXPECT_EQ(n.printProcessorName, "KELVO PRINT PROCESSOR HRX-410");
  EXPECT_EQ(n.monitorFile, "HRMON410.DLL");
  EXPECT_EQ(n.printProcessorFile, "HRPRO410.dll");
  EXPECT_EQ(n.mainDriverFile, "HRX410E.dll");
  EXPECT_EQ(n.descriptionFile, "HRX410E.GPD");
  EXPECT_EQ(n.precompiledDescriptionFile, "HRX410E.BUD");
  EXPECT_EQ(n.uiFile, "HRUI410.dll");
  EXPECT_EQ(n.uiSettingsFile, "HRUI410.INI");
  EXPECT_EQ(n.uninstallKey, kUninstallKey);

  // The pieces are cut by position: 2 and 3 characters, then what follows the 4th.
  ASSERT_TRUE(removal_module::MakeRemovalNames("QT7/1234", "", n));
  EXPECT_EQ(n.formPattern, "[1234]");
  EXPECT_EQ(n.monitorFile, "QTMON1234.DLL");
  EXPECT_EQ(n.mainDriverFile, "QT71234.dll");
  EXPECT_EQ(n.uiSettingsFile, "QTUI1234.INI");
  ASSERT_TRUE(removal_module::MakeRemovalNames("ABCD", "Z", n));
  EXPECT_EQ(n.formPattern, "[]");
  EXPECT_EQ(n.mainDriverFile, "ABCZ.dll");

  for (const char* tooShort : {"", "H", "HRX"}) {
    removal_module::RemovalNames untouched;
    untouched.driverName = "unchanged";
    EXPECT_FALSE(removal_module::MakeRemovalNames(tooShort, "E", untouched)) << tooShort;
    EXPECT_EQ(untouched.driverName, "unchanged");
  }
}

TEST(RemoveDriverPackage, StepsInOrderForVista) {
  Rig rig;
  EXPECT_EQ(rig.Run(ModuleBuild::CleanNt6), 0);

  Strings expected = {"open server 0x1",
                      "enum forms",
                      "delete form Receipt [410] 80mm",
                      "delete form [410]Label",
                      "delete form Ticket [410]",
                      "close server",
                      "delete driver Windows NT x86|KELVO HRX-410 flags 4 version 3",
                      "run net stop spooler show 0",
                      "sleep 2000",
                      "run net start spooler show 0",
                      "sleep 4000",
                      "delete monitor Windows NT x86|KELVO Language Monitor HRX-410",
                      "delete processor Windows NT x86|KELVO PRINT PROCESSOR HRX-410"};
  for (const std::string& deletion : Deletions(Rig::PackageFiles())) expected.push_back(deletion);
  expected.push_back("uninstall inf oem12.inf 0x1");
  expected.push_back("deletetree HKLM\\" + kUninstallKey);
  EXPECT_EQ(rig.Steps(), expected);

  EXPECT_EQ(rig.spooler.forms, (Strings{"Letter", "Roll 410mm", "[41O] typo"}));
  for (const std::string& file : Rig::PackageFiles()) EXPECT_FALSE(rig.files.Exists(file)) << file;
  EXPECT_TRUE(rig.files.Exists(kDrivers + "\\3\\OTHER.DLL"));
  EXPECT_TRUE(rig.setup.oemInfs.empty());
  EXPECT_FALSE(rig.registry.HasKey(kMachine, kUninstallKey));
  // The spooler deleted its objects itself: the fallback keys are not touched.
  for (const std::string& key : {kDriverKey, kPrinterKey, kMonitorKey, kProcessorKey})
    EXPECT_TRUE(rig.registry.HasKey(kMachine, key)) << key;
  EXPECT_EQ(rig.spooler.openHandles, 0);
}

TEST(RemoveDriverPackage, TheTwoBuildsDiffer) {
  struct Row {
    ModuleBuild build;
    const char* driverDeletion;
    bool infUninstalled;
    bool registryRead;
  } rows[] = {
      {ModuleBuild::CleanNt6, "delete driver Windows NT x86|KELVO HRX-410 flags 4 version 3", true, true},
      {ModuleBuild::CleanNt5, "delete driver Windows NT x86|KELVO HRX-410 flags 2 version 3", false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.driverDeletion);
    Rig rig;
    EXPECT_EQ(rig.Run(row.build), 0);
    EXPECT_EQ(std::count(rig.journal.begin(), rig.journal.end(), row.driverDeletion), 1);
    EXPECT_EQ(rig.setup.oemInfs.empty(), row.infUninstalled);
    EXPECT_EQ(rig.setup.log.empty(), !row.infUninstalled);
    const bool read = std::any_of(rig.registry.log.begin(), rig.registry.log.end(),
                                  [](const std::string& e) { return e.rfind("open ", 0) == 0; });
    EXPECT_EQ(read, row.registryRead);
    EXPECT_FALSE(rig.registry.HasKey(kMachine, kUninstallKey));
    for (const std::string& file : Rig::PackageFiles()) EXPECT_FALSE(rig.files.Exists(file)) << file;
  }
}

TEST(RemoveDriverPackage, Win2kModuleNeedsNoSetupApi) {
  Rig rig;
  removal_module::RemovalServices services{rig.spooler, rig.registry, nullptr, rig.files, rig.system, rig.clock, kX86};
  EXPECT_EQ(removal_module::RemoveDriverPackage(ModuleBuild::CleanNt5, services, "HRX-410", "E"), 0);
}

TEST(RemoveDriverPackage, RefusedSpoolerDeletionsFallBackToTheirKeys) {
  Rig rig;
  constexpr long kDriverInUse = 3001;
  rig.spooler.deleteDriverError = kDriverInUse;
  rig.spooler.removeMonitorError = kDriverInUse;
  rig.spooler.removeProcessorError = platform::kErrorInvalidParameter;
  rig.registry.AddKey(kMachine, kDriverKey + "\\Files");
  rig.registry.AddKey(kMachine, "SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\Other Printer");

  EXPECT_EQ(rig.Run(ModuleBuild::CleanNt6), 0);

  const Strings steps = rig.Steps();
  auto after = [&steps](const std::string& entry) {
    auto it = std::find(steps.begin(), steps.end(), entry);
    EXPECT_NE(it, steps.end()) << entry;
    return it == steps.end() || it + 1 == steps.end() ? std::string() : *(it + 1);
  };
  EXPECT_EQ(after("delete driver Windows NT x86|KELVO HRX-410 flags 4 version 3"), "deletetree HKLM\\" + kDriverKey);
  EXPECT_EQ(after("deletetree HKLM\\" + kDriverKey), "deletetree HKLM\\" + kPrinterKey);
  EXPECT_EQ(after("deletetree HKLM\\" + kPrinterKey), "run net stop spooler show 0");
  EXPECT_EQ(after("delete monitor Windows NT x86|KELVO Language Monitor HRX-410"), "deletetree HKLM\\" + kMonitorKey);
  EXPECT_EQ(after("delete processor Windows NT x86|KELVO PRINT PROCESSOR HRX-410"),
            "deletetree HKLM\\" + kProcessorKey);

  for (const std::string& key : {kDriverKey, kDriverKey + "\\Files", kPrinterKey, kMonitorKey, kProcessorKey})
    EXPECT_FALSE(rig.registry.HasKey(kMachine, key)) << key;
  EXPECT_TRUE(rig.registry.HasKey(kMachine, "SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\Other Printer"));
  for (const std::string& file : Rig::PackageFiles()) EXPECT_FALSE(rig.files.Exists(file)) << file;
}

TEST(RemoveDriverPackage, EnvironmentNamesTheDeletionsAndTheirFallbackKeys) {
  Rig rig;
  rig.spooler.deleteDriverError = platform::kErrorInvalidParameter;
  rig.spooler.removeProcessorError = platform::kErrorInvalidParameter;
  const std::string x64 = "Windows x64";
  rig.Run(ModuleBuild::CleanNt6, "HRX-410", "E", x64);
  for (const std::string& entry :
       {std::string("delete driver Windows x64|KELVO HRX-410 flags 4 version 3"),
        std::string("deletetree HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows x64\\Drivers\\"
                    "Version-3\\KELVO HRX-410"),
        std::string("delete monitor Windows x64|KELVO Language Monitor HRX-410"),
        std::string("deletetree HKLM\\SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows x64\\"
                    "Print Processors\\KELVO PRINT PROCESSOR HRX-410")}) {
    EXPECT_EQ(std::count(rig.journal.begin(), rig.journal.end(), entry), 1) << entry;
  }
}

TEST(RemoveDriverPackage, ResultIsTheUninstallKeyDeletion) {
  struct Row {
    const char* name;
    bool keyPresent;
    bool keyRefused;
    long result;
  } rows[] = {
      {"key deleted", true, false, 0},
      {"key missing", false, false, platform::kErrorFileNotFound},
      {"key refused", true, true, platform::kErrorAccessDenied},
  };
  for (ModuleBuild build : {ModuleBuild::CleanNt6, ModuleBuild::CleanNt5}) {
    for (const Row& row : rows) {
      SCOPED_TRACE(row.name);
      Rig rig;
      if (!row.keyPresent) rig.registry.DeleteTree(kMachine, kUninstallKey);
      if (row.keyRefused) rig.registry.failDeleteTree.insert(kUninstallKey);
      rig.journal.clear();
      EXPECT_EQ(rig.Run(build), row.result);
      // Whatever the result, the whole sequence ran.
      EXPECT_EQ(std::count(rig.journal.begin(), rig.journal.end(), "run net start spooler show 0"), 1);
      for (const std::string& file : Rig::PackageFiles()) EXPECT_FALSE(rig.files.Exists(file)) << file;
    }
  }
}

TEST(RemoveDriverPackage, SecondRunFindsNothingButRestartsTheSpoolerAgain) {
  Rig rig;
  ASSERT_EQ(rig.Run(ModuleBuild::CleanNt6), 0);
  rig.journal.clear();
  EXPECT_EQ(rig.Run(ModuleBuild::CleanNt6), platform::kErrorFileNotFound);
  EXPECT_EQ(std::count(rig.journal.begin(), rig.journal.end(), "run net stop spooler show 0"), 1);
  EXPECT_EQ(std::count(rig.journal.begin(), rig.journal.end(), "sleep 4000"), 1);
  EXPECT_EQ(std::count_if(rig.journal.begin(), rig.journal.end(),
                          [](const std::string& e) { return e.rfind("uninstall inf", 0) == 0; }),
            0);
}

TEST(RemoveDriverPackage, InfUninstalledOnlyFromTheWindowsInfFolder) {
  struct Row {
    const char* name;
    std::uint32_t type;       // kRegNone: no "InfFile" value at all
    const char* text;         // the stored text (REG_SZ), or null for the DWORD 12
    const char* uninstalled;  // the name handed to the setup API, or null
  } rows[] = {
      {"full path", platform::kRegSz, "C:\\WINDOWS\\inf\\oem12.inf", "oem12.inf"},
      {"other case", platform::kRegSz, "c:\\windows\\INF\\oem3.inf", "oem3.inf"},
      {"another folder", platform::kRegSz, "D:\\drivers\\oem12.inf", nullptr},
      {"the folder alone", platform::kRegSz, "C:\\WINDOWS\\inf\\", nullptr},
      {"shorter than the folder", platform::kRegSz, "oem1.inf", nullptr},
      {"not a text", platform::kRegDword, nullptr, nullptr},
      {"no value", platform::kRegNone, nullptr, nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Rig rig;
    rig.registry.DeleteTree(kMachine, kUninstallKey);
    rig.registry.AddKey(kMachine, kUninstallKey);
    if (row.type != platform::kRegNone) {
      platform::RegistryValue value{row.type, {12, 0, 0, 0}};
      if (row.text) value.data.assign(row.text, row.text + std::char_traits<char>::length(row.text) + 1);
      rig.registry.SetRaw(kMachine, kUninstallKey, "InfFile", value);
    }
    rig.setup.oemInfs = {"oem12.inf", "oem3.inf", "oem1.inf"};

    EXPECT_EQ(rig.Run(ModuleBuild::CleanNt6), 0) << "the uninstall key still goes";
    Strings uninstalls;
    for (const std::string& entry : rig.setup.log)
      if (entry.rfind("uninstall inf ", 0) == 0) uninstalls.push_back(entry);
    if (row.uninstalled) {
      EXPECT_EQ(uninstalls, Strings{"uninstall inf " + std::string(row.uninstalled) + " 0x1"});
    } else {
      EXPECT_TRUE(uninstalls.empty()) << uninstalls.front();
    }
  }
}

TEST(RemoveDriverPackage, UnreadableFolderLeavesItsFilesAlone) {
  Rig rig;
  rig.spooler.driverDirectoryError = platform::kErrorInsufficientBuffer;
  rig.Run(ModuleBuild::CleanNt6);
  for (const std::string& file : Rig::PackageFiles()) {
    const bool underDrivers = file.rfind(kDrivers, 0) == 0;
    EXPECT_EQ(rig.files.Exists(file), underDrivers) << file;
  }
  for (const std::string& entry : rig.files.log) EXPECT_NE(entry.rfind("delete \\3\\", 0), 0u) << entry;
}

TEST(RemoveDriverPackage, ModelTextTooShortOrMissingDeletesNothing) {
  struct Row {
    const char* model;
    const char* suffix;
  } rows[] = {{"HRX", "E"}, {"", "E"}, {"H", "E"}, {nullptr, "E"}, {"HRX-410", nullptr}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.model ? row.model : "(null)");
    Rig rig;
    rig.journal.clear();
    EXPECT_EQ(rig.Run(ModuleBuild::CleanNt6, row.model, row.suffix), platform::kErrorInvalidParameter);
    EXPECT_TRUE(rig.journal.empty()) << rig.journal.front();
    EXPECT_TRUE(rig.registry.log.empty());
  }
}

}  // namespace
