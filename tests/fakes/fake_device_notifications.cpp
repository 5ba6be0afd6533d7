#include "tests/fakes/fake_device_notifications.h"

namespace fakes {

namespace {

class FakeRegistration : public platform::NotificationRegistration {
 public:
  FakeRegistration(FakeDeviceNotifications& owner, std::size_t index) : owner_(owner), index_(index) {}
  ~FakeRegistration() override {
    if (!released_) owner_.registrations[index_].unregistered = true;
  }
  void Forget() override {
    released_ = true;
    owner_.registrations[index_].forgotten = true;
  }

 private:
  FakeDeviceNotifications& owner_;
  std::size_t index_;
  bool released_ = false;
};

class FakeWindow : public platform::NotificationWindow {
 public:
  FakeWindow(FakeDeviceNotifications& owner, std::size_t index) : owner_(owner), index_(index) {}
  ~FakeWindow() override { owner_.windows[index_].destroyed = true; }

  std::unique_ptr<platform::NotificationRegistration> RegisterHandle(const platform::DeviceFile& device) override {
    if (owner_.failHandleRegistration) return nullptr;
    FakeDeviceNotifications::Registration registration;
    registration.forHandle = true;
    registration.handle = device.Identity();
    return Add(registration);
  }
  std::unique_ptr<platform::NotificationRegistration> RegisterInterfaceClass(const platform::Guid& interfaceClass) override {
    if (owner_.failInterfaceRegistration) return nullptr;
    FakeDeviceNotifications::Registration registration;
    registration.interfaceClass = interfaceClass;
    return Add(registration);
  }

 private:
  std::unique_ptr<platform::NotificationRegistration> Add(const FakeDeviceNotifications::Registration& registration) {
    owner_.registrations.push_back(registration);
    return std::make_unique<FakeRegistration>(owner_, owner_.registrations.size() - 1);
  }

  FakeDeviceNotifications& owner_;
  std::size_t index_;
};

}  // namespace

std::unique_ptr<platform::NotificationWindow> FakeDeviceNotifications::CreateNotificationWindow(
    const std::string& name, int controlId, platform::DeviceChangeSink& sink) {
  if (failCreateWindow) return nullptr;
  windows.push_back({name, controlId, &sink, false});
  return std::make_unique<FakeWindow>(*this, windows.size() - 1);
}

std::intptr_t FakeDeviceNotifications::Send(std::uint32_t event, const platform::DeviceChangeData* data) {
  if (windows.empty() || windows.back().destroyed) return platform::kDeviceChangeTrue;
  return windows.back().sink->OnDeviceChange(event, data);
}

std::intptr_t FakeDeviceNotifications::SendHandleEvent(std::uint32_t event, std::uintptr_t handle) {
  platform::DeviceChangeData data;
  data.deviceType = platform::kDbtDevtypHandle;
  data.handle = handle;
  return Send(event, &data);
}

std::intptr_t FakeDeviceNotifications::SendInterfaceEvent(std::uint32_t event) {
  platform::DeviceChangeData data;
  data.deviceType = platform::kDbtDevtypDeviceInterface;
  return Send(event, &data);
}

int FakeDeviceNotifications::LiveWindows() const {
  int live = 0;
  for (const Window& window : windows) live += window.destroyed ? 0 : 1;
  return live;
}

int FakeDeviceNotifications::LiveRegistrations(bool forHandle) const {
  int live = 0;
  for (const Registration& r : registrations)
    if (r.forHandle == forHandle && !r.unregistered && !r.forgotten) ++live;
  return live;
}

}  // namespace fakes
