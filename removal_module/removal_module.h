// The removal modules' work, portable: from the model text and the file suffix it names the
// model's forms, driver, language monitor, print processor, driver files and uninstall entry,
// and deletes them in a fixed order, restarting the spooler on the way. The two DLLs run it
// with the adapters of the platform; the unit tests with fakes.
#pragma once
#include <cstdint>
#include <string>

#include "platform/clock.h"
#include "platform/device_setup.h"
#include "platform/file_system.h"
#include "platform/print_admin.h"
#include "platform/registry.h"
#include "platform/system.h"

namespace removal_module {

// The two builds of the module differ in how the driver goes and in the INF step.
enum class ModuleBuild {
  CleanNt6,  // Vista and later: driver with all its files; the pre-installed INF uninstalled
  CleanNt5,  // 2000/XP: the driver's version only; the INF left alone
};

// Everything named after the model ("HRX-410", "E" give the values in the comments).
struct RemovalNames {
  std::string formPattern;                 // [410]
  std::string driverName;                  // KELVO HRX-410
  std::string monitorName;                 // KELVO Language Monitor HRX-410
  std::string printProcessorName;          // KELVO PRINT PROCESSOR HRX-410
  std::string monitorFile;                 // HRMON410.DLL
  std::string printProcessorFile;          // HRPRO410.dll
  std::string mainDriverFile;              // HRX410E.dll
  std::string descriptionFile;             // HRX410E.GPD
  std::string precompiledDescriptionFile;  // HRX410E.BUD
  std::string uiFile;                      // HRUI410.dll
  std::string uiSettingsFile;              // HRUI410.INI
  std::string uninstallKey;                // SOFTWARE\...\Uninstall\KELVO_HRX-410
};

// False, with `names` untouched, when the model text is shorter than 4 characters: the
// names are cut from its first 2, its first 3 and what follows its first 4 characters.
bool MakeRemovalNames(const std::string& modelName, const std::string& fileSuffix, RemovalNames& names);

// The registry keys deleted when the spooler refuses to delete an object itself.
std::string DriverFallbackKey(const std::string& environment, const std::string& modelName);
std::string PrinterFallbackKey(const std::string& modelName);
std::string MonitorFallbackKey(const std::string& modelName);
std::string PrintProcessorFallbackKey(const std::string& environment, const std::string& modelName);

struct RemovalServices {
  platform::PrintAdmin& spooler;
  platform::Registry& registry;
  platform::DeviceSetup* setup;  // used by the CleanNt6 build only; may be null for CleanNt5
  platform::FileSystem& files;
  platform::SystemServices& system;
  platform::Clock& clock;
  std::string environment;  // the spooler environment of the deletions
};

// The whole removal, once. Returns the status of deleting the uninstall key (0, or the
// Windows error code such as 2 when it did not exist). A missing text or a model text shorter
// than 4 characters deletes nothing and returns 87 (invalid parameter).
long RemoveDriverPackage(ModuleBuild build, RemovalServices& services, const char* modelName,
                         const char* fileSuffix);

}  // namespace removal_module
