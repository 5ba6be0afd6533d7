// Win32 adapter of the device notification seam: a hidden window whose WM_DEVICECHANGE goes
// to a sink, RegisterDeviceNotificationA on it, and owners that destroy the window and
// unregister the notifications.
#pragma once
#include "platform/device_notifications.h"

namespace platform {

class Win32DeviceNotifications : public DeviceNotifications {
 public:
  std::unique_ptr<NotificationWindow> CreateNotificationWindow(const std::string& name, int controlId,
                                                               DeviceChangeSink& sink) override;
};

}  // namespace platform
