// DriverInstaller: installs the driver package from the folder "driver2k" of the current
// directory and creates the printer queue. A fresh installation cleans up leftovers, copies and
// registers the language monitor and the print processor, stages the driver files, registers
// the printer driver, creates the printer on the chosen port, pre-installs the setup
// information file, sets two spooler time-outs, removes the staged files, registers the
// uninstaller and ends with a closing message. When the driver is already there it only adds
// one more printer queue under a new name.
#pragma once
#include <string>

#include "installer/installer_services.h"
#include "installer/port_type_dialog.h"

namespace installer {

// The names of the package's parts: stems after construction, complete after the name set-up.
struct DriverPackageNames {
  std::string monitorFile = "HRMON";
  std::string monitorName = "KELVO Language Monitor HRX-";
  std::string processorFile = "HRPRO";
  std::string processorName = "KELVO PRINT PROCESSOR HRX-";
  std::string printerName = "KELVO HRX-";  // also the driver's name
  std::string mainDriverFile = "HRX";
  std::string uiFile = "HRUI";
};

// The UI settings file and the printer description file: the first 7 characters of the UI
// file and of the main driver file, with ".INI" and ".GPD".
std::string UiSettingsFile(const DriverPackageNames& names);
std::string PrinterDescriptionFile(const DriverPackageNames& names);

// Fixed texts of the installation.
extern const char kPackageFolder[];        // "driver2k\"
extern const char kSetupInformationFile[];  // "Driver2k\HRX410.INF"
extern const char kDefaultDatatype[];      // "RAW"
extern const char kDefaultPrintProcessor[];  // "WinPrint", when the processor flag is clear
extern const char kUsbPrintDeviceKey[];    // "SYSTEM\CurrentControlSet\Enum\USBPRINT\KELVO_HRX-410"
extern const char kLptEnumDeviceKey[];     // "SYSTEM\CurrentControlSet\Enum\LPTENUM\KELVO_HRX-410"
extern const char kCompletedText[];        // "Completed!"
extern const char kUsbCompletedText[];
extern const char kRestartQuestionText[];

// Waits of the installation: after each step, and on "Completed!" before the process ends.
constexpr std::uint32_t kInstallStepWaitMs = 500;
constexpr std::uint32_t kCompletedWaitMs = 2000;

class DriverInstaller {
 public:
  explicit DriverInstaller(const InstallerServices& services);

  // The window the installation reports into; set before InstallDriverPackage runs.
  void SetWindowLink(InstallerWindowLink& window) { window_ = &window; }

  // Completes the names from the model number, the language letter and the processor flag
  // ("410", "E", true for this installer). Called once.
  void SetUpNames(const std::string& model, const std::string& languageLetter, bool processorFlag);

  // The whole installation on `choice`, closing message included. ProcessEnded when a failure
  // ended the process (the driver enumeration or the printer could not be added).
  InstallOutcome InstallDriverPackage(PortChoice choice);

  const DriverPackageNames& names() const { return names_; }
  bool processorFlag() const { return processorFlag_; }
  // The INF store's name for the pre-installed setup information file; empty until then.
  const std::string& installedInfPath() const { return installedInfPath_; }

 private:
  void Step(const std::string& text);
  void ReportFailure(const std::string& call, long code);
  std::string UniquePrinterName(bool driverExists);
  void CleanUpLeftovers();
  void CopyModules();
  void StageDriverFiles(const std::string& windowsDirectory);
  void DeleteStagedFiles();
  platform::DriverInfo3 DriverRecord() const;
  platform::PrinterInfo2 PrinterRecord(const std::string& printerName, PortChoice choice) const;
  void CarryVersion(platform::InstalledPrinter& printer);
  void ShowClosingMessage(PortChoice choice);

  InstallerServices services_;
  InstallerWindowLink* window_ = nullptr;
  DriverPackageNames names_;
  bool processorFlag_ = true;
  std::string installedInfPath_;
};

}  // namespace installer
