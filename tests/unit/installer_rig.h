// The installer's progress window over in-memory platform seams: a machine with the package
// folder in the current directory, the system's folders, an empty spooler, and one journal
// that the window, the clock and the spooler, file, registry and setup fakes all write into.
#pragma once
#include <string>
#include <vector>

#include "installer/install_progress_window.h"
#include "installer/installed_version.h"
#include "tests/fakes/fake_device_setup.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_install_progress_view.h"
#include "tests/fakes/fake_print_admin.h"
#include "tests/fakes/fake_print_install.h"
#include "tests/fakes/fake_registry.h"
#include "tests/fakes/fake_registry_security.h"
#include "tests/fakes/fake_spooler.h"
#include "tests/fakes/fake_system_services.h"
#include "tests/fakes/journal_clock.h"

namespace installer_rig {

using Strings = std::vector<std::string>;

constexpr char kDrivers[] = "C:\\WINDOWS\\System32\\spool\\DRIVERS\\W32X86";
constexpr char kProcessors[] = "C:\\WINDOWS\\System32\\spool\\PRTPROCS\\W32X86";
constexpr char kSystem[] = "C:\\WINDOWS\\system32";
constexpr char kWindows[] = "C:\\WINDOWS";
constexpr char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KELVO_HRX-410";

// The files of the package folder "driver2k", each with its name as its content.
inline const Strings& PackageFiles() {
  static const Strings files = {"HRMON410.DLL", "HRPRO410.DLL", "UNIDRV.DLL",  "UNIDRVUI.DLL",
                                "UNIDRV.HLP",   "UNIRES.DLL",   "HRX410E.DLL", "HRUI410.DLL",
                                "HRUI410.INI",  "HRX410E.GPD",  "STDNAMES.GPD"};
  return files;
}

struct Rig {
  Rig() {
    printers.log.clear();
    admin.driverDirectory = kDrivers;
    admin.processorDirectory = kProcessors;
    admin.journal = &journal;
    install.files = &files;
    install.driverDirectory = kDrivers;
    install.processorDirectory = kProcessors;
    install.systemDirectory = kSystem;
    install.journal = &journal;
    files.windowsDirectory = kWindows;
    files.systemDirectory = kSystem;
    files.journal = &journal;
    registry.journal = &journal;
    setup.journal = &journal;
    system.journal = &journal;
    // Windows 7.
    system.version.platformId = 2;
    system.version.majorVersion = 6;
    system.version.minorVersion = 1;

    for (const char* folder : {kSystem, kDrivers, kProcessors}) files.AddFolder(folder);
    for (const std::string& file : PackageFiles()) files.AddFileWithContent("driver2k\\" + file, "package " + file);
    for (const char* file : {"HRX410_Uninstaller.exe", "CleanNT5.dll", "CleanNT6.dll"})
      files.AddFileWithContent(file, std::string("shipped ") + file);
    setup.sourceInfs["C:\\KIT\\Driver2k\\HRX410.INF"] = {"KELVO|KELVO HRX-410"};
    system.errorTexts[3006] = "The specified print monitor has already been installed.\r\n";
  }

  // The window initialised; what that showed is forgotten.
  void Start() {
    window.OnInitDialog();
    journal.clear();
    view.shown.clear();
  }

  // The window initialised and its installer set up as the flow does before the port question.
  void ReadyToInstall(bool processorFlag = true) {
    Start();
    window.installer().SetWindowLink(window);
    window.installer().SetUpNames("410", "E", processorFlag);
  }

  // A driver registered by an earlier run, with printers on it that carry `version`.
  void InstalledBefore(const Strings& printerNames, installer::DriverVersion version = installer::kInstallerVersion) {
    platform::DriverInfo3 driver;
    driver.name = "KELVO HRX-410";
    install.drivers.push_back(driver);
    install.processors.push_back("KELVO PRINT PROCESSOR HRX-410");
    install.monitors["KELVO Language Monitor HRX-410"] = {};
    for (const std::string& name : printerNames) {
      printers.AddPrinter(name, "LPT1:", "KELVO HRX-410");
      admin.printers.insert(name);
      install.AddPrinter(name, "KELVO HRX-410");
      install.SetVersion(name, version.major, version.minor, version.build, version.extra);
    }
  }

  // Lines of the journal that begin with `prefix`.
  Strings JournalOf(const std::string& prefix) const {
    Strings lines;
    for (const std::string& line : journal)
      if (line.compare(0, prefix.size(), prefix) == 0) lines.push_back(line);
    return lines;
  }

  Strings journal;
  fakes::FakeSpooler printers;
  fakes::FakePrintAdmin admin;
  fakes::FakePrintInstall install;
  fakes::FakeRegistry registry;
  fakes::FakeRegistrySecurity security;
  fakes::FakeDeviceSetup setup;
  fakes::FakeFileSystem files;
  fakes::FakeSystemServices system;
  fakes::JournalClock clock{journal};
  fakes::FakeInstallProgressView view{journal};
  fakes::FakePortTypePrompt prompt{journal};
  installer::InstallerServices services{printers, admin, install, registry, security, setup, files, system, clock};
  installer::InstallProgressWindow window{view, prompt, services};
};

}  // namespace installer_rig
