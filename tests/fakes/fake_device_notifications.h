// Device notifications without a window system: the test delivers WM_DEVICECHANGE to the
// live window's sink itself, and sees which windows and registrations exist.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/device_notifications.h"

namespace fakes {

class FakeDeviceNotifications : public platform::DeviceNotifications {
 public:
  struct Registration {
    bool forHandle = false;        // DEV_BROADCAST_HANDLE, else DEV_BROADCAST_DEVICEINTERFACE
    std::uintptr_t handle = 0;     // handle registrations
    platform::Guid interfaceClass; // interface registrations
    bool unregistered = false;
    bool forgotten = false;
  };
  struct Window {
    std::string name;
    int controlId = 0;
    platform::DeviceChangeSink* sink = nullptr;
    bool destroyed = false;
  };

  std::unique_ptr<platform::NotificationWindow> CreateNotificationWindow(const std::string& name, int controlId,
                                                                         platform::DeviceChangeSink& sink) override;

  // WM_DEVICECHANGE to the window created last; kDeviceChangeTrue when none is alive, as
  // DefWindowProc would answer.
  std::intptr_t Send(std::uint32_t event, const platform::DeviceChangeData* data);
  std::intptr_t SendHandleEvent(std::uint32_t event, std::uintptr_t handle);
  std::intptr_t SendInterfaceEvent(std::uint32_t event);

  int LiveWindows() const;
  // Registrations neither unregistered nor forgotten.
  int LiveRegistrations(bool forHandle) const;

  bool failCreateWindow = false;
  bool failHandleRegistration = false;
  bool failInterfaceRegistration = false;

  std::vector<Window> windows;
  std::vector<Registration> registrations;
};

}  // namespace fakes
