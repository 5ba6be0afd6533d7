// The removal modules' work. Every step goes on past what it cannot delete; only the last
// step, the uninstall key, decides the result.
#include "removal_module/removal_module.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <vector>

#include "platform/os_codes.h"

namespace removal_module {
namespace {

constexpr auto kLocalMachine = platform::RegistryRoot::LocalMachine;
constexpr std::size_t kMinModelChars = 4;
constexpr std::size_t kFolderBytes = 256;
constexpr std::size_t kInfFileValueBytes = 256;
constexpr std::uint32_t kDriverVersion = 3;
// The spooler is given time to stop before it is started again, and to come up before the
// monitor and print processor are deleted: the commands are not waited for.
constexpr std::uint32_t kSpoolerStopWaitMs = 2000;
constexpr std::uint32_t kSpoolerStartWaitMs = 4000;
const char kUninstallKeyPrefix[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KELVO_";
const char kEnvironmentsKey[] = "SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\";

char UpperAscii(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

bool StartsWithIgnoringCase(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), text.begin(),
                    [](char a, char b) { return UpperAscii(a) == UpperAscii(b); });
}

void DeleteModelForms(platform::PrintAdmin& spooler, const std::string& formPattern) {
  std::unique_ptr<platform::AdminPrinterHandle> server;
  if (spooler.OpenPrintServer(platform::kServerAccessAdminister, server) != platform::kErrorSuccess) return;
  std::vector<std::string> forms;
  if (server->EnumFormNames(forms) != platform::kErrorSuccess) return;
  for (const std::string& form : forms) {
    if (form.find(formPattern) != std::string::npos) server->RemoveForm(form);
  }
}

void RestartSpooler(platform::SystemServices& system, platform::Clock& clock) {
  system.StartCommand("net stop spooler", platform::kShowHidden);
  clock.Sleep(kSpoolerStopWaitMs);
  system.StartCommand("net start spooler", platform::kShowHidden);
  clock.Sleep(kSpoolerStartWaitMs);
}

void DeleteDriverFiles(RemovalServices& s, const RemovalNames& names) {
  // A folder that cannot be read leaves its files alone, rather than deleting by a path
  // relative to wherever the caller runs.
  std::string system, processors, drivers, windows;
  const bool haveSystem = s.files.SystemDirectory(kFolderBytes, system) == platform::kErrorSuccess;
  const bool haveProcessors = s.spooler.PrintProcessorDirectory(kFolderBytes, processors) == platform::kErrorSuccess;
  const bool haveDrivers = s.spooler.DriverDirectory(kFolderBytes, drivers) == platform::kErrorSuccess;
  const bool haveWindows = s.files.WindowsDirectory(kFolderBytes, windows) == platform::kErrorSuccess;
  auto remove = [&s](bool have, const std::string& path) {
    if (have) s.files.Delete(path);
  };
  const std::string version3 = drivers + "\\3\\";
  remove(haveSystem, system + "\\" + names.monitorFile);
  remove(haveProcessors, processors + "\\" + names.printProcessorFile);
  remove(haveDrivers, version3 + names.mainDriverFile);
  remove(haveWindows, windows + "\\" + names.mainDriverFile);
  remove(haveDrivers, version3 + names.descriptionFile);
  remove(haveWindows, windows + "\\" + names.descriptionFile);
  remove(haveDrivers, version3 + names.precompiledDescriptionFile);
  remove(haveDrivers, version3 + names.uiFile);
  remove(haveWindows, windows + "\\" + names.uiFile);
  remove(haveDrivers, version3 + names.uiSettingsFile);
  remove(haveWindows, windows + "\\" + names.uiSettingsFile);
}

// The installer stored the full path of the pre-installed INF (the Windows INF folder +
// its oemN.inf name); the setup API wants the bare name.
void UninstallPreinstalledInf(RemovalServices& s, const RemovalNames& names) {
  if (s.setup == nullptr) return;
  std::unique_ptr<platform::RegistryKey> key;
  if (s.registry.OpenKey(kLocalMachine, names.uninstallKey, platform::kKeyRead, key) != platform::kErrorSuccess) {
    return;
  }
  platform::RegistryValue value;
  if (key->QueryValue("InfFile", kInfFileValueBytes, value) != platform::kErrorSuccess) return;
  if (value.type != platform::kRegSz && value.type != platform::kRegExpandSz) return;
  const std::string infPath(value.data.begin(), std::find(value.data.begin(), value.data.end(), std::uint8_t{0}));
  std::string windows;
  if (s.files.WindowsDirectory(kFolderBytes, windows) != platform::kErrorSuccess) return;
  const std::string infFolder = windows + "\\inf\\";
  // Anything else than a file of that folder is not the INF this driver pre-installed.
  if (!StartsWithIgnoringCase(infPath, infFolder) || infPath.size() == infFolder.size()) return;
  s.setup->UninstallOemInf(infPath.substr(infFolder.size()), platform::kSuoiForceDelete);
}

}  // namespace

bool MakeRemovalNames(const std::string& modelName, const std::string& fileSuffix, RemovalNames& names) {
  if (modelName.size() < kMinModelChars) return false;
  const std::string m2 = modelName.substr(0, 2);
  const std::string m3 = modelName.substr(0, 3);
  const std::string digits = modelName.substr(kMinModelChars);
  names.formPattern = "[" + digits + "]";
  names.driverName = "KELVO " + modelName;
  names.monitorName = "KELVO Language Monitor " + modelName;
  names.printProcessorName = "KELVO PRINT PROCESSOR " + modelName;
  names.monitorFile = m2 + "MON" + digits + ".DLL";
  names.printProcessorFile = m2 + "PRO" + digits + ".dll";
  names.mainDriverFile = m3 + digits + fileSuffix + ".dll";
  names.descriptionFile = m3 + digits + fileSuffix + ".GPD";
  names.precompiledDescriptionFile = m3 + digits + fileSuffix + ".BUD";
  names.uiFile = m2 + "UI" + digits + ".dll";
  names.uiSettingsFile = m2 + "UI" + digits + ".INI";
  names.uninstallKey = kUninstallKeyPrefix + modelName;
  return true;
}

std::string DriverFallbackKey(const std::string& environment, const std::string& modelName) {
  return kEnvironmentsKey + environment + "\\Drivers\\Version-3\\KELVO " + modelName;
}

std::string PrinterFallbackKey(const std::string& modelName) {
  return "SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\KELVO " + modelName;
}

std::string MonitorFallbackKey(const std::string& modelName) {
  return "SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors\\KELVO Language Monitor " + modelName;
}

std::string PrintProcessorFallbackKey(const std::string& environment, const std::string& modelName) {
  return kEnvironmentsKey + environment + "\\Print Processors\\KELVO PRINT PROCESSOR " + modelName;
}

long RemoveDriverPackage(ModuleBuild build, RemovalServices& s, const char* modelName, const char* fileSuffix) {
  if (modelName == nullptr || fileSuffix == nullptr) return platform::kErrorInvalidParameter;
  const std::string model = modelName;
  RemovalNames names;
  if (!MakeRemovalNames(model, fileSuffix, names)) return platform::kErrorInvalidParameter;

  DeleteModelForms(s.spooler, names.formPattern);

  const std::uint32_t driverFlags =
      build == ModuleBuild::CleanNt6 ? platform::kDeleteDriverAllFiles : platform::kDeleteDriverSpecificVersion;
  if (s.spooler.DeleteDriver(s.environment, names.driverName, driverFlags, kDriverVersion) != platform::kErrorSuccess) {
    s.registry.DeleteTree(kLocalMachine, DriverFallbackKey(s.environment, model));
    s.registry.DeleteTree(kLocalMachine, PrinterFallbackKey(model));
  }

  RestartSpooler(s.system, s.clock);

  if (s.spooler.RemoveMonitor(s.environment, names.monitorName) != platform::kErrorSuccess) {
    s.registry.DeleteTree(kLocalMachine, MonitorFallbackKey(model));
  }
  if (s.spooler.RemovePrintProcessor(s.environment, names.printProcessorName) != platform::kErrorSuccess) {
    s.registry.DeleteTree(kLocalMachine, PrintProcessorFallbackKey(s.environment, model));
  }

  DeleteDriverFiles(s, names);

  if (build == ModuleBuild::CleanNt6) UninstallPreinstalledInf(s, names);

  return s.registry.DeleteTree(kLocalMachine, names.uninstallKey);
}

}  // namespace removal_module
