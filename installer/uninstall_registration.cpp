// The uninstall entry and the installation folder.
#include "installer/uninstall_registration.h"

#include <memory>

#include "platform/os_codes.h"
#include "uninstaller/removal_procedure/removal_procedure.h"

namespace installer {

const char kUninstallDisplayName[] = "KELVO HRX-410 Windows Driver V1.0.1E";
const char kInstallationFolderName[] = "\\HRX-410";
const char kUninstallerFile[] = "HRX410_Uninstaller.exe";
const char* const kInstallationFiles[4] = {kUninstallerFile, "CleanNT5.dll", "CleanW9x.dll", "CleanNT6.dll"};

namespace {

// KEY_READ | KEY_WRITE: the entry's key is opened to be replaced and to be written.
constexpr std::uint32_t kKeyReadWrite = 0x2001F;
constexpr std::size_t kFolderBufferChars = 256;

// The text without its terminating zero: the stored length is the text's length.
platform::RegistryValue Text(const std::string& text) {
  platform::RegistryValue value;
  value.type = platform::kRegSz;
  value.data.assign(text.begin(), text.end());
  return value;
}

}  // namespace

void RegisterUninstall(platform::Registry& registry, platform::FileSystem& files, const std::string& installedInfPath) {
  const platform::RegistryRoot machine = platform::RegistryRoot::LocalMachine;
  {
    // An entry left behind goes first, so that only this run's values remain.
    std::unique_ptr<platform::RegistryKey> old;
    if (registry.OpenKey(machine, removal::kUninstallKey, kKeyReadWrite, old) == platform::kErrorSuccess) {
      registry.DeleteKey(machine, removal::kUninstallKey);
    }
  }

  std::string windowsDirectory;
  const bool haveWindows = files.WindowsDirectory(kFolderBufferChars, windowsDirectory) == platform::kErrorSuccess;
  if (!haveWindows) windowsDirectory.clear();
  const std::string folder = windowsDirectory + kInstallationFolderName;

  {
    std::unique_ptr<platform::RegistryKey> created;
    registry.CreateKey(machine, removal::kUninstallKey, kKeyReadWrite, created);
  }
  std::unique_ptr<platform::RegistryKey> entry;
  if (registry.OpenKey(machine, removal::kUninstallKey, kKeyReadWrite, entry) == platform::kErrorSuccess) {
    entry->SetValue("DisplayName", Text(kUninstallDisplayName));
    entry->SetValue("KELVO HRX-410", Text(""));
    entry->SetValue("UninstallString", Text(folder + "\\" + kUninstallerFile));
    entry->SetValue(removal::kUninstallInfFileValue, Text(installedInfPath));
    entry.reset();
  }

  // Without the Windows folder there is nowhere to put the files.
  if (!haveWindows) return;
  files.CreateFolder(folder);
  for (const char* file : kInstallationFiles) files.Copy(file, folder + "\\" + file, false);
}

}  // namespace installer
