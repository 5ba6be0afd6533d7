// The driver package installation: the names, the steps and the progress they show, the files
// placed and removed, the spooler records, the queue name of a further run, the INF and
// profile strings, the failure boxes and the closing messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "installer/driver_installer.h"
#include "installer/installed_version.h"
#include "platform/os_codes.h"
#include "tests/unit/installer_rig.h"

namespace {

using installer::PortChoice;
using installer_rig::kDrivers;
using installer_rig::kProcessors;
using installer_rig::kSystem;
using installer_rig::kWindows;
using installer_rig::Rig;
using installer_rig::Strings;
using Shown = std::vector<std::pair<std::string, int>>;

const platform::RegistryRoot kMachine = platform::RegistryRoot::LocalMachine;

bool Contains(const Strings& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(DriverPackageNames, StemsAreCompletedFromModelLetterAndProcessorFlag) {
  installer_rig::Rig rig;
  const installer::DriverPackageNames before = rig.window.installer().names();
  EXPECT_EQ(before.monitorFile, "HRMON");
  EXPECT_EQ(before.printerName, "KELVO HRX-");

  rig.window.installer().SetUpNames("410", "E", true);
  const installer::DriverPackageNames& names = rig.window.installer().names();
  EXPECT_EQ(names.monitorFile, "HRMON410.DLL");
  EXPECT_EQ(names.monitorName, "KELVO Language Monitor HRX-410");
  EXPECT_EQ(names.processorFile, "HRPRO410.DLL");
  EXPECT_EQ(names.processorName, "KELVO PRINT PROCESSOR HRX-410");
  EXPECT_EQ(names.printerName, "KELVO HRX-410");
  EXPECT_EQ(names.mainDriverFile, "HRX410E.DLL");
  EXPECT_EQ(names.uiFile, "HRUI410.DLL");
  EXPECT_EQ(installer::UiSettingsFile(names), "HRUI410.INI");
  EXPECT_EQ(installer::PrinterDescriptionFile(names), "HRX410E.GPD");

  installer_rig::Rig withoutProcessor;
  withoutProcessor.window.installer().SetUpNames("410", "E", false);
  EXPECT_EQ(withoutProcessor.window.installer().names().processorFile, "HRPRO");
  EXPECT_EQ(withoutProcessor.window.installer().names().processorName, "KELVO PRINT PROCESSOR HRX-");
  EXPECT_FALSE(withoutProcessor.window.installer().processorFlag());
}

// The bar after each step, and the waits: 500 ms after each step, 2000 ms on "Completed!".
TEST(InstallDriverPackage, ShowsTheProgressTableOfItsFourCases) {
  const std::pair<std::string, int> completed = {"Completed!", 100};
  struct Row {
    const char* name;
    bool driverExisted;
    PortChoice port;
    Shown shown;
  } rows[] = {
      {"fresh, port", false, PortChoice::Lpt1,
       {{"Check drivers...\r\n", 11},
        {"Add printer...\r\n", 22},
        {"Install language monitor...\r\n", 33},
        {"Install print processor...\r\n", 44},
        {"Copy files...\r\n", 55},
        {"Install printer driver...\r\n", 66},
        {"Install printer...\r\n", 77},
        {"Delete installed files...\r\n", 88},
        completed,
        completed}},
      {"fresh, USB", false, PortChoice::Usb,
       {{"Check drivers...\r\n", 11},
        {"Add printer...\r\n", 22},
        {"Install language monitor...\r\n", 33},
        {"Install print processor...\r\n", 44},
        {"Copy files...\r\n", 55},
        {"Install printer driver...\r\n", 66},
        {"Delete installed files...\r\n", 77},
        completed,
        completed}},
      {"driver existed, port", true, PortChoice::Lpt1,
       {{"Check drivers...\r\n", 11}, {"Add printer...\r\n", 22}, {"Install printer...\r\n", 33}, completed}},
      {"driver existed, USB", true, PortChoice::Usb,
       {{"Check drivers...\r\n", 11}, {"Add printer...\r\n", 22}, completed}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Rig rig;
    if (row.driverExisted) rig.InstalledBefore({"KELVO HRX-410"});
    rig.ReadyToInstall();

    EXPECT_EQ(rig.window.installer().InstallDriverPackage(row.port), installer::InstallOutcome::Completed);

    EXPECT_EQ(rig.view.shown, row.shown);
    Strings paced;  // each thing shown, with the wait that follows it
    for (std::size_t i = 0; i < rig.journal.size(); ++i) {
      if (rig.journal[i].compare(0, 5, "show ") != 0) continue;
      for (std::size_t j = i + 1; j < rig.journal.size() && rig.journal[j].compare(0, 5, "show ") != 0; ++j)
        if (rig.journal[j].compare(0, 6, "sleep ") == 0) paced.push_back(rig.journal[j]);
    }
    Strings expected(row.shown.size() - (row.driverExisted ? 1 : 2), "sleep 500");
    expected.push_back("sleep 2000");
    EXPECT_EQ(paced, expected);
    EXPECT_EQ(rig.journal.back(), "sleep 2000");
  }
}

// A fresh installation on COM3: every file where it belongs, the spooler records as the
// package needs them, the INF in the store, the two time-outs, the staged files gone again.
TEST(InstallDriverPackage, FreshInstallationOnCom3PlacesFilesAndRecords) {
  Rig rig;
  rig.ReadyToInstall();
  ASSERT_EQ(rig.window.installer().InstallDriverPackage(PortChoice::Com3), installer::InstallOutcome::Completed);

  // The modules where the spooler loads them from, the package's own files in the Windows
  // folder, and nothing left in the staging folder.
  const std::string drivers = kDrivers;
  EXPECT_EQ(rig.files.ContentOf(std::string(kSystem) + "\\HRMON410.DLL"), "package HRMON410.DLL");
  EXPECT_EQ(rig.files.ContentOf(std::string(kProcessors) + "\\HRPRO410.DLL"), "package HRPRO410.DLL");
  for (const char* file : {"HRX410E.DLL", "HRUI410.DLL", "HRUI410.INI", "HRX410E.GPD"}) {
    EXPECT_EQ(rig.files.ContentOf(std::string(kWindows) + "\\" + file), std::string("package ") + file) << file;
  }
  for (const std::string& file : installer_rig::PackageFiles()) {
    EXPECT_FALSE(rig.files.Exists(drivers + "\\" + file)) << file;
  }
  // What the spooler took from the staging folder when the driver was added.
  for (const char* file : {"UNIDRV.DLL", "UNIDRVUI.DLL", "UNIDRV.HLP", "UNIRES.DLL", "STDNAMES.GPD", "HRX410E.DLL",
                           "HRUI410.DLL", "HRUI410.INI", "HRX410E.GPD"}) {
    EXPECT_EQ(rig.files.ContentOf(drivers + "\\3\\" + file), std::string("package ") + file) << file;
  }
  EXPECT_EQ(rig.JournalOf("copy driver2k\\HRX410E.DLL"),
            (Strings{"copy driver2k\\HRX410E.DLL -> " + drivers + "\\HRX410E.DLL",
                     "copy driver2k\\HRX410E.DLL -> C:\\WINDOWS\\HRX410E.DLL"}));

  ASSERT_EQ(rig.install.monitors.count("KELVO Language Monitor HRX-410"), 1u);
  const platform::MonitorInfo2& monitor = rig.install.monitors["KELVO Language Monitor HRX-410"];
  EXPECT_EQ(monitor.environment, platform::kKitPrintEnvironment);
  EXPECT_EQ(monitor.dllName, "HRMON410.DLL");
  EXPECT_TRUE(Contains(rig.JournalOf("add processor"), std::string("add processor ") + platform::kKitPrintEnvironment +
                                                           " HRPRO410.DLL KELVO PRINT PROCESSOR HRX-410"));

  const platform::DriverInfo3* driver = rig.install.FindDriver("KELVO HRX-410");
  ASSERT_NE(driver, nullptr);
  EXPECT_EQ(driver->version, 3u);
  EXPECT_EQ(driver->environment, platform::kKitPrintEnvironment);
  EXPECT_EQ(driver->driverPath, "UNIDRV.DLL");
  EXPECT_EQ(driver->dataFile, "HRX410E.GPD");
  EXPECT_EQ(driver->configFile, "UNIDRVUI.DLL");
  EXPECT_EQ(driver->helpFile, "UNIDRV.HLP");
  EXPECT_EQ(driver->dependentFiles,
            (Strings{"UNIRES.DLL", "STDNAMES.GPD", "HRX410E.DLL", "HRUI410.DLL", "HRUI410.INI"}));
  EXPECT_EQ(driver->monitorName, "KELVO Language Monitor HRX-410");
  EXPECT_EQ(driver->defaultDataType, "RAW");

  const fakes::FakePrintInstall::Printer* printer = rig.install.FindPrinter("KELVO HRX-410");
  ASSERT_NE(printer, nullptr);
  EXPECT_EQ(printer->info.portName, "COM3:");
  EXPECT_EQ(printer->info.driverName, "KELVO HRX-410");
  EXPECT_EQ(printer->info.printProcessor, "KELVO PRINT PROCESSOR HRX-410");
  EXPECT_EQ(printer->info.datatype, "RAW");
  EXPECT_EQ(printer->info.attributes, 0x1800u);
  EXPECT_EQ(printer->info.priority, 1u);
  EXPECT_EQ(printer->info.defaultPriority, 0u);
  EXPECT_EQ(printer->info.status, 0x80u);
  EXPECT_TRUE(printer->info.shareName.empty() && printer->info.serverName.empty() && printer->info.comment.empty());
  EXPECT_EQ(rig.install.openPrinters, 0) << "the new printer's handle is closed";

  EXPECT_EQ(rig.JournalOf("copy oem inf"), (Strings{"copy oem inf C:\\KIT\\Driver2k\\HRX410.INF 0x1 0x8 260"}));
  EXPECT_EQ(rig.window.installer().installedInfPath(), "C:\\WINDOWS\\inf\\oem12.inf");
  EXPECT_EQ(rig.JournalOf("profile"), (Strings{"profile windows|DeviceNotSelectedTimeout=3",
                                               "profile windows|TransmissionRetryTimeout=3"}));

  // The closing box: no owner, restart question, answered No.
  ASSERT_EQ(rig.view.boxes.size(), 1u);
  EXPECT_EQ(rig.view.boxes[0].text,
            "Restart the computer can take effect.\nPlease restart the computer.\n\n"
            "[Yes] I want to restart my computer now.\n[No] I will restart my computer later.");
  EXPECT_EQ(rig.view.boxes[0].caption, "KELVO HRX-410 installer");
  EXPECT_EQ(rig.view.boxes[0].style, 0x24u);
  EXPECT_FALSE(rig.view.boxes[0].owned);
  EXPECT_TRUE(rig.JournalOf("exit windows").empty());
  EXPECT_TRUE(rig.view.exitCodes.empty()) << "the caller ends the process";
}

// Before it installs, a fresh installation clears what an earlier one may have left.
TEST(InstallDriverPackage, FreshInstallationClearsLeftoversFirst) {
  Rig rig;
  const std::string leftover = std::string(kDrivers) + "\\kelvo_hrx_4102d39";
  rig.files.AddFile(leftover + "\\old.dll", platform::kFileAttributeReadOnly);
  rig.setup.AddDevice("USB\\VID_3C17&PID_0006\\1", {"USB\\Vid_3C17&Pid_0006&Rev_0100"});
  rig.setup.AddDevice("USB\\VID_1234&PID_0001\\1", {"USB\\Vid_1234&Pid_0001"});
  rig.registry.AddKey(kMachine, "SYSTEM\\CurrentControlSet\\Enum\\USBPRINT\\KELVO_HRX-410\\1");
  rig.registry.AddKey(kMachine, "SYSTEM\\CurrentControlSet\\Enum\\LPTENUM\\KELVO_HRX-410");
  rig.security.reachableComputers.insert("\\\\FRONTDESK");
  rig.security.AddKey("\\\\FRONTDESK", platform::PredefinedKey::LocalMachine,
                      "SYSTEM\\CurrentControlSet\\Enum\\USBPRINT\\KELVO_HRX-410");
  rig.ReadyToInstall();

  rig.window.installer().InstallDriverPackage(PortChoice::Lpt1);

  EXPECT_FALSE(rig.files.Exists(leftover));
  EXPECT_TRUE(rig.setup.devices[0].removed);
  EXPECT_FALSE(rig.setup.devices[1].removed);
  EXPECT_FALSE(rig.registry.HasKey(kMachine, "SYSTEM\\CurrentControlSet\\Enum\\USBPRINT\\KELVO_HRX-410"));
  EXPECT_FALSE(rig.registry.HasKey(kMachine, "SYSTEM\\CurrentControlSet\\Enum\\LPTENUM\\KELVO_HRX-410"));
  EXPECT_EQ(rig.security.Dacl("\\\\FRONTDESK", platform::PredefinedKey::LocalMachine,
                              "SYSTEM\\CurrentControlSet\\Enum\\USBPRINT\\KELVO_HRX-410"),
            (Strings{"grant Everyone 0xf003f inherit 0x2"}));
  // All of it before the monitor is copied.
  const auto monitorCopy = std::find(rig.journal.begin(), rig.journal.end(),
                                     "copy driver2k\\HRMON410.DLL -> " + std::string(kSystem) + "\\HRMON410.DLL");
  const auto keyDeleted = std::find(rig.journal.begin(), rig.journal.end(),
                                    "deletetree HKLM\\SYSTEM\\CurrentControlSet\\Enum\\LPTENUM\\KELVO_HRX-410");
  ASSERT_NE(monitorCopy, rig.journal.end());
  EXPECT_LT(keyDeleted, monitorCopy);
}

// A further run on a machine where this version is installed only adds a queue under the
// next free name, on LPT2, in three steps, without a box, and ends 2000 ms after "Completed!".
TEST(InstallDriverPackage, SecondRunAddsTheNextQueueOnly) {
  Rig rig;
  rig.InstalledBefore({"KELVO HRX-410", "KELVO HRX-410(#1)", "KELVO HRX-410(#2)"});
  rig.prompt.checkIndex = 5;  // LPT2
  rig.Start();

  rig.window.OnTimer(installer::kFlowTimerId);

  const fakes::FakePrintInstall::Printer* added = rig.install.FindPrinter("KELVO HRX-410(#3)");
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->info.portName, "LPT2:");
  EXPECT_EQ(added->info.driverName, "KELVO HRX-410");
  EXPECT_EQ(rig.install.printers.size(), 4u);
  EXPECT_EQ(rig.view.shown, (Shown{{"Check drivers...\r\n", 11},
                                   {"Add printer...\r\n", 22},
                                   {"Install printer...\r\n", 33},
                                   {"Completed!", 100}}));
  EXPECT_TRUE(rig.view.boxes.empty());
  EXPECT_TRUE(rig.JournalOf("copy").empty());
  EXPECT_TRUE(rig.JournalOf("profile").empty());
  EXPECT_FALSE(rig.registry.HasKey(kMachine, installer_rig::kUninstallKey));
  const Strings tail(rig.journal.end() - 3, rig.journal.end());
  EXPECT_EQ(tail, (Strings{"show Completed! @100", "sleep 2000", "end 0"}));
}

// The queue name counts up from the driver's name and takes the first one no printer has.
TEST(InstallDriverPackage, FurtherQueueTakesTheFirstFreeName) {
  struct Row {
    Strings existing;
    const char* created;
  } rows[] = {
      {{}, "KELVO HRX-410"},
      {{"KELVO HRX-410"}, "KELVO HRX-410(#1)"},
      {{"KELVO HRX-410", "KELVO HRX-410(#2)"}, "KELVO HRX-410(#1)"},
      {{"KELVO HRX-410(#1)"}, "KELVO HRX-410"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.created);
    Rig rig;
    rig.InstalledBefore(row.existing);
    rig.ReadyToInstall();
    rig.window.installer().InstallDriverPackage(PortChoice::Com1);
    ASSERT_EQ(rig.install.printers.size(), row.existing.size() + 1);
    EXPECT_EQ(rig.install.printers.back().info.printerName, row.created);
    EXPECT_EQ(rig.install.printers.back().info.portName, "COM1:");
  }
}

TEST(InstallDriverPackage, UsbCreatesNoQueue) {
  {
    SCOPED_TRACE("fresh");
    Rig rig;
    rig.ReadyToInstall();
    rig.window.installer().InstallDriverPackage(PortChoice::Usb);
    EXPECT_NE(rig.install.FindDriver("KELVO HRX-410"), nullptr);
    EXPECT_TRUE(rig.install.printers.empty());
    EXPECT_TRUE(rig.JournalOf("add printer").empty());
    EXPECT_EQ(rig.window.installer().installedInfPath(), "C:\\WINDOWS\\inf\\oem12.inf");
    EXPECT_TRUE(rig.registry.HasKey(kMachine, installer_rig::kUninstallKey));
    ASSERT_EQ(rig.view.boxes.size(), 1u);
    EXPECT_EQ(rig.view.boxes[0].text, "Installation is completed.\nPlease turn-off printer and turn-on printer.");
    EXPECT_EQ(rig.view.boxes[0].style, 0x40u);
    EXPECT_FALSE(rig.view.boxes[0].owned);
  }
  {
    SCOPED_TRACE("driver existed");
    Rig rig;
    rig.InstalledBefore({"KELVO HRX-410"});
    rig.ReadyToInstall();
    rig.window.installer().InstallDriverPackage(PortChoice::Usb);
    EXPECT_EQ(rig.install.printers.size(), 1u);
    EXPECT_TRUE(rig.view.boxes.empty());
    EXPECT_TRUE(rig.JournalOf("copy").empty());
    EXPECT_TRUE(rig.JournalOf("copy oem inf").empty());
  }
}

// The uninstall entry names the INF as the store named it: nothing when the copy named nothing,
// the earlier copy when the store refused to overwrite it.
TEST(InstallDriverPackage, UninstallEntryNamesTheInfAsTheStoreNamedIt) {
  struct Row {
    const char* name;
    void (*setUp)(fakes::FakeDeviceSetup&);
    std::string infFile;
  } rows[] = {
      {"INF copied", [](fakes::FakeDeviceSetup&) {}, "C:\\WINDOWS\\inf\\oem12.inf"},
      {"INF missing from the package", [](fakes::FakeDeviceSetup& s) { s.sourceInfs.clear(); }, ""},
      {"INF in the store already",
       [](fakes::FakeDeviceSetup& s) {
         s.copiedOemInfs["C:\\KIT\\Driver2k\\HRX410.INF"] = "C:\\WINDOWS\\inf\\oem3.inf";
       },
       "C:\\WINDOWS\\inf\\oem3.inf"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Rig rig;
    row.setUp(rig.setup);
    rig.ReadyToInstall();
    rig.window.installer().InstallDriverPackage(PortChoice::Lpt1);
    const platform::RegistryValue* inf = rig.registry.Value(kMachine, installer_rig::kUninstallKey, "InfFile");
    ASSERT_NE(inf, nullptr);
    EXPECT_EQ(std::string(inf->data.begin(), inf->data.end()), row.infFile);
  }
}

// Each printer the installer creates carries this version, which the next run compares.
TEST(InstallDriverPackage, NewQueueCarriesThePackageVersion) {
  Rig rig;
  rig.ReadyToInstall();
  rig.window.installer().InstallDriverPackage(PortChoice::Lpt1);
  rig.printers.AddPrinter("KELVO HRX-410", "LPT1:", "KELVO HRX-410");

  EXPECT_EQ(installer::InstalledVersionCheck(rig.printers, rig.install, "KELVO HRX-410",
                                             "KELVO PRINT PROCESSOR HRX-410", installer::kInstallerVersion),
            installer::InstalledVersionState::SameInstalled);
  const fakes::FakePrintInstall::Printer* printer = rig.install.FindPrinter("KELVO HRX-410");
  ASSERT_NE(printer, nullptr);
  for (const char* name : {"MajorVersion", "MinorVersion", "BuildVersion", "ExtraVersion"}) {
    ASSERT_EQ(printer->data.count(name), 1u) << name;
    EXPECT_EQ(printer->data.at(name).type, platform::kRegDword) << name;
  }
}

TEST(InstallDriverPackage, RegisteredMonitorShowsItsErrorBoxAndInstallationCompletes) {
  Rig rig;
  rig.install.monitors["KELVO Language Monitor HRX-410"] = {};
  rig.ReadyToInstall();

  EXPECT_EQ(rig.window.installer().InstallDriverPackage(PortChoice::Lpt1), installer::InstallOutcome::Completed);

  ASSERT_EQ(rig.view.boxes.size(), 2u);
  EXPECT_EQ(rig.view.boxes[0].text,
            "AddMonitor Error Code: 3006\n\nThe specified print monitor has already been installed.\r\n");
  EXPECT_EQ(rig.view.boxes[0].caption, "KELVO HRX-410 installer");
  EXPECT_EQ(rig.view.boxes[0].style, 0x30u);
  EXPECT_FALSE(rig.view.boxes[0].owned);
  EXPECT_TRUE(Contains(rig.JournalOf("error text"), "error text 3006 1033"));
  EXPECT_NE(rig.install.FindPrinter("KELVO HRX-410"), nullptr);
  EXPECT_TRUE(rig.registry.HasKey(kMachine, installer_rig::kUninstallKey));
  EXPECT_EQ(rig.view.boxes[1].style, 0x24u) << "the closing box still comes";
}

// The add operations that fail go on; the ones the installation cannot do without end it.
TEST(InstallDriverPackage, FailingSpoolerCallsShowTheirBoxes) {
  // On USB no printer follows, which a real spooler would refuse after such a failure.
  struct Row {
    const char* name;
    void (*breakIt)(fakes::FakePrintInstall&);
    PortChoice port;
    std::string boxText;
    bool endsProcess;
  } rows[] = {
      {"print processor", [](fakes::FakePrintInstall& s) { s.addProcessorError = 5; }, PortChoice::Usb,
       "AddProcess Error Code: 5\n\n", false},
      {"printer driver", [](fakes::FakePrintInstall& s) { s.addDriverError = 5; }, PortChoice::Usb,
       "AddPrinterDriver Error Code: 5\n\n", false},
      {"printer", [](fakes::FakePrintInstall& s) { s.addPrinterError = 1797; }, PortChoice::Lpt1,
       "AddPrinter Error Code: 1797\n\n", true},
      {"driver enumeration", [](fakes::FakePrintInstall& s) { s.enumDriversError = 1722; }, PortChoice::Lpt1,
       "EnumPrinterDrivers Error Code: 1722\n\n", true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Rig rig;
    row.breakIt(rig.install);
    rig.ReadyToInstall();

    const installer::InstallOutcome outcome = rig.window.installer().InstallDriverPackage(row.port);

    ASSERT_FALSE(rig.view.boxes.empty());
    EXPECT_EQ(rig.view.boxes[0].text, row.boxText);
    EXPECT_EQ(rig.view.boxes[0].style, 0x30u);
    EXPECT_FALSE(rig.view.boxes[0].owned);
    if (row.endsProcess) {
      EXPECT_EQ(outcome, installer::InstallOutcome::ProcessEnded);
      EXPECT_EQ(rig.view.exitCodes, (std::vector<int>{0}));
      EXPECT_EQ(rig.view.boxes.size(), 1u);
      // Neither the INF nor the uninstall entry: the process ended before them.
      EXPECT_TRUE(rig.JournalOf("copy oem inf").empty());
      EXPECT_FALSE(rig.registry.HasKey(kMachine, installer_rig::kUninstallKey));
    } else {
      EXPECT_EQ(outcome, installer::InstallOutcome::Completed);
      EXPECT_TRUE(rig.view.exitCodes.empty());
      EXPECT_TRUE(rig.registry.HasKey(kMachine, installer_rig::kUninstallKey));
    }
  }
  // A failed driver enumeration ends the run before anything is installed.
  Rig rig;
  rig.install.enumDriversError = 1722;
  rig.ReadyToInstall();
  rig.window.installer().InstallDriverPackage(PortChoice::Lpt1);
  EXPECT_TRUE(rig.JournalOf("copy").empty());
  EXPECT_TRUE(rig.JournalOf("add").empty());
  EXPECT_EQ(rig.view.shown, (Shown{{"Check drivers...\r\n", 11}}));
}

TEST(InstallDriverPackage, WithoutPrintProcessorUsesWinPrint) {
  Rig rig;
  rig.ReadyToInstall(false);
  rig.window.installer().InstallDriverPackage(PortChoice::Lpt1);

  const fakes::FakePrintInstall::Printer* printer = rig.install.FindPrinter("KELVO HRX-410");
  ASSERT_NE(printer, nullptr);
  EXPECT_EQ(printer->info.printProcessor, "WinPrint");
  EXPECT_EQ(printer->info.attributes, 0x0A00u);
  for (const std::string& line : rig.journal) EXPECT_EQ(line.find("HRPRO"), std::string::npos) << line;
  EXPECT_TRUE(rig.JournalOf("add processor").empty());
  EXPECT_FALSE(Contains(rig.JournalOf("show"), "show Install print processor...\r\n @44"));
  EXPECT_EQ(rig.view.shown.back(), (std::pair<std::string, int>{"Completed!", 100}));
}

// A Yes at the closing box asks for the forced restart; the installation still completes.
TEST(InstallDriverPackage, YesAtTheClosingBoxRestartsWindows) {
  Rig rig;
  rig.ReadyToInstall();
  rig.view.answers = {platform::kIdYes};
  rig.window.installer().InstallDriverPackage(PortChoice::Lpt1);
  EXPECT_EQ(rig.JournalOf("exit windows"), (Strings{"exit windows 6 0"}));
  EXPECT_EQ(rig.journal.back(), "sleep 2000");
}

// A folder that cannot be had leaves out what would be placed in it, instead of putting files
// at the root of the drive.
TEST(InstallDriverPackage, UnknownDriverFolderSkipsTheStagedFiles) {
  Rig rig;
  rig.admin.driverDirectoryError = 1722;  // the spooler does not answer
  rig.ReadyToInstall();
  rig.window.installer().InstallDriverPackage(PortChoice::Usb);
  ASSERT_FALSE(rig.JournalOf("copy driver2k").empty());
  for (const std::string& line : rig.JournalOf("copy driver2k"))
    EXPECT_EQ(line.find("-> \\"), std::string::npos) << line;
  EXPECT_TRUE(rig.JournalOf("delete ").empty());
  EXPECT_TRUE(rig.registry.HasKey(kMachine, installer_rig::kUninstallKey)) << "the installation went on";
  EXPECT_EQ(rig.files.ContentOf(std::string(kWindows) + "\\HRX410E.DLL"), "package HRX410E.DLL");
}

}  // namespace
