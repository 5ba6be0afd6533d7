// End-to-end tests under Wine of the removal side's building blocks on real Win32 objects:
// a folder tree with read-only entries, a device key whose access list first keeps Everyone
// from deleting it, USB devices registered through the setup API, a printer with its
// per-printer key, and the adapters of the system services up to (never into) a restart.
#include <windows.h>
#include <aclapi.h>
#include <setupapi.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/device_setup_win32.h"
#include "platform/win32/file_system_win32.h"
#include "platform/win32/print_admin_win32.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/security_win32.h"
#include "platform/win32/system_win32.h"
#include "tests/wine/ui_driver.h"
#include "uninstaller/cleanup/cleanup_operations.h"
#include "uninstaller/registry_access/registry_access.h"

namespace {

std::string LastErrorText(const std::string& call) { return call + " failed with " + std::to_string(GetLastError()); }

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void MakeFile(const std::string& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
  uidriver::OwnedHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, attributes, nullptr));
  ASSERT_NE(file.get(), INVALID_HANDLE_VALUE) << LastErrorText("CreateFileA " + path);
}

void MakeFolder(const std::string& path) {
  ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << LastErrorText("CreateDirectoryA " + path);
}

std::string TempFolder() {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  return temp;  // ends with "\"
}

TEST(DeleteFolderTree, RealTreeWithReadOnlyEntries) {
  for (const char* trailing : {"", "\\"}) {
    SCOPED_TRACE(std::string("trailing \"") + trailing + "\"");
    const std::string parent = TempFolder() + "kit_driver_dir";
    const std::string tree = parent + "\\kelvo_hrx_4102d39";
    CreateDirectoryA(parent.c_str(), nullptr);
    ASSERT_NO_FATAL_FAILURE(MakeFolder(tree));
    ASSERT_NO_FATAL_FAILURE(MakeFile(tree + "\\HRX410E.dll", FILE_ATTRIBUTE_READONLY));
    ASSERT_NO_FATAL_FAILURE(MakeFolder(tree + "\\sub"));
    ASSERT_NO_FATAL_FAILURE(MakeFolder(tree + "\\sub\\deeper"));
    ASSERT_NO_FATAL_FAILURE(MakeFile(tree + "\\sub\\deeper\\HRUI410.INI", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    ASSERT_NO_FATAL_FAILURE(MakeFile(tree + "\\sub\\HRX410E.GPD"));
    ASSERT_NO_FATAL_FAILURE(MakeFolder(tree + "\\locked"));
    ASSERT_NO_FATAL_FAILURE(MakeFile(tree + "\\locked\\HRUI410.dll", FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(SetFileAttributesA((tree + "\\locked").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
    ASSERT_TRUE(SetFileAttributesA(tree.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
    ASSERT_NO_FATAL_FAILURE(MakeFile(parent + "\\beside.dll", FILE_ATTRIBUTE_READONLY));
    // A plain delete cannot take a read-only file: the tree's own handling is what is tested.
    ASSERT_FALSE(DeleteFileA((tree + "\\HRX410E.dll").c_str()));

    platform::Win32FileSystem files;
    removal::DeleteFolderTree(files, tree + trailing);

    EXPECT_FALSE(Exists(tree));
    EXPECT_TRUE(Exists(parent + "\\beside.dll"));
    SetFileAttributesA((parent + "\\beside.dll").c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA((parent + "\\beside.dll").c_str());
    RemoveDirectoryA(parent.c_str());
  }
}

constexpr char kDeviceKey[] = "SYSTEM\\CurrentControlSet\\Enum\\USBPRINT\\KELVO_HRX-410";

// Adds an entry to the key's access list the way an administrator's tool would.
void AddToAccessList(HKEY key, ACCESS_MODE mode, DWORD rights) {
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  ASSERT_EQ(GetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl, nullptr,
                            &descriptor),
            static_cast<DWORD>(ERROR_SUCCESS));
  EXPLICIT_ACCESS_A entry = {};
  BuildExplicitAccessWithNameA(&entry, const_cast<char*>("Everyone"), rights, mode, CONTAINER_INHERIT_ACE);
  PACL merged = nullptr;
  ASSERT_EQ(SetEntriesInAclA(1, &entry, dacl, &merged), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(SetSecurityInfo(key, SE_REGISTRY_KEY, DACL_SECURITY_INFORMATION, nullptr, nullptr, merged, nullptr),
            static_cast<DWORD>(ERROR_SUCCESS));
  LocalFree(merged);
  LocalFree(descriptor);
}

TEST(GrantAndDeleteKey, OpensUpAKeyThatDeniesEveryoneAndDeletesIt) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, (std::string(kDeviceKey) + "\\5&1a2b&0&1").c_str(), 0, nullptr, 0,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, "DeviceDesc", 0, REG_SZ, reinterpret_cast<const BYTE*>("HRX-410"), 8);
  RegCloseKey(key);
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kDeviceKey, 0, READ_CONTROL | WRITE_DAC, &key), ERROR_SUCCESS);
  ASSERT_NO_FATAL_FAILURE(AddToAccessList(key, DENY_ACCESS, KEY_QUERY_VALUE));
  RegCloseKey(key);
  // The deny entry really keeps the key: without the grant it cannot be deleted.
  platform::Win32Registry registry;
  ASSERT_EQ(registry.DeleteTree(platform::RegistryRoot::LocalMachine, kDeviceKey), ERROR_ACCESS_DENIED);

  platform::Win32SystemServices system;
  std::string computer;
  ASSERT_EQ(system.ComputerName(256, computer), ERROR_SUCCESS);
  platform::Win32RegistrySecurity security;
  removal::GrantAndDeleteKey(security, registry, "\\\\" + computer + "\\HKLM\\" + kDeviceKey, kDeviceKey);

  EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kDeviceKey, 0, KEY_READ, &key), ERROR_SUCCESS)
      << "the key is still there";
}

TEST(ApplyKeyPermission, ErrorCodesFromThePlatform) {
  platform::Win32RegistrySecurity security;
  EXPECT_EQ(removal::ApplyKeyPermission(security, "HKLM\\SOFTWARE\\KitNoSuchKey", "/PG:Everyone:Fc"),
            ERROR_FILE_NOT_FOUND);
  // An unknown trustee: Windows answers 1332 (no mapping), Wine 87; either way the merge's
  // own code comes back and nothing is written.
  EXPECT_NE(removal::ApplyKeyPermission(security, "HKLM\\SOFTWARE", "/PG:NoSuchAccountOfTheKit:Fc"),
            ERROR_SUCCESS);
}

// A device of the USB enumerator registered the way Windows keeps one.
void RegisterUsbDevice(const std::string& instanceId, const std::string& hardwareIds) {
  HDEVINFO set = SetupDiCreateDeviceInfoList(nullptr, nullptr);
  ASSERT_NE(set, INVALID_HANDLE_VALUE);
  SP_DEVINFO_DATA device = {};
  device.cbSize = sizeof(device);
  const GUID printerClass = {0x4D36E979, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
  const bool made = SetupDiCreateDeviceInfoA(set, instanceId.c_str(), &printerClass, nullptr, nullptr, 0, &device) &&
                    SetupDiRegisterDeviceInfo(set, &device, 0, nullptr, nullptr, nullptr) &&
                    SetupDiSetDeviceRegistryPropertyA(set, &device, SPDRP_HARDWAREID,
                                                      reinterpret_cast<const BYTE*>(hardwareIds.data()),
                                                      static_cast<DWORD>(hardwareIds.size()));
  const DWORD error = GetLastError();
  SetupDiDestroyDeviceInfoList(set);
  ASSERT_TRUE(made) << "registering " << instanceId << " failed with " << error;
}

bool DeviceListed(const std::string& instanceId) {
  HDEVINFO set = SetupDiGetClassDevsA(nullptr, "USB", nullptr, DIGCF_ALLCLASSES);
  bool found = false;
  SP_DEVINFO_DATA device = {};
  device.cbSize = sizeof(device);
  for (DWORD i = 0; SetupDiEnumDeviceInfo(set, i, &device); ++i) {
    char id[200] = {};  // MAX_DEVICE_ID_LEN
    if (SetupDiGetDeviceInstanceIdA(set, &device, id, sizeof(id), nullptr) && _stricmp(id, instanceId.c_str()) == 0) {
      found = true;
    }
  }
  SetupDiDestroyDeviceInfoList(set);
  return found;
}

TEST(RemoveUsbDevices, RemovesTheModelsDevicesOnly) {
  const std::string ours = "USB\\VID_3C17&PID_0006\\KIT0001";
  const std::string other = "USB\\VID_04B8&PID_0202\\KIT0002";
  ASSERT_NO_FATAL_FAILURE(RegisterUsbDevice(ours, std::string("usb\\vid_3c17&pid_0006&rev_0100\0usb\\vid_3c17&pid_0006\0\0", 54)));
  ASSERT_NO_FATAL_FAILURE(RegisterUsbDevice(other, std::string("USB\\VID_04B8&PID_0202\0\0", 23)));
  ASSERT_TRUE(DeviceListed(ours));

  platform::Win32DeviceSetup setup;
  EXPECT_TRUE(removal::RemoveUsbDevices(setup, removal::kUsbHardwareIdPrefix));

  EXPECT_FALSE(DeviceListed(ours));
  EXPECT_TRUE(DeviceListed(other));
}

// A driver of placeholder files for a test printer to use: a fresh prefix has none.
std::string InstallPlaceholderDriver() {
  BYTE folder[MAX_PATH] = {};
  DWORD needed = 0;
  if (!GetPrinterDriverDirectoryA(nullptr, nullptr, 1, folder, sizeof(folder), &needed)) return "";
  const std::string version3 = reinterpret_cast<const char*>(folder) + std::string("\\3");
  CreateDirectoryA(version3.c_str(), nullptr);
  std::string driverPath = version3 + "\\kitdrv.dll", dataFile = version3 + "\\kitdrv.gpd",
              configFile = version3 + "\\kitui.dll";
  for (const std::string& file : {driverPath, dataFile, configFile}) {
    uidriver::OwnedHandle handle(CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  }
  DRIVER_INFO_3A driver = {};
  driver.cVersion = 3;
  driver.pName = const_cast<char*>("KELVO Test Driver");
  driver.pDriverPath = &driverPath[0];
  driver.pDataFile = &dataFile[0];
  driver.pConfigFile = &configFile[0];
  return AddPrinterDriverA(nullptr, 3, reinterpret_cast<BYTE*>(&driver)) ? driver.pName : "";
}

TEST(DeleteModelPrinters, DeletesThePrinterAndItsKey) {
  const std::string driver = InstallPlaceholderDriver();
  ASSERT_FALSE(driver.empty()) << LastErrorText("AddPrinterDriverA");
  const std::string name = "KELVO Front Desk";
  PRINTER_INFO_2A info = {};
  info.pPrinterName = const_cast<char*>(name.c_str());
  info.pPortName = const_cast<char*>("FILE:");
  info.pDriverName = const_cast<char*>(driver.c_str());
  info.pPrintProcessor = const_cast<char*>("WinPrint");
  info.pDatatype = const_cast<char*>("RAW");
  HANDLE added = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info));
  ASSERT_NE(added, nullptr) << LastErrorText("AddPrinterA");
  ClosePrinter(added);
  const std::string perPrinterKey = "SOFTWARE\\KELVO_POS_PRINTER\\KELVO_Front_Desk";
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, (perPrinterKey + "\\Settings").c_str(), 0, nullptr, 0, KEY_WRITE,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(key);

  platform::Win32PrintAdmin spooler;
  platform::Win32Registry registry;
  removal::DeleteModelPrinters(spooler, registry, {name});

  HANDLE printer = nullptr;
  EXPECT_FALSE(OpenPrinterA(const_cast<char*>(name.c_str()), &printer, nullptr)) << "the printer is still there";
  if (printer) ClosePrinter(printer);
  EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, perPrinterKey.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
}

// Everything of RestartWindows except the restart itself, which would end every process of
// the prefix, this test included.
TEST(SystemServices, ShutdownPrivilegeCanBeEnabledButNotAnUnheldOne) {
  platform::Win32SystemServices system;
  std::unique_ptr<platform::AccessToken> token;
  ASSERT_EQ(system.OpenProcessToken(platform::kTokenAdjustPrivileges | platform::kTokenQuery, token), ERROR_SUCCESS);
  platform::Luid shutdown;
  ASSERT_EQ(system.LookupPrivilege("SeShutdownPrivilege", shutdown), ERROR_SUCCESS);
  EXPECT_EQ(token->AdjustPrivilege(shutdown, platform::kPrivilegeEnabled), ERROR_SUCCESS);
  platform::Luid unknown;
  EXPECT_EQ(system.LookupPrivilege("SeNoSuchPrivilegeOfTheKit", unknown), ERROR_NO_SUCH_PRIVILEGE);
}

TEST(SystemServices, VersionAndProfileStrings) {
  platform::Win32SystemServices system;
  platform::OsVersion version;
  ASSERT_EQ(system.QueryVersion(version), ERROR_SUCCESS);
  EXPECT_EQ(version.platformId, static_cast<std::uint32_t>(VER_PLATFORM_WIN32_NT));
  EXPECT_GE(version.majorVersion, 5u);

  ASSERT_TRUE(system.WriteProfileText("windows", "TransmissionRetryTimeout", "90"));
  char value[16] = {};
  GetProfileStringA("windows", "TransmissionRetryTimeout", "", value, sizeof(value));
  EXPECT_STREQ(value, "90");
}

}  // namespace
