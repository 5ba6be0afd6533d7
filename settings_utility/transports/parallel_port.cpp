#include "settings_utility/transports/parallel_port.h"

#include <vector>

#include "platform/os_codes.h"
#include "settings_utility/transports/windows_family.h"

namespace kora {

std::uint16_t ParallelStatusRegister(const std::string& portName) {
  if (portName == "LPT1") return 0x379;
  if (portName == "LPT2") return 0x279;
  return 0x3BD;
}

ParallelPort::ParallelPort(platform::DeviceFiles& devices, platform::SystemInfo& system,
                           platform::PortIo& ports)
    : devices_(devices), system_(system), ports_(ports) {}

bool ParallelPort::Configure(const PortConfiguration& c) {
  timeouts_ = c.timeouts;
  timeouts_.writeTotalTimeoutConstant = kParallelWriteTimeoutMs;
  if (c.portText.empty() || c.portText.compare(0, 3, "LPT") != 0) return false;
  portName_ = c.portText;
  return true;
}

bool ParallelPort::PrinterIsReady() {
  if (!IsWindows9x(system_)) {
    std::vector<std::uint8_t> status(1);
    return handle_->DeviceIoControl(platform::kIoctlParQueryInformation, {}, status) &&
           status.size() == 1 && status[0] == kParallelStatusReady;
  }
  // The register is read directly: the Windows 9x port driver has no status request.
  timeouts_.readIntervalTimeout = kParallelWin9xReadTimeoutMs;
  timeouts_.readTotalTimeoutMultiplier = kParallelWin9xReadTimeoutMs;
  timeouts_.readTotalTimeoutConstant = kParallelWin9xReadTimeoutMs;
  return ports_.ReadPortByte(ParallelStatusRegister(portName_)) != kParallelRegisterNoPrinter;
}

bool ParallelPort::Open() {
  if (handle_) return open_;
  handle_ = devices_.Open(portName_, platform::kGenericRead | platform::kGenericWrite, 0,
                          platform::kOpenExisting, platform::kFileAttributeNormal);
  if (!handle_) return false;
  if (!PrinterIsReady()) {
    handle_.reset();
    return false;
  }
  handle_->SetCommTimeouts(timeouts_);
  handle_->PurgeComm(platform::kPurgeAll);
  handle_->FlushFileBuffers();
  open_ = true;
  return true;
}

void ParallelPort::Close() {
  if (handle_) handle_->CancelIo();
  handle_.reset();
  open_ = false;
}

std::uint32_t ParallelPort::Write(const std::uint8_t* data, std::uint32_t count) {
  if (!open_ || !handle_ || data == nullptr || count == 0) return 0;
  std::uint32_t done = 0;
  handle_->Write(data, count, done);
  return done;
}

std::uint32_t ParallelPort::Read(std::uint8_t* data, std::uint32_t count) {
  if (!open_ || !handle_ || data == nullptr || count == 0) return 0;
  std::uint32_t done = 0;
  return handle_->Read(data, count, done) ? done : 0;
}

}  // namespace kora
