// Installed-version detection: which version of the driver package, if any, is on the machine,
// read from the printer data of the first printer on the driver; and the replacement of a
// different version (removal, then a restart of Windows).
#pragma once
#include <cstdint>
#include <string>

#include "installer/installer_services.h"
#include "platform/print_install.h"
#include "platform/spooler.h"

namespace installer {

// Compared field by field as unsigned numbers, Major first.
struct DriverVersion {
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
  std::uint32_t build = 0;
  std::uint32_t extra = 0;
};

// This installer's version, "V1.0.1E" in its texts (the letter is the language, not compared).
constexpr DriverVersion kInstallerVersion = {1, 0, 1, 0};

// The printer data values a printer of the package carries its version in (REG_DWORD).
extern const char kMajorVersionValue[];  // "MajorVersion"
extern const char kMinorVersionValue[];  // "MinorVersion"
extern const char kBuildVersionValue[];  // "BuildVersion"
extern const char kExtraVersionValue[];  // "ExtraVersion"

// What the check looks for, independent of the names the installation builds.
extern const char kCheckedDriverName[];     // "KELVO HRX-410"
extern const char kCheckedProcessorName[];  // "KELVO PRINT PROCESSOR HRX-410"

enum class InstalledVersionState {
  OlderInstalled = 0,    // lower version, no "ExtraVersion", or driver/processor without printers
  NewerInstalled = 1,    // higher version
  NothingInstalled = 2,  // no printer on the driver, neither driver nor processor registered
  SameInstalled = 3,     // exactly this version
};

// The first local printer (in enumeration order) whose driver is `driverName` decides: its
// four version values, read as numbers that stay 0 when their read fails, against `own`; a
// failed read of "ExtraVersion" alone means older. Without such a printer, a registered driver
// `driverName` or print processor `processorName` means older. A failed enumeration counts as
// an empty list. Shows nothing.
InstalledVersionState InstalledVersionCheck(platform::Spooler& printers, platform::PrintInstall& install,
                                            const std::string& driverName, const std::string& processorName,
                                            const DriverVersion& own);

// Tells the user, runs the installer's removal procedure, tells the user that Windows restarts,
// asks for a forced restart and ends the process (exit code 0) whether or not it was granted.
// Stops at once when the removal procedure ended the process itself.
void ReplaceInstalledVersion(InstallerWindowLink& window, const InstallerServices& services);

extern const char kDifferentVersionText[];
extern const char kRemovedDifferentVersionText[];

}  // namespace installer
