#include "settings_utility/transports/usb_printer_device.h"

#include "platform/os_codes.h"
#include "settings_utility/transports/windows_family.h"

namespace kora {

const char kUsbNotificationWindowName[] = "USBPNPWindow";

UsbPrinterDevice::UsbPrinterDevice(platform::DeviceFiles& devices,
                                   platform::DeviceNotifications& notifications,
                                   platform::SystemInfo& system)
    : devices_(devices), notifications_(notifications), system_(system) {}

UsbPrinterDevice::~UsbPrinterDevice() = default;

bool UsbPrinterDevice::Configure(const PortConfiguration& configuration) {
  if (configuration.portText.empty()) return false;
  devicePath_ = configuration.portText;
  return true;
}

bool UsbPrinterDevice::OpenDeviceFile() {
  handle_.reset();
  handle_ = devices_.Open(devicePath_, platform::kGenericRead | platform::kGenericWrite, 0,
                          platform::kOpenExisting, platform::kFileAttributeNormal);
  if (!handle_) return false;
  handle_->SetCommTimeouts(kUsbReadTimeouts);
  // Removal requests name the handle, so each new handle needs a registration of its own.
  if (window_) handleRegistration_ = window_->RegisterHandle(*handle_);
  return true;
}

bool UsbPrinterDevice::Open() {
  if (handle_) return open_;
  if (!window_) {
    window_ = notifications_.CreateNotificationWindow(kUsbNotificationWindowName, kUsbNotificationWindowId, *this);
  }
  if (!OpenDeviceFile()) {
    window_.reset();
    return false;
  }
  if (firstOpen_) {
    firstOpen_ = false;
    // Arrivals are announced per interface class, not per handle: this is how a device that
    // was unplugged is noticed when it comes back.
    if (window_) interfaceRegistration_ = window_->RegisterInterfaceClass(platform::kGuidDevInterfaceUsbDevice);
    if (!interfaceRegistration_) {
      handle_.reset();
      handleRegistration_.reset();
      window_.reset();
      return false;
    }
  }
  open_ = true;
  state_ = State::Open;
  return true;
}

void UsbPrinterDevice::Close() {
  if (handle_) handle_->CancelIo();
  handleRegistration_.reset();
  interfaceRegistration_.reset();
  window_.reset();
  handle_.reset();
  open_ = false;
}

std::uint32_t UsbPrinterDevice::Write(const std::uint8_t* data, std::uint32_t count) {
  if (!open_ || data == nullptr || count == 0) return 0;
  platform::MutexLock hold(lock_);
  if (!handle_) return 0;  // unplugged: nothing to write to until it arrives again
  std::uint32_t done = 0;
  handle_->Write(data, count, done);
  return done;
}

std::uint32_t UsbPrinterDevice::Read(std::uint8_t* data, std::uint32_t count) {
  if (!open_ || data == nullptr || count == 0) return 0;
  platform::MutexLock hold(lock_);
  if (!handle_) return 0;
  std::uint32_t done = 0;
  handle_->Read(data, count, done);
  return done;
}

void UsbPrinterDevice::ReopenIfRemoved() {
  if (state_ == State::Removed && OpenDeviceFile()) state_ = State::Open;
}

std::intptr_t UsbPrinterDevice::OnDeviceChange(std::uint32_t event, const platform::DeviceChangeData* data) {
  if (data == nullptr) return platform::kDeviceChangeTrue;
  ReopenIfRemoved();

  if (data->deviceType == platform::kDbtDevtypHandle) {
    if (!handle_ || data->handle != handle_->Identity()) return platform::kDeviceChangeTrue;
    if (event == platform::kDbtDeviceQueryRemove) return platform::kBroadcastQueryDeny;
    if (event == platform::kDbtDeviceRemovePending || event == platform::kDbtDeviceRemoveComplete) {
      if (handleRegistration_) {
        // Windows 9x has already dropped the registration of a vanished handle.
        if (IsWindows9x(system_)) handleRegistration_->Forget();
        handleRegistration_.reset();
      }
      if (open_) handle_.reset();
      state_ = State::Removed;
    }
    return platform::kDeviceChangeTrue;
  }

  if (data->deviceType == platform::kDbtDevtypDeviceInterface && event == platform::kDbtDeviceArrival)
    ReopenIfRemoved();
  return platform::kDeviceChangeTrue;
}

}  // namespace kora
