// The driver package installation.
#include "installer/driver_installer.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "installer/installed_version.h"
#include "installer/uninstall_registration.h"
#include "platform/os_codes.h"
#include "uninstaller/cleanup/cleanup_operations.h"
#include "uninstaller/registry_access/registry_access.h"
#include "uninstaller/restart/restart.h"

namespace installer {

const char kPackageFolder[] = "driver2k\\";
const char kSetupInformationFile[] = "Driver2k\\HRX410.INF";
const char kDefaultDatatype[] = "RAW";
const char kDefaultPrintProcessor[] = "WinPrint";
const char kUsbPrintDeviceKey[] = "SYSTEM\\CurrentControlSet\\Enum\\USBPRINT\\KELVO_HRX-410";
const char kLptEnumDeviceKey[] = "SYSTEM\\CurrentControlSet\\Enum\\LPTENUM\\KELVO_HRX-410";
const char kCompletedText[] = "Completed!";
const char kUsbCompletedText[] = "Installation is completed.\nPlease turn-off printer and turn-on printer.";
const char kRestartQuestionText[] =
    "Restart the computer can take effect.\nPlease restart the computer."
    "\n\n[Yes] I want to restart my computer now.\n[No] I will restart my computer later.";

namespace {

// The folders are read into buffers of this size; a longer folder cannot be had, and what
// would be placed in it is skipped.
constexpr std::size_t kFolderBufferChars = 256;
// The INF store names its copy into a buffer of MAX_PATH characters.
constexpr std::size_t kInfNameBufferChars = 260;
// The derived names take this many characters of their stem.
constexpr std::size_t kDerivedNameStemChars = 7;
constexpr int kCompletedPosition = 100;
constexpr std::uint32_t kDriverVersion3 = 3;
constexpr std::uint32_t kNewPrinterPriority = 1;

// The universal printer driver files the package carries, staged for the spooler and taken
// away again once the driver is registered.
constexpr const char* kUniversalDriverFiles[] = {"UNIDRV.DLL", "UNIDRVUI.DLL", "UNIDRV.HLP", "UNIRES.DLL"};
constexpr char kStandardNamesFile[] = "STDNAMES.GPD";
constexpr char kUniversalDriverPath[] = "UNIDRV.DLL";
constexpr char kUniversalConfigFile[] = "UNIDRVUI.DLL";
constexpr char kUniversalHelpFile[] = "UNIDRV.HLP";
// The driver's dependent files are this fixed list, whatever the names were set up with.
constexpr const char* kDependentFiles[] = {"UNIRES.DLL", "STDNAMES.GPD", "HRX410E.DLL", "HRUI410.DLL",
                                           "HRUI410.INI"};

constexpr char kProfileSection[] = "windows";
constexpr char kInstalledTimeout[] = "3";

std::string InFolder(const std::string& folder, const std::string& file) { return folder + "\\" + file; }

platform::RegistryValue Number(std::uint32_t value) {
  platform::RegistryValue number;
  number.type = platform::kRegDword;
  for (int shift = 0; shift < 32; shift += 8) number.data.push_back(static_cast<std::uint8_t>(value >> shift));
  return number;
}

}  // namespace

std::string UiSettingsFile(const DriverPackageNames& names) {
  return names.uiFile.substr(0, kDerivedNameStemChars) + ".INI";
}

std::string PrinterDescriptionFile(const DriverPackageNames& names) {
  return names.mainDriverFile.substr(0, kDerivedNameStemChars) + ".GPD";
}

DriverInstaller::DriverInstaller(const InstallerServices& services) : services_(services) {}

void DriverInstaller::SetUpNames(const std::string& model, const std::string& languageLetter, bool processorFlag) {
  processorFlag_ = processorFlag;
  names_.monitorFile += model + ".DLL";
  names_.uiFile += model + ".DLL";
  if (processorFlag) names_.processorFile += model + ".DLL";
  names_.mainDriverFile += model + languageLetter + ".DLL";
  names_.monitorName += model;
  names_.printerName += model;
  if (processorFlag) names_.processorName += model;
}

void DriverInstaller::Step(const std::string& text) { window_->InstallStep(text, kInstallStepWaitMs); }

void DriverInstaller::ReportFailure(const std::string& call, long code) {
  window_->ShowUnownedMessage(removal::FailureMessage(call, code, services_.system), kInstallerCaption,
                              kExclamationBox);
}

std::string DriverInstaller::UniquePrinterName(bool driverExists) {
  std::string name = names_.printerName;
  if (!driverExists) return name;
  // Queues of earlier runs are "KELVO HRX-410", "KELVO HRX-410(#1)", ...: the first name that
  // cannot be opened is free. Opened for use only, which any printer grants.
  for (unsigned n = 1;; ++n) {
    std::unique_ptr<platform::InstalledPrinter> existing;
    if (services_.install.OpenPrinter(name, "", platform::kPrinterAccessUse, existing) != platform::kErrorSuccess) {
      return name;
    }
    name = names_.printerName + "(#" + std::to_string(n) + ")";
  }
}

// What an earlier installation may have left: the driver's folder, the printer's USB devices
// and its device keys.
void DriverInstaller::CleanUpLeftovers() {
  std::string drivers;
  if (services_.spooler.DriverDirectory(kFolderBufferChars, drivers) == platform::kErrorSuccess) {
    removal::DeleteFolderTree(services_.files, InFolder(drivers, removal::kDriverFolderName));
  }
  removal::RemoveUsbDevices(services_.setup, removal::kUsbHardwareIdPrefix);
  std::string computer;
  services_.system.ComputerName(kFolderBufferChars, computer);
  for (const char* key : {kUsbPrintDeviceKey, kLptEnumDeviceKey}) {
    removal::GrantAndDeleteKey(services_.security, services_.registry, "\\\\" + computer + "\\HKLM\\" + key, key);
  }
}

// The monitor is loaded from the system folder, the print processor from its own.
void DriverInstaller::CopyModules() {
  std::string system;
  if (services_.files.SystemDirectory(kFolderBufferChars, system) == platform::kErrorSuccess) {
    services_.files.Copy(kPackageFolder + names_.monitorFile, InFolder(system, names_.monitorFile), false);
  }
  if (!processorFlag_) return;
  std::string processors;
  if (services_.spooler.PrintProcessorDirectory(kFolderBufferChars, processors) == platform::kErrorSuccess) {
    services_.files.Copy(kPackageFolder + names_.processorFile, InFolder(processors, names_.processorFile), false);
  }
}

// The spooler takes the driver's files from the driver folder when the driver is added; the
// package's own files also go into the Windows folder, where they stay.
void DriverInstaller::StageDriverFiles(const std::string& windowsDirectory) {
  std::string drivers;
  if (services_.spooler.DriverDirectory(kFolderBufferChars, drivers) != platform::kErrorSuccess) drivers.clear();
  auto copy = [&](const std::string& file, const std::string& folder) {
    if (!folder.empty()) services_.files.Copy(kPackageFolder + file, InFolder(folder, file), false);
  };
  for (const char* file : kUniversalDriverFiles) copy(file, drivers);
  for (const std::string& file :
       {names_.mainDriverFile, names_.uiFile, UiSettingsFile(names_), PrinterDescriptionFile(names_)}) {
    copy(file, drivers);
    copy(file, windowsDirectory);
  }
  copy(kStandardNamesFile, drivers);
}

void DriverInstaller::DeleteStagedFiles() {
  std::string drivers;
  if (services_.spooler.DriverDirectory(kFolderBufferChars, drivers) != platform::kErrorSuccess) return;
  std::vector<std::string> staged(std::begin(kUniversalDriverFiles), std::end(kUniversalDriverFiles));
  staged.push_back(names_.monitorFile);
  if (processorFlag_) staged.push_back(names_.processorFile);
  for (const std::string& file :
       {names_.mainDriverFile, names_.uiFile, UiSettingsFile(names_), PrinterDescriptionFile(names_)}) {
    staged.push_back(file);
  }
  staged.push_back(kStandardNamesFile);
  for (const std::string& file : staged) services_.files.Delete(InFolder(drivers, file));
}

platform::DriverInfo3 DriverInstaller::DriverRecord() const {
  platform::DriverInfo3 driver;
  driver.version = kDriverVersion3;
  driver.name = names_.printerName;
  driver.environment = platform::kKitPrintEnvironment;
  driver.driverPath = kUniversalDriverPath;
  driver.dataFile = PrinterDescriptionFile(names_);
  driver.configFile = kUniversalConfigFile;
  driver.helpFile = kUniversalHelpFile;
  driver.dependentFiles.assign(std::begin(kDependentFiles), std::end(kDependentFiles));
  driver.monitorName = names_.monitorName;
  driver.defaultDataType = kDefaultDatatype;
  return driver;
}

platform::PrinterInfo2 DriverInstaller::PrinterRecord(const std::string& printerName, PortChoice choice) const {
  platform::PrinterInfo2 printer;
  printer.printerName = printerName;
  printer.portName = PortName(choice);
  printer.driverName = names_.printerName;
  printer.printProcessor = processorFlag_ ? names_.processorName : kDefaultPrintProcessor;
  printer.datatype = kDefaultDatatype;
  printer.attributes = processorFlag_
                           ? platform::kPrinterAttributeRawOnly | platform::kPrinterAttributeEnableBidi
                           : platform::kPrinterAttributeDoCompleteFirst | platform::kPrinterAttributeEnableBidi;
  printer.priority = kNewPrinterPriority;
  printer.status = platform::kPrinterStatusOffline;
  return printer;
}

// A printer on the package's driver carries the package's version in its printer data, which
// the next installer run compares with its own. The installer writes it as the package's
// representative: it ships with the package and is its version. A failure only makes the
// next run see an older version.
void DriverInstaller::CarryVersion(platform::InstalledPrinter& printer) {
  printer.SetData(kMajorVersionValue, Number(kInstallerVersion.major));
  printer.SetData(kMinorVersionValue, Number(kInstallerVersion.minor));
  printer.SetData(kBuildVersionValue, Number(kInstallerVersion.build));
  printer.SetData(kExtraVersionValue, Number(kInstallerVersion.extra));
}

void DriverInstaller::ShowClosingMessage(PortChoice choice) {
  if (choice == PortChoice::Usb) {
    window_->ShowUnownedMessage(kUsbCompletedText, kInstallerCaption, kInformationBox);
    return;
  }
  if (window_->ShowUnownedMessage(kRestartQuestionText, kInstallerCaption, kQuestionBox) == platform::kIdYes) {
    removal::RestartWindows(services_.system);
  }
}

InstallOutcome DriverInstaller::InstallDriverPackage(PortChoice choice) {
  window_->ShowWaitCursor();
  Step("Check drivers...\r\n");
  std::vector<std::string> drivers;
  const long enumError = services_.install.EnumDriverNames4(drivers);
  if (enumError != platform::kErrorSuccess) {
    ReportFailure("EnumPrinterDrivers", enumError);
    window_->EndProcess(0);
    return InstallOutcome::ProcessEnded;
  }
  const bool driverExists = std::find(drivers.begin(), drivers.end(), names_.printerName) != drivers.end();

  Step("Add printer...\r\n");
  const std::string printerName = UniquePrinterName(driverExists);
  std::string windowsDirectory;
  if (services_.files.WindowsDirectory(kFolderBufferChars, windowsDirectory) != platform::kErrorSuccess) {
    windowsDirectory.clear();
  }

  if (!driverExists) {
    CleanUpLeftovers();
    CopyModules();

    Step("Install language monitor...\r\n");
    const long monitorError = services_.install.AddMonitor2(
        platform::MonitorInfo2{names_.monitorName, platform::kKitPrintEnvironment, names_.monitorFile});
    if (monitorError != platform::kErrorSuccess) ReportFailure("AddMonitor", monitorError);

    if (processorFlag_) {
      Step("Install print processor...\r\n");
      const long processorError = services_.install.AddProcessor(platform::kKitPrintEnvironment,
                                                                      names_.processorFile, names_.processorName);
      if (processorError != platform::kErrorSuccess) ReportFailure("AddProcess", processorError);
    }

    Step("Copy files...\r\n");
    StageDriverFiles(windowsDirectory);

    Step("Install printer driver...\r\n");
    const long driverError = services_.install.AddDriver3(DriverRecord());
    if (driverError != platform::kErrorSuccess) ReportFailure("AddPrinterDriver", driverError);
  }

  if (choice != PortChoice::Usb) {
    Step("Install printer...\r\n");
    std::unique_ptr<platform::InstalledPrinter> added;
    const long printerError = services_.install.AddPrinter2(PrinterRecord(printerName, choice), added);
    if (printerError != platform::kErrorSuccess) {
      ReportFailure("AddPrinter", printerError);
      window_->EndProcess(0);
      return InstallOutcome::ProcessEnded;
    }
    CarryVersion(*added);
  }

  if (!driverExists) {
    // The setup API takes the INF by its full path (Wine refuses a relative one).
    std::string inf;
    if (services_.files.FullPath(kSetupInformationFile, inf) != platform::kErrorSuccess) inf = kSetupInformationFile;
    installedInfPath_.clear();
    services_.setup.CopyOemInf(inf, platform::kSpostPath, platform::kSpCopyNoOverwrite, kInfNameBufferChars,
                               installedInfPath_);
    services_.system.WriteProfileText(kProfileSection, "DeviceNotSelectedTimeout", kInstalledTimeout);
    services_.system.WriteProfileText(kProfileSection, "TransmissionRetryTimeout", kInstalledTimeout);

    Step("Delete installed files...\r\n");
    DeleteStagedFiles();

    RegisterUninstall(services_.registry, services_.files, installedInfPath_);
    window_->SetStatusText(kCompletedText);
    window_->SetProgressPosition(kCompletedPosition);
    window_->Refresh();
    window_->ShowWaitCursor();
    ShowClosingMessage(choice);
  }

  window_->SetStatusText(kCompletedText);
  window_->SetProgressPosition(kCompletedPosition);
  window_->Refresh();
  services_.clock.Sleep(kCompletedWaitMs);
  return InstallOutcome::Completed;
}

}  // namespace installer
