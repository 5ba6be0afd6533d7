// The clean-up operations. Paths are built as strings; what a fixed-size platform buffer
// cannot hold is refused by the adapter rather than cut.
#include "uninstaller/cleanup/cleanup_operations.h"

#include <algorithm>
#include <cctype>
#include <memory>

#include "platform/os_codes.h"
#include "platform/spooler.h"
#include "uninstaller/cleanup/registry_text.h"

namespace removal {

const char kModelDriverName[] = "KELVO HRX-410";
const char kPerPrinterKeyRoot[] = "SOFTWARE\\KELVO_POS_PRINTER\\";
const char kPrinterClassKey[] =
    "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E979-E325-11CE-BFC1-08002BE10318}";
const char kUsbHardwareIdPrefix[] = "USB\\Vid_3C17&Pid_0006";

namespace {

constexpr auto kLocalMachine = platform::RegistryRoot::LocalMachine;
// The length of "USB\Vid_3C17&Pid_0006": vendor and product, without revision or interface.
constexpr std::size_t kHardwareIdCompareChars = 21;
constexpr std::size_t kHardwareIdBufferBytes = 100;
constexpr std::size_t kKeyNameChars = 255;  // a 256-character buffer with its zero
constexpr std::size_t kTextValueBytes = 256;
constexpr std::size_t kFolderChars = 256;
const char kInfFolder[] = "\\inf\\";
const char kKelvoSection[] = "KELVO";

char UpperAscii(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return UpperAscii(x) == UpperAscii(y); });
}

// The first hardware ID of a REG_MULTI_SZ list: up to its zero or the end of the data.
std::string FirstHardwareId(const std::vector<std::uint8_t>& data) {
  const auto end = std::find(data.begin(), data.end(), std::uint8_t{0});
  return std::string(data.begin(), end);
}

bool HardwareIdMatches(const std::string& hardwareId, const std::string& prefix) {
  return EqualIgnoringCase(hardwareId.substr(0, kHardwareIdCompareChars),
                           prefix.substr(0, kHardwareIdCompareChars));
}

std::string WithoutTrailingBackslash(const std::string& path) {
  return !path.empty() && path.back() == '\\' ? path.substr(0, path.size() - 1) : path;
}

void ClearReadOnly(platform::FileSystem& files, const std::string& path) {
  std::uint32_t attributes = 0;
  if (files.Attributes(path, attributes) != platform::kErrorSuccess) return;
  files.SetAttributes(path, attributes & ~platform::kFileAttributeReadOnly);
}

}  // namespace

std::string PrecompiledInfPath(const std::string& infPath) {
  const std::string extension = ".inf";
  if (infPath.size() < extension.size() ||
      !EqualIgnoringCase(infPath.substr(infPath.size() - extension.size()), extension)) {
    return std::string();
  }
  return infPath.substr(0, infPath.size() - extension.size()) + ".PNF";
}

void DeleteModelPrinters(platform::PrintAdmin& spooler, platform::Registry& registry,
                         const std::vector<std::string>& printerNames) {
  for (const std::string& name : printerNames) {
    {
      std::unique_ptr<platform::AdminPrinterHandle> printer;
      if (spooler.OpenPrinterByName(name, "raw", platform::kPrinterAllAccess, printer) == platform::kErrorSuccess) {
        printer->Delete();
      }
    }  // closed before its key goes
    // An empty name would name the whole per-printer root.
    if (name.empty()) continue;
    std::string keyName = name;
    std::replace(keyName.begin(), keyName.end(), ' ', '_');
    registry.DeleteTree(kLocalMachine, kPerPrinterKeyRoot + keyName);
  }
}

bool RemoveUsbDevices(platform::DeviceSetup& setup, const std::string& hardwareIdPrefix) {
  std::unique_ptr<platform::DeviceSet> devices;
  if (setup.GetEnumeratorDevices("USB", platform::kDigcfAllClasses, devices) != platform::kErrorSuccess) {
    return false;
  }
  for (std::uint32_t index = 0;; ++index) {
    platform::DeviceInfoData device;
    const long status = devices->EnumDeviceInfo(index, device);
    if (status == platform::kErrorNoMoreItems) return true;
    // Any other failure ends the enumeration: skipping on would ask index after index of a
    // set that may fail for every one of them.
    if (status != platform::kErrorSuccess) return false;
    platform::RegistryValue hardwareIds;
    if (devices->GetDeviceRegistryProperty(device, platform::kSpdrpHardwareId, kHardwareIdBufferBytes,
                                           hardwareIds) != platform::kErrorSuccess) {
      continue;
    }
    if (!HardwareIdMatches(FirstHardwareId(hardwareIds.data), hardwareIdPrefix)) continue;
    if (devices->RemoveDevice(device) != platform::kErrorSuccess) return false;
  }
}

void CollectClassInfPaths(platform::Registry& registry, std::vector<std::string>& classInfPaths) {
  classInfPaths.clear();
  std::unique_ptr<platform::RegistryKey> classKey;
  if (registry.OpenKey(kLocalMachine, kPrinterClassKey, platform::kKeyRead, classKey) != platform::kErrorSuccess) {
    return;
  }
  for (std::uint32_t index = 0;; ++index) {
    std::string subkey;
    // The end of the list, or an enumeration that fails: either way nothing more comes.
    if (classKey->EnumSubkey(index, kKeyNameChars, subkey) != platform::kErrorSuccess) break;
    std::unique_ptr<platform::RegistryKey> driverKey;
    if (registry.OpenKey(kLocalMachine, std::string(kPrinterClassKey) + "\\" + subkey, platform::kKeyRead,
                         driverKey) != platform::kErrorSuccess) {
      continue;
    }
    std::string description;
    if (!ReadRegistryText(*driverKey, "DriverDesc", kTextValueBytes, description)) continue;
    if (description != kModelDriverName) continue;
    std::string infPath;
    if (ReadRegistryText(*driverKey, "InfPath", kTextValueBytes, infPath) && !infPath.empty()) {
      classInfPaths.push_back(infPath);
    }
  }
}

void DeleteOemInfs(platform::DeviceSetup& setup, platform::FileSystem& files) {
  std::vector<std::string> infFiles;
  if (setup.GetInfFileList(platform::kInfStyleWin4, infFiles) != platform::kErrorSuccess) return;
  for (const std::string& name : infFiles) {
    if (name.compare(0, 3, "oem") != 0) continue;
    bool ours = false;
    {
      std::unique_ptr<platform::InfFile> inf;
      if (setup.OpenInf(name, platform::kInfStyleOldNt | platform::kInfStyleWin4, inf) != platform::kErrorSuccess) {
        continue;
      }
      ours = inf->FindFirstLine(kKelvoSection, kModelDriverName) == platform::kErrorSuccess;
    }  // closed before the file goes
    if (!ours) continue;
    std::string windows;
    if (files.WindowsDirectory(kFolderChars, windows) != platform::kErrorSuccess) continue;
    const std::string path = windows + kInfFolder + name;
    files.Delete(path);
    const std::string precompiled = PrecompiledInfPath(path);
    if (!precompiled.empty()) files.Delete(precompiled);
  }
}

void DeleteFolderTree(platform::FileSystem& files, const std::string& folder) {
  const std::string base = WithoutTrailingBackslash(folder);
  // An empty path would search the current drive's root, "C:" its current folder: neither is
  // a folder of ours.
  if (base.empty() || (base.size() == 2 && base[1] == ':')) return;
  ClearReadOnly(files, base);
  {
    platform::FoundFile entry;
    std::unique_ptr<platform::FileSearch> search;
    long status = files.FindFirst(base + "\\*.*", entry, search);
    for (; status == platform::kErrorSuccess; status = search->FindNext(entry)) {
      if (entry.name == "." || entry.name == "..") continue;
      const std::string path = base + "\\" + entry.name;
      if ((entry.attributes & platform::kFileAttributeDirectory) != 0) {
        // A junction or folder link is removed as a link: what it points to is not ours.
        if ((entry.attributes & platform::kFileAttributeReparsePoint) != 0) {
          ClearReadOnly(files, path);
        } else {
          DeleteFolderTree(files, path);
        }
        files.RemoveFolder(path);
      } else {
        ClearReadOnly(files, path);
        files.Delete(path);
      }
    }
  }  // the search ends before the folder goes
  files.RemoveFolder(base);
}

}  // namespace removal
