// UsbPrinterDevice: the printer's USB device opened as a file by its interface path, with a
// hidden notification window through which the open device learns that it was unplugged
// (the handle is let go) or plugged in again (the path is reopened).
//
// Reads and writes are synchronous. A silent printer must not hang the window, so each
// newly opened handle is given read time-outs (kUsbReadTimeouts): a driver that honours them
// ends a read 10 ms after the last byte of a reply, or after 1 s when nothing comes. A driver
// that refuses time-out requests (the call's result is ignored) decides alone how long a read
// waits; the protocol reads a fixed number of times, so a driver that completes an empty
// read keeps every operation bounded.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/device_file.h"
#include "platform/device_notifications.h"
#include "platform/mutex.h"
#include "platform/system_info.h"
#include "settings_utility/transports/transport.h"

namespace kora {

extern const char kUsbNotificationWindowName[];  // "USBPNPWindow"
constexpr int kUsbNotificationWindowId = 1234;
// Read interval 10 ms, no per-byte part, 1000 ms in all; writes keep the driver's own bound.
constexpr platform::CommTimeouts kUsbReadTimeouts{10, 0, 1000, 0, 0};

class UsbPrinterDevice : public Transport, private platform::DeviceChangeSink {
 public:
  enum class State : int { NeverOpened = 0, Open = 1, Removed = -1 };

  UsbPrinterDevice(platform::DeviceFiles& devices, platform::DeviceNotifications& notifications,
                   platform::SystemInfo& system);
  ~UsbPrinterDevice() override;
  UsbPrinterDevice(const UsbPrinterDevice&) = delete;
  UsbPrinterDevice& operator=(const UsbPrinterDevice&) = delete;

  // The record's port text is the device path; false when it is empty.
  bool Configure(const PortConfiguration& configuration) override;
  bool Open() override;
  void Close() override;
  std::uint32_t Write(const std::uint8_t* data, std::uint32_t count) override;
  std::uint32_t Read(std::uint8_t* data, std::uint32_t count) override;

  // WM_DEVICECHANGE of the notification window.
  std::intptr_t OnDeviceChange(std::uint32_t event, const platform::DeviceChangeData* data) override;

  bool isOpen() const { return open_; }
  State state() const { return state_; }
  bool holdsHandle() const { return handle_ != nullptr; }

 private:
  bool OpenDeviceFile();
  void ReopenIfRemoved();

  platform::DeviceFiles& devices_;
  platform::DeviceNotifications& notifications_;
  platform::SystemInfo& system_;
  std::string devicePath_;
  std::unique_ptr<platform::DeviceFile> handle_;
  bool open_ = false;
  State state_ = State::NeverOpened;
  bool firstOpen_ = true;
  platform::Mutex lock_;
  std::unique_ptr<platform::NotificationRegistration> handleRegistration_;
  std::unique_ptr<platform::NotificationRegistration> interfaceRegistration_;
  // Last, so that it goes first: no message may reach a half-destroyed device.
  std::unique_ptr<platform::NotificationWindow> window_;
};

}  // namespace kora
