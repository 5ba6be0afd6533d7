// Installed-version detection and the replacement of a different version.
#include "installer/installed_version.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/os_codes.h"
#include "uninstaller/restart/restart.h"

namespace installer {

const char kMajorVersionValue[] = "MajorVersion";
const char kMinorVersionValue[] = "MinorVersion";
const char kBuildVersionValue[] = "BuildVersion";
const char kExtraVersionValue[] = "ExtraVersion";
const char kCheckedDriverName[] = "KELVO HRX-410";
const char kCheckedProcessorName[] = "KELVO PRINT PROCESSOR HRX-410";

const char kDifferentVersionText[] =
    "There is different version driver in this system.\r\n\r\nThe installed driver will be removed.";
const char kRemovedDifferentVersionText[] =
    "Installer  has successfully removed different version.\n"
    "Now it's going to restart your computer to take effect. Please wait."
    "\n\nAfter restarting, you may reinstall our driver again.";

namespace {

// A printer opened with the data type "RAW" and full access, as the version is read.
constexpr char kVersionReadDatatype[] = "RAW";
// Each value is read into a buffer of one 32-bit number.
constexpr std::size_t kVersionValueBytes = 4;

// Reads one version value into `number`, which keeps its value when the read fails. The
// bytes the call wrote are taken as a little-endian number, whatever type the value has.
bool ReadVersionValue(platform::InstalledPrinter& printer, const char* name, std::uint32_t& number) {
  platform::RegistryValue value;
  if (printer.GetData(name, kVersionValueBytes, value) != platform::kErrorSuccess) return false;
  std::uint32_t read = 0;
  for (std::size_t i = 0; i < value.data.size() && i < kVersionValueBytes; ++i) {
    read |= static_cast<std::uint32_t>(value.data[i]) << (8 * i);
  }
  number = read;
  return true;
}

InstalledVersionState Compare(const DriverVersion& own, const DriverVersion& installed) {
  const std::uint32_t ownFields[] = {own.major, own.minor, own.build, own.extra};
  const std::uint32_t installedFields[] = {installed.major, installed.minor, installed.build, installed.extra};
  for (int i = 0; i < 4; ++i) {
    if (ownFields[i] > installedFields[i]) return InstalledVersionState::OlderInstalled;
    if (ownFields[i] < installedFields[i]) return InstalledVersionState::NewerInstalled;
  }
  return InstalledVersionState::SameInstalled;
}

InstalledVersionState VersionOfPrinter(platform::PrintInstall& install, const std::string& printerName,
                                       const DriverVersion& own) {
  DriverVersion installed;
  bool extraRead = false;
  std::unique_ptr<platform::InstalledPrinter> printer;
  if (install.OpenPrinter(printerName, kVersionReadDatatype, platform::kPrinterAllAccess, printer) ==
      platform::kErrorSuccess) {
    // Only the read of "ExtraVersion" is judged; the others just stay 0 when they fail.
    ReadVersionValue(*printer, kMajorVersionValue, installed.major);
    ReadVersionValue(*printer, kMinorVersionValue, installed.minor);
    ReadVersionValue(*printer, kBuildVersionValue, installed.build);
    extraRead = ReadVersionValue(*printer, kExtraVersionValue, installed.extra);
  }
  if (!extraRead) return InstalledVersionState::OlderInstalled;
  return Compare(own, installed);
}

bool Contains(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

InstalledVersionState InstalledVersionCheck(platform::Spooler& printers, platform::PrintInstall& install,
                                            const std::string& driverName, const std::string& processorName,
                                            const DriverVersion& own) {
  std::vector<platform::PrinterInfo2> local;
  if (printers.EnumLocalPrinters2(local) != platform::kErrorSuccess) local.clear();
  for (const platform::PrinterInfo2& printer : local) {
    if (printer.driverName == driverName) return VersionOfPrinter(install, printer.printerName, own);
  }

  std::vector<std::string> drivers;
  if (install.EnumDriverNames4(drivers) == platform::kErrorSuccess && Contains(drivers, driverName)) {
    return InstalledVersionState::OlderInstalled;
  }
  std::vector<std::string> processors;
  if (install.EnumPrintProcessorNames(processors) == platform::kErrorSuccess && Contains(processors, processorName)) {
    return InstalledVersionState::OlderInstalled;
  }
  return InstalledVersionState::NothingInstalled;
}

void ReplaceInstalledVersion(InstallerWindowLink& window, const InstallerServices& services) {
  window.ShowOwnedMessage(kDifferentVersionText, kInstallerCaption, kInformationBox);
  removal::RemovalProcedureServices removalServices = services.ForRemoval();
  if (removal::RunInstallerRemoval(window.RemovalReport(), removalServices) ==
      removal::RemovalOutcome::ProgramEnded) {
    return;
  }
  window.ShowOwnedMessage(kRemovedDifferentVersionText, kInstallerCaption, kInformationBox);
  removal::RestartWindows(services.system);
  window.EndProcess(0);
}

}  // namespace installer
