// Device notification seam: a hidden window that receives WM_DEVICECHANGE, and the
// registrations that make the system send it. The window is destroyed (DestroyWindow) with
// its owner, a registration is removed (UnregisterDeviceNotification) with its owner.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/device_file.h"
#include "platform/guid.h"

namespace platform {

// WM_DEVICECHANGE event codes (wParam).
constexpr std::uint32_t kDbtDeviceArrival = 0x8000;
constexpr std::uint32_t kDbtDeviceQueryRemove = 0x8001;
constexpr std::uint32_t kDbtDeviceQueryRemoveFailed = 0x8002;
constexpr std::uint32_t kDbtDeviceRemovePending = 0x8003;
constexpr std::uint32_t kDbtDeviceRemoveComplete = 0x8004;

// DEV_BROADCAST_HDR device types.
constexpr std::uint32_t kDbtDevtypDeviceInterface = 5;
constexpr std::uint32_t kDbtDevtypHandle = 6;

// Answers to WM_DEVICECHANGE.
constexpr std::intptr_t kDeviceChangeTrue = 1;
constexpr std::intptr_t kBroadcastQueryDeny = 0x424D5144;  // BROADCAST_QUERY_DENY

// The event data (lParam) of WM_DEVICECHANGE as far as the logic reads it: the header's
// device type and, for handle events, which handle the event is about (the value
// DeviceFile::Identity reports for it).
struct DeviceChangeData {
  std::uint32_t deviceType = 0;
  std::uintptr_t handle = 0;
};

class DeviceChangeSink {
 public:
  virtual ~DeviceChangeSink() = default;
  // One WM_DEVICECHANGE: the event code and its data, or null when the message carries none.
  // The result is the window procedure's answer.
  virtual std::intptr_t OnDeviceChange(std::uint32_t event, const DeviceChangeData* data) = 0;
};

class NotificationRegistration {
 public:
  virtual ~NotificationRegistration() = default;  // UnregisterDeviceNotification
  // Lets go of the registration without unregistering it: Windows 9x drops a handle's
  // registration by itself when the device goes away.
  virtual void Forget() = 0;
};

class NotificationWindow {
 public:
  virtual ~NotificationWindow() = default;  // DestroyWindow
  // RegisterDeviceNotificationA(window, DEV_BROADCAST_HANDLE for `device`, flags 0); null on
  // failure.
  virtual std::unique_ptr<NotificationRegistration> RegisterHandle(const DeviceFile& device) = 0;
  // RegisterDeviceNotificationA(window, DEV_BROADCAST_DEVICEINTERFACE of size 32, device type
  // 5, `interfaceClass`; flags 0); null on failure.
  virtual std::unique_ptr<NotificationRegistration> RegisterInterfaceClass(const Guid& interfaceClass) = 0;
};

class DeviceNotifications {
 public:
  virtual ~DeviceNotifications() = default;
  // CreateWindowExA: an invisible child of the desktop window, of the default window class,
  // named `name`, with no style beyond WS_CHILD, an empty rectangle and the control id
  // `controlId`. Its WM_DEVICECHANGE messages go to `sink`, which must outlive the window.
  // Null on failure.
  virtual std::unique_ptr<NotificationWindow> CreateNotificationWindow(const std::string& name, int controlId,
                                                                       DeviceChangeSink& sink) = 0;
};

}  // namespace platform
