// Win32 setup API adapter of the removal side and the installer. SetupUninstallOEMInfA arrived
// with Windows XP and SetupCopyOEMInfA with Windows 2000: they are looked up in the already
// loaded setup library at run time, so that the modules still load on Windows 2000 and the
// installer on Windows 98.
#include "platform/win32/device_setup_win32.h"

#include "platform/win32/removal_handles_win32.h"

#include <setupapi.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace platform {
namespace {

struct DeviceSetTraits {
  using Handle = HDEVINFO;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { ::SetupDiDestroyDeviceInfoList(h); }
};

struct InfTraits {
  using Handle = HINF;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { ::SetupCloseInfFile(h); }
};

SP_DEVINFO_DATA ToNative(const DeviceInfoData& device) {
  SP_DEVINFO_DATA native = {};
  native.cbSize = sizeof(native);
  native.ClassGuid.Data1 = device.classGuid.data1;
  native.ClassGuid.Data2 = device.classGuid.data2;
  native.ClassGuid.Data3 = device.classGuid.data3;
  std::memcpy(native.ClassGuid.Data4, device.classGuid.data4, sizeof(native.ClassGuid.Data4));
  native.DevInst = device.devInst;
  native.Reserved = device.reserved;
  return native;
}

DeviceInfoData FromNative(const SP_DEVINFO_DATA& native) {
  DeviceInfoData device;
  device.classGuid.data1 = native.ClassGuid.Data1;
  device.classGuid.data2 = native.ClassGuid.Data2;
  device.classGuid.data3 = native.ClassGuid.Data3;
  std::memcpy(device.classGuid.data4, native.ClassGuid.Data4, sizeof(device.classGuid.data4));
  device.devInst = native.DevInst;
  device.reserved = native.Reserved;
  return device;
}

class Win32DeviceSet : public DeviceSet {
 public:
  explicit Win32DeviceSet(HDEVINFO set) : set_(set) {}

  long EnumDeviceInfo(std::uint32_t index, DeviceInfoData& device) override {
    SP_DEVINFO_DATA native = {};
    native.cbSize = sizeof(native);
    if (!::SetupDiEnumDeviceInfo(set_.Get(), index, &native)) return win32::FailureCode();
    device = FromNative(native);
    return ERROR_SUCCESS;
  }

  long GetDeviceRegistryProperty(const DeviceInfoData& device, std::uint32_t property,
                                 std::size_t bufferBytes, RegistryValue& value) override {
    if (bufferBytes > MAXDWORD) return ERROR_INVALID_PARAMETER;
    SP_DEVINFO_DATA native = ToNative(device);
    std::vector<std::uint8_t> buffer(std::max<std::size_t>(bufferBytes, 1), 0);
    DWORD type = REG_NONE;
    DWORD required = 0;
    if (!::SetupDiGetDeviceRegistryPropertyA(set_.Get(), &native, property, &type, buffer.data(),
                                             static_cast<DWORD>(bufferBytes), &required)) {
      return win32::FailureCode();
    }
    buffer.resize(std::min<std::size_t>(required, bufferBytes));
    value.type = type;
    value.data = std::move(buffer);
    return ERROR_SUCCESS;
  }

  long RemoveDevice(const DeviceInfoData& device) override {
    SP_DEVINFO_DATA native = ToNative(device);
    return ::SetupDiRemoveDevice(set_.Get(), &native) ? ERROR_SUCCESS : win32::FailureCode();
  }

 private:
  win32::HandleOwner<DeviceSetTraits> set_;
};

class Win32InfFile : public InfFile {
 public:
  explicit Win32InfFile(HINF inf) : inf_(inf) {}

  long FindFirstLine(const std::string& section, const std::string& key) override {
    INFCONTEXT context = {};
    return ::SetupFindFirstLineA(inf_.Get(), section.c_str(), key.c_str(), &context) ? ERROR_SUCCESS
                                                                                       : win32::FailureCode();
  }

 private:
  win32::HandleOwner<InfTraits> inf_;
};

}  // namespace

long Win32DeviceSetup::GetEnumeratorDevices(const std::string& enumerator, std::uint32_t flags,
                                            std::unique_ptr<DeviceSet>& set) {
  HDEVINFO devices = ::SetupDiGetClassDevsA(nullptr, enumerator.c_str(), nullptr, flags);
  if (devices == INVALID_HANDLE_VALUE) return win32::FailureCode();
  set = std::make_unique<Win32DeviceSet>(devices);
  return ERROR_SUCCESS;
}

long Win32DeviceSetup::GetInfFileList(std::uint32_t style, std::vector<std::string>& names) {
  DWORD required = 0;
  if (!::SetupGetInfFileListA(nullptr, style, nullptr, 0, &required)) {
    const long error = win32::FailureCode();
    if (error != ERROR_INSUFFICIENT_BUFFER) return error;
  }
  std::vector<char> buffer(std::max<DWORD>(required, 1), '\0');
  if (required > 0 &&
      !::SetupGetInfFileListA(nullptr, style, buffer.data(), static_cast<DWORD>(buffer.size()), &required)) {
    return win32::FailureCode();
  }
  // Names, each ended by a zero; an empty name (or the buffer's end) ends the list.
  names.clear();
  auto it = buffer.begin();
  while (it != buffer.end() && *it != '\0') {
    auto end = std::find(it, buffer.end(), '\0');
    names.emplace_back(it, end);
    it = end == buffer.end() ? end : end + 1;
  }
  return ERROR_SUCCESS;
}

long Win32DeviceSetup::OpenInf(const std::string& name, std::uint32_t style, std::unique_ptr<InfFile>& inf) {
  HINF opened = ::SetupOpenInfFileA(name.c_str(), nullptr, style, nullptr);
  if (opened == INVALID_HANDLE_VALUE) return win32::FailureCode();
  inf = std::make_unique<Win32InfFile>(opened);
  return ERROR_SUCCESS;
}

long Win32DeviceSetup::UninstallOemInf(const std::string& infFileName, std::uint32_t flags) {
  using UninstallFunction = BOOL(WINAPI*)(PCSTR, DWORD, PVOID);
  // The setup library is among this program's imports, so it is loaded for as long as the
  // program runs: no reference of our own to hold.
  HMODULE setup = ::GetModuleHandleA("setupapi.dll");
  const auto uninstall = setup ? win32::BindFunction<UninstallFunction>(setup, "SetupUninstallOEMInfA") : nullptr;
  if (uninstall == nullptr) return ERROR_PROC_NOT_FOUND;
  return uninstall(infFileName.c_str(), flags, nullptr) ? ERROR_SUCCESS : win32::FailureCode();
}

long Win32DeviceSetup::CopyOemInf(const std::string& sourceInf, std::uint32_t mediaType, std::uint32_t copyStyle,
                                  std::size_t bufferChars, std::string& destination) {
  if (bufferChars == 0 || bufferChars > MAXDWORD) return ERROR_INVALID_PARAMETER;
  // Windows 2000 brought it: bound at run time, so that the installer still loads on Windows 98
  // to tell the user that it does not run there.
  using CopyFunction = BOOL(WINAPI*)(PCSTR, PCSTR, DWORD, DWORD, PSTR, DWORD, PDWORD, PSTR*);
  HMODULE setup = ::GetModuleHandleA("setupapi.dll");
  const auto copy = setup ? win32::BindFunction<CopyFunction>(setup, "SetupCopyOEMInfA") : nullptr;
  if (copy == nullptr) return ERROR_PROC_NOT_FOUND;
  std::vector<char> buffer(bufferChars, '\0');
  const BOOL copied = copy(sourceInf.c_str(), nullptr, mediaType, copyStyle, buffer.data(),
                           static_cast<DWORD>(bufferChars), nullptr, nullptr);
  const long result = copied ? ERROR_SUCCESS : win32::FailureCode();
  // Only a copy, or a refusal because the INF is in the store already, names a file; after
  // other failures the buffer is not to be trusted (Wine fills it from memory it never set).
  if (result != ERROR_SUCCESS && result != ERROR_FILE_EXISTS) {
    destination.clear();
    return result;
  }
  // The call may leave the buffer without its zero when it refuses a name that is too long.
  destination.assign(buffer.data(), std::find(buffer.begin(), buffer.end(), '\0') - buffer.begin());
  return result;
}

}  // namespace platform
