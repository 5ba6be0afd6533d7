// Win32 setup API adapter: one SetupDi call per operation; the interface detail is fetched
// with the size call first and then into a buffer of the size reported.
#include "platform/win32/setup_api_win32.h"

#include "platform/win32/handle_owner_win32.h"

#include <setupapi.h>

#include <cstddef>
#include <cstring>
#include <vector>

namespace platform {
namespace {

struct InfoSetTraits {
  using Handle = HDEVINFO;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { ::SetupDiDestroyDeviceInfoList(h); }
};

// The error of a call that reported failure; never success, even where the last error was
// not set.
long LastFailure() {
  const DWORD error = ::GetLastError();
  return error != ERROR_SUCCESS ? static_cast<long>(error) : static_cast<long>(ERROR_GEN_FAILURE);
}

GUID ToNative(const Guid& guid) {
  GUID native = {};
  native.Data1 = guid.data1;
  native.Data2 = guid.data2;
  native.Data3 = guid.data3;
  std::memcpy(native.Data4, guid.data4, sizeof native.Data4);
  return native;
}

Guid FromNative(const GUID& native) {
  Guid guid;
  guid.data1 = native.Data1;
  guid.data2 = native.Data2;
  guid.data3 = native.Data3;
  std::memcpy(guid.data4, native.Data4, sizeof guid.data4);
  return guid;
}

class Win32DeviceInfoSet : public DeviceInfoSet {
 public:
  explicit Win32DeviceInfoSet(HDEVINFO set) : set_(set) {}

  long EnumDeviceInterfaces(const Guid& interfaceClass, std::uint32_t index,
                            DeviceInterfaceData& data) override {
    GUID nativeClass = ToNative(interfaceClass);
    SP_DEVICE_INTERFACE_DATA native = {};
    native.cbSize = sizeof native;
    if (!::SetupDiEnumDeviceInterfaces(set_.Get(), nullptr, &nativeClass, index, &native)) return LastFailure();
    data.interfaceClassGuid = FromNative(native.InterfaceClassGuid);
    data.flags = native.Flags;
    data.reserved = native.Reserved;
    return ERROR_SUCCESS;
  }

  long GetDeviceInterfaceDetail(const DeviceInterfaceData& data, std::string& devicePath) override {
    SP_DEVICE_INTERFACE_DATA native = {};
    native.cbSize = sizeof native;
    native.InterfaceClassGuid = ToNative(data.interfaceClassGuid);
    native.Flags = data.flags;
    native.Reserved = data.reserved;

    DWORD required = 0;
    if (!::SetupDiGetDeviceInterfaceDetailA(set_.Get(), &native, nullptr, 0, &required, nullptr) &&
        ::GetLastError() != ERROR_INSUFFICIENT_BUFFER)
      return LastFailure();
    const std::size_t pathOffset = offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_A, DevicePath);
    if (required <= pathOffset) return ERROR_INVALID_DATA;
    // DWORD elements keep the record's size field aligned.
    std::vector<DWORD> buffer((required + sizeof(DWORD) - 1) / sizeof(DWORD), 0);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(buffer.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
    if (!::SetupDiGetDeviceInterfaceDetailA(set_.Get(), &native, detail, required, nullptr, nullptr))
      return LastFailure();
    const char* path = detail->DevicePath;
    const std::size_t room = required - pathOffset;
    const void* end = std::memchr(path, 0, room);
    devicePath.assign(path, end ? static_cast<const char*>(end) - path : room);
    return ERROR_SUCCESS;
  }

 private:
  win32::HandleOwner<InfoSetTraits> set_;
};

}  // namespace

std::unique_ptr<DeviceInfoSet> Win32SetupApi::GetClassDevs(const Guid* classGuid, const std::string& enumerator,
                                                           std::uint32_t flags) {
  GUID nativeClass = {};
  if (classGuid) nativeClass = ToNative(*classGuid);
  HDEVINFO set = ::SetupDiGetClassDevsA(classGuid ? &nativeClass : nullptr,
                                        enumerator.empty() ? nullptr : enumerator.c_str(), nullptr, flags);
  if (set == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<Win32DeviceInfoSet>(set);
}

}  // namespace platform
