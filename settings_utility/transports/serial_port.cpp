#include "settings_utility/transports/serial_port.h"

#include "platform/os_codes.h"

namespace kora {

SerialPort::SerialPort(platform::DeviceFiles& devices, platform::Clock& clock)
    : devices_(devices), clock_(clock) {}

bool SerialPort::Configure(const PortConfiguration& c) {
  if (c.portText.empty()) return false;
  portName_ = c.portText;
  baudRate_ = c.baudRate;
  dataBits_ = c.dataBits;
  stopBits_ = c.stopBits;
  parity_ = c.parity;
  flowControl_ = c.flowControl;
  timeouts_ = c.timeouts;
  return true;
}

bool SerialPort::ApplyLineSettings() {
  platform::Dcb dcb;
  if (!handle_->GetCommState(dcb)) return false;
  dcb.baudRate = baudRate_;
  dcb.byteSize = static_cast<std::uint8_t>(dataBits_);
  dcb.parity = static_cast<std::uint8_t>(parity_);
  dcb.stopBits = static_cast<std::uint8_t>(stopBits_);
  dcb.fParity = parity_ != 0;
  dcb.fOutxCtsFlow = false;
  dcb.fOutxDsrFlow = true;
  dcb.fDtrControl = platform::kDtrControlHandshake;
  dcb.fDsrSensitivity = false;
  dcb.fTXContinueOnXoff = false;
  dcb.fOutX = flowControl_ != 0;
  dcb.fInX = flowControl_ != 0;
  dcb.fNull = false;
  dcb.fRtsControl = platform::kRtsControlDisable;
  return handle_->SetCommState(dcb);
}

bool SerialPort::Open() {
  if (handle_) return open_;
  handle_ = devices_.Open(portName_, platform::kGenericRead | platform::kGenericWrite, 0,
                          platform::kOpenExisting, platform::kFileAttributeNormal);
  clock_.Sleep(kSerialOpenSettleMs);
  if (!handle_) return false;

  std::uint32_t modemStatus = 0;
  const bool ready = ApplyLineSettings() && handle_->GetCommModemStatus(modemStatus) &&
                     (modemStatus & platform::kModemStatusDsrOn) != 0;
  if (!ready) {
    handle_.reset();
    return false;
  }
  timeouts_ = kSerialTimeouts;
  if (!handle_->SetCommTimeouts(timeouts_)) {
    handle_.reset();
    return false;
  }
  handle_->PurgeComm(platform::kPurgeAll);
  open_ = true;
  return true;
}

void SerialPort::Close() {
  handle_.reset();
  open_ = false;
}

std::uint32_t SerialPort::Write(const std::uint8_t* data, std::uint32_t count) {
  if (!open_ || !handle_ || data == nullptr || count == 0) return 0;
  platform::MutexLock hold(lock_);
  std::uint32_t done = 0;
  return handle_->Write(data, count, done) ? done : 0;
}

std::uint32_t SerialPort::Read(std::uint8_t* data, std::uint32_t count) {
  if (!open_ || !handle_ || data == nullptr || count == 0) return 0;
  platform::MutexLock hold(lock_);
  std::uint32_t done = 0;
  return handle_->Read(data, count, done) ? done : 0;
}

}  // namespace kora
