// Win32 device notification adapter. The window is of a plain class of this program whose
// procedure hands WM_DEVICECHANGE to the sink given at creation and leaves every other
// message to DefWindowProcA. All calls exist from Windows 98 on.
#include "platform/win32/device_notifications_win32.h"

#include "platform/win32/handle_owner_win32.h"

#include <dbt.h>

#include <cstddef>

namespace platform {
namespace {

const char kWindowClassName[] = "KoraDeviceNotificationWindow";

struct WindowTraits {
  using Handle = HWND;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { ::DestroyWindow(h); }
};

GUID ToNative(const Guid& guid) {
  GUID native = {};
  native.Data1 = guid.data1;
  native.Data2 = guid.data2;
  native.Data3 = guid.data3;
  for (int i = 0; i < 8; ++i) native.Data4[i] = guid.data4[i];
  return native;
}

// What the logic reads of WM_DEVICECHANGE's lParam: the header's device type and, for a
// handle event whose record is long enough to hold it, the handle.
DeviceChangeData FromNative(const DEV_BROADCAST_HDR& header) {
  DeviceChangeData data;
  data.deviceType = header.dbch_devicetype;
  if (header.dbch_devicetype == DBT_DEVTYP_HANDLE &&
      header.dbch_size >= offsetof(DEV_BROADCAST_HANDLE, dbch_handle) + sizeof(HANDLE)) {
    const auto& handleEvent = reinterpret_cast<const DEV_BROADCAST_HANDLE&>(header);
    data.handle = reinterpret_cast<std::uintptr_t>(handleEvent.dbch_handle);
  }
  return data;
}

LRESULT CALLBACK NotificationWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  } else if (message == WM_DEVICECHANGE) {
    auto* sink = reinterpret_cast<DeviceChangeSink*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (sink != nullptr) {
      if (lParam == 0) return sink->OnDeviceChange(static_cast<std::uint32_t>(wParam), nullptr);
      const DeviceChangeData data = FromNative(*reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam));
      return sink->OnDeviceChange(static_cast<std::uint32_t>(wParam), &data);
    }
  }
  return ::DefWindowProcA(window, message, wParam, lParam);
}

// Registers the class once per process; a class left from an earlier call is reused.
bool EnsureWindowClass(HINSTANCE instance) {
  WNDCLASSA existing = {};
  if (::GetClassInfoA(instance, kWindowClassName, &existing)) return true;
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = NotificationWindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kWindowClassName;
  return ::RegisterClassA(&windowClass) != 0;
}

class Win32NotificationRegistration : public NotificationRegistration {
 public:
  explicit Win32NotificationRegistration(HDEVNOTIFY registration) : registration_(registration) {}
  ~Win32NotificationRegistration() override {
    if (registration_ != nullptr) ::UnregisterDeviceNotification(registration_);
  }
  Win32NotificationRegistration(const Win32NotificationRegistration&) = delete;
  Win32NotificationRegistration& operator=(const Win32NotificationRegistration&) = delete;

  void Forget() override { registration_ = nullptr; }

 private:
  HDEVNOTIFY registration_;
};

std::unique_ptr<NotificationRegistration> Own(HDEVNOTIFY registration) {
  if (registration == nullptr) return nullptr;
  return std::make_unique<Win32NotificationRegistration>(registration);
}

class Win32NotificationWindow : public NotificationWindow {
 public:
  explicit Win32NotificationWindow(HWND window) : window_(window) {}

  std::unique_ptr<NotificationRegistration> RegisterHandle(const DeviceFile& device) override {
    DEV_BROADCAST_HANDLE filter = {};
    filter.dbch_size = sizeof filter;
    filter.dbch_devicetype = DBT_DEVTYP_HANDLE;
    filter.dbch_handle = reinterpret_cast<HANDLE>(device.Identity());
    return Own(::RegisterDeviceNotificationA(window_.Get(), &filter, DEVICE_NOTIFY_WINDOW_HANDLE));
  }

  std::unique_ptr<NotificationRegistration> RegisterInterfaceClass(const Guid& interfaceClass) override {
    DEV_BROADCAST_DEVICEINTERFACE_A filter = {};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = ToNative(interfaceClass);
    return Own(::RegisterDeviceNotificationA(window_.Get(), &filter, DEVICE_NOTIFY_WINDOW_HANDLE));
  }

 private:
  win32::HandleOwner<WindowTraits> window_;
};

}  // namespace

std::unique_ptr<NotificationWindow> Win32DeviceNotifications::CreateNotificationWindow(const std::string& name,
                                                                                       int controlId,
                                                                                       DeviceChangeSink& sink) {
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  if (!EnsureWindowClass(instance)) return nullptr;
  HWND window = ::CreateWindowExA(0, kWindowClassName, name.c_str(), WS_CHILD, 0, 0, 0, 0, ::GetDesktopWindow(),
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), instance, &sink);
  if (window == nullptr) return nullptr;
  return std::make_unique<Win32NotificationWindow>(window);
}

}  // namespace platform
