// The driver removal procedure in its two variants, and the Windows version classes.
#include "uninstaller/removal_procedure/removal_procedure.h"

#include <memory>

#include "platform/os_codes.h"
#include "uninstaller/cleanup/cleanup_operations.h"
#include "uninstaller/cleanup/registry_text.h"
#include "uninstaller/registry_access/registry_access.h"

namespace removal {

const char kInstallerCaption[] = "KELVO HRX-410 installer";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KELVO_HRX-410";
const char kUninstallInfFileValue[] = "InfFile";
const char kRemovalModelArgument[] = "HRX-410";
const char kRemovalSuffixArgument[] = "E";
const char kDriverFolderName[] = "kelvo_hrx_4102d39";
const char kUninstallCompletedText[] = "Uninstall completed!";

namespace {

// Windows keeps these keys for the printer's USB and parallel device nodes; they are
// protected, so each is opened up for "Everyone" before it is deleted.
const char kUsbPrintEnumKey[] = "SYSTEM\\CurrentControlSet\\Enum\\USBPRINT\\KELVO_HRX-410";
const char kLptEnumEnumKey[] = "SYSTEM\\CurrentControlSet\\Enum\\LPTENUM\\KELVO_HRX-410";

// The installer sets both to "3" so that a missing printer fails fast; these are the
// system's own values, restored when the driver goes.
const char kProfileSection[] = "windows";
const char kDeviceNotSelectedTimeout[] = "DeviceNotSelectedTimeout";
const char kTransmissionRetryTimeout[] = "TransmissionRetryTimeout";

// The fixed buffers the platform calls were sized with.
constexpr std::size_t kPathChars = 256;
constexpr std::size_t kInfFileValueBytes = 256;
constexpr std::size_t kComputerNameChars = 256;

constexpr int kProgressComplete = 100;

enum class Variant { Uninstaller, Installer };

const char* CaptionOf(Variant variant) {
  return variant == Variant::Uninstaller ? kUninstallerCaption : kInstallerCaption;
}

// Passes the restart prompt through to the window and notes whether it ended the program.
class EndWatchingView : public RestartPromptView {
 public:
  explicit EndWatchingView(RemovalView& view) : view_(view) {}
  int ShowMessage(const std::string& text, const std::string& caption, std::uint32_t style) override {
    return view_.ShowMessage(text, caption, style);
  }
  void ShowStatus(const std::string& text) override { view_.ShowStatus(text); }
  void EndProgram(int exitCode) override {
    ended_ = true;
    view_.EndProgram(exitCode);
  }
  bool Ended() const { return ended_; }

 private:
  RemovalView& view_;
  bool ended_ = false;
};

class Procedure {
 public:
  Procedure(RemovalView& view, RemovalProcedureServices& services, Variant variant)
      : view_(view), services_(services), variant_(variant) {}

  RemovalOutcome RunUninstaller(const std::vector<std::string>& checkedPrinters, std::size_t initialPrinterCount) {
    view_.ShowWaitCursor(true);
    const bool fullRemoval = checkedPrinters.size() == initialPrinterCount;

    Step("Checking OS...");
    const OsClass osClass = ReadOsClass(services_.system);
    if (osClass == OsClass::OsTooOld) return Finish();

    // Loaded before anything is deleted, so that a missing module leaves the system whole.
    if (!LoadRemovalModule(osClass)) return RemovalOutcome::ProgramEnded;

    if (initialPrinterCount != 0) {
      Step("Delete printers...");
      DeleteModelPrinters(services_.spooler, services_.registry, checkedPrinters);
    }
    if (fullRemoval) {
      Step("Delete printer driver...");
      RemoveDriver(osClass);
    }
    module_.reset();

    if (fullRemoval) {
      RemoveLeftovers(osClass);
      EndWatchingView prompt(view_);
      RestartPrompt(prompt, services_.system, services_.clock);
      if (prompt.Ended()) return RemovalOutcome::ProgramEnded;
    }
    view_.ShowWaitCursor(false);
    return Finish();
  }

  RemovalOutcome RunInstaller() {
    // Announced without a pause: the enumeration follows at once.
    view_.ShowStatus("Delete printers...");
    view_.StepProgress();
    std::vector<platform::PrinterInfo2> printers;
    const long error = services_.printers.EnumLocalPrinters2(printers);
    if (error != platform::kErrorSuccess) {
      view_.ShowMessage(FailureMessage("EnumPrinters", error, services_.system), CaptionOf(variant_),
                        kFailureBoxStyle);
      view_.EndProgram(0);
      return RemovalOutcome::ProgramEnded;
    }
    std::vector<std::string> modelPrinters;
    for (const platform::PrinterInfo2& printer : printers) {
      if (printer.driverName == kModelDriverName) modelPrinters.push_back(printer.printerName);
    }
    DeleteModelPrinters(services_.spooler, services_.registry, modelPrinters);

    Step("Preparing to remove...");
    const OsClass osClass = ReadOsClass(services_.system);
    if (osClass == OsClass::OsTooOld) return Finish();

    if (!LoadRemovalModule(osClass)) return RemovalOutcome::ProgramEnded;
    Step(osClass == OsClass::OsNt5 ? "Remove printer drivers..." : "Remove printer driver...");
    RemoveDriver(osClass);
    module_.reset();
    RemoveLeftovers(osClass);
    return Finish();
  }

 private:
  // Announces a step: status, one step of the bar, and time for the user to read it.
  void Step(const std::string& status) {
    view_.ShowStatus(status);
    view_.StepProgress();
    services_.clock.Sleep(kRemovalStepPauseMs);
  }

  RemovalOutcome Finish() {
    view_.ShowStatus(kUninstallCompletedText);
    view_.SetProgressPosition(kProgressComplete);
    services_.clock.Sleep(kRemovalStepPauseMs);
    if (variant_ == Variant::Uninstaller) view_.CloseDialog();
    return RemovalOutcome::Completed;
  }

  // Loads the class's module by bare name and finds its export; on failure tells the user
  // and ends the program.
  bool LoadRemovalModule(OsClass osClass) {
    const RemovalModuleName name = RemovalModuleFor(osClass);
    if (services_.system.LoadModule(name.file, module_) != platform::kErrorSuccess) {
      return Fail("Fail to load " + name.file);
    }
    if (module_->FindTextPairFunction(name.exportName, removeDriverPackage_) != platform::kErrorSuccess) {
      return Fail("Fail to load " + name.exportName + " function");
    }
    return true;
  }

  bool Fail(const std::string& text) {
    module_.reset();
    view_.ShowMessage(text, CaptionOf(variant_), kFailureBoxStyle);
    view_.EndProgram(0);
    return false;
  }

  void RemoveDriver(OsClass osClass) {
    if (osClass == OsClass::OsNt5) DeleteInstalledInf();
    // The module's result is its own business: whatever it could not delete stays.
    removeDriverPackage_(kRemovalModelArgument, kRemovalSuffixArgument);
    if (osClass == OsClass::OsNt5 && variant_ == Variant::Uninstaller) DeleteClassInfs();
    RemoveUsbDevices(services_.setup, kUsbHardwareIdPrefix);
    DeleteDeviceKeys();
    services_.system.WriteProfileText(kProfileSection, kDeviceNotSelectedTimeout, "15");
    services_.system.WriteProfileText(kProfileSection, kTransmissionRetryTimeout, "90");
  }

  // The OEM INF copy whose full path the installer recorded, and its precompiled file. Read
  // before the module runs: the module deletes the uninstall key.
  void DeleteInstalledInf() {
    std::unique_ptr<platform::RegistryKey> key;
    if (services_.registry.OpenKey(platform::RegistryRoot::LocalMachine, kUninstallKey, platform::kKeyRead, key) !=
        platform::kErrorSuccess) {
      return;
    }
    std::string infPath;
    if (!ReadRegistryText(*key, kUninstallInfFileValue, kInfFileValueBytes, infPath)) return;
    services_.files.Delete(infPath);
    if (infPath.size() >= 3) services_.files.Delete(infPath.substr(0, infPath.size() - 3) + "PNF");
  }

  // The INF files that Windows installed the driver from, as its printer-class keys name them.
  void DeleteClassInfs() {
    std::vector<std::string> classInfPaths;
    CollectClassInfPaths(services_.registry, classInfPaths);
    if (classInfPaths.empty()) return;
    std::string windowsFolder;
    if (services_.files.WindowsDirectory(kPathChars, windowsFolder) != platform::kErrorSuccess) return;
    for (const std::string& infName : classInfPaths) {
      const std::string path = windowsFolder + "\\inf\\" + infName;
      services_.files.Delete(path);
      const std::string precompiled = PrecompiledInfPath(path);
      if (!precompiled.empty()) services_.files.Delete(precompiled);
    }
  }

  void DeleteDeviceKeys() {
    std::string computer;
    services_.system.ComputerName(kComputerNameChars, computer);  // without it the grant fails; the delete still runs
    const std::string prefix = "\\\\" + computer + "\\HKLM\\";
    GrantAndDeleteKey(services_.security, services_.registry, prefix + kUsbPrintEnumKey, kUsbPrintEnumKey);
    GrantAndDeleteKey(services_.security, services_.registry, prefix + kLptEnumEnumKey, kLptEnumEnumKey);
  }

  // After the module: the OEM INF files that name the driver (2000/XP) and the driver's folder.
  void RemoveLeftovers(OsClass osClass) {
    if (osClass == OsClass::OsNt5) DeleteOemInfs(services_.setup, services_.files);
    std::string driverDirectory;
    // Without the spooler's folder the driver folder's path is unknown: deleting a guess
    // could hit an unrelated folder, so nothing is deleted.
    if (services_.spooler.DriverDirectory(kPathChars, driverDirectory) != platform::kErrorSuccess) return;
    if (driverDirectory.empty()) return;
    DeleteFolderTree(services_.files, driverDirectory + "\\" + kDriverFolderName);
  }

  RemovalView& view_;
  RemovalProcedureServices& services_;
  Variant variant_;
  std::unique_ptr<platform::LoadedModule> module_;
  platform::TextPairFunction removeDriverPackage_;
};

}  // namespace

OsClass ClassifyOs(const platform::OsVersion& version) {
  const std::uint32_t major = version.majorVersion;
  const std::uint32_t minor = version.minorVersion;
  if (version.platformId == kPlatformWindows9x) {
    // 95, 98 and Me; anything else claiming the 9x platform is treated as new.
    if (major == 4 && (minor == 0 || minor == 10 || minor == 90)) return OsClass::OsTooOld;
    return OsClass::OsNt6;
  }
  if (version.platformId == kPlatformNt) {
    if (major <= 4) return OsClass::OsTooOld;
    if (major == 5 && minor <= 2) return OsClass::OsNt5;
    return OsClass::OsNt6;
  }
  return OsClass::OsNt6;
}

OsClass ReadOsClass(platform::SystemServices& system) {
  platform::OsVersion version;
  if (system.QueryVersion(version) != platform::kErrorSuccess) {
    version = platform::OsVersion();
    if (system.QueryVersion(version) != platform::kErrorSuccess) version = platform::OsVersion();
  }
  return ClassifyOs(version);
}

RemovalModuleName RemovalModuleFor(OsClass osClass) {
  switch (osClass) {
    case OsClass::OsNt5:
      return {"CleanNT5.DLL", "RemoveFromWin2k"};
    case OsClass::OsNt6:
      return {"CleanNT6.DLL", "RemoveFromVISTA"};
    case OsClass::OsTooOld:
      break;
  }
  return {};
}

std::string FailureMessage(const std::string& call, long code, platform::SystemServices& system) {
  return call + " Error Code: " + std::to_string(code) + "\n\n" + system.ErrorText(code, kErrorTextLanguage);
}

RemovalOutcome RunUninstallerRemoval(RemovalView& view, RemovalProcedureServices& services,
                                     const std::vector<std::string>& checkedPrinters,
                                     std::size_t initialPrinterCount) {
  return Procedure(view, services, Variant::Uninstaller).RunUninstaller(checkedPrinters, initialPrinterCount);
}

RemovalOutcome RunInstallerRemoval(RemovalView& view, RemovalProcedureServices& services) {
  return Procedure(view, services, Variant::Installer).RunInstaller();
}

}  // namespace removal
