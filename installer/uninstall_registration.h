// Uninstall registration: the entry through which Windows lists the driver for removal, and
// the installation folder that holds the uninstaller and the removal modules it loads.
#pragma once
#include <string>

#include "platform/file_system.h"
#include "platform/registry.h"

namespace installer {

extern const char kUninstallDisplayName[];      // "KELVO HRX-410 Windows Driver V1.0.1E"
extern const char kInstallationFolderName[];    // "\HRX-410", below the Windows folder
extern const char kUninstallerFile[];           // "HRX410_Uninstaller.exe"
// The files copied from the current directory into the installation folder, in order.
extern const char* const kInstallationFiles[4];  // uninstaller, CleanNT5, CleanW9x, CleanNT6

// Replaces the uninstall entry under the local machine key with exactly four text values
// ("DisplayName", "KELVO HRX-410" empty, "UninstallString", "InfFile" = `installedInfPath`),
// each stored without its terminating zero; creates the installation folder and copies the
// uninstaller and the removal modules into it, overwriting. Nothing is examined or reported:
// what fails is simply missing afterwards.
void RegisterUninstall(platform::Registry& registry, platform::FileSystem& files, const std::string& installedInfPath);

}  // namespace installer
