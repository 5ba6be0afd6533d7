// ParallelPort: an LPT port that is used only when a ready printer is attached. Readiness
// comes from the port driver's status on the NT family and from the status register itself
// on Windows 9x.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/device_file.h"
#include "platform/port_io.h"
#include "platform/system_info.h"
#include "settings_utility/transports/transport.h"

namespace kora {

// A write to a printer that is busy printing may wait this long before it gives up.
constexpr std::uint32_t kParallelWriteTimeoutMs = 300000;
// Windows 9x reads of the port give up sooner: every read time-out becomes this.
constexpr std::uint32_t kParallelWin9xReadTimeoutMs = 100;
// The port driver's status byte of a printer that is selected and neither busy, off line,
// out of paper, powered off nor disconnected.
constexpr std::uint8_t kParallelStatusReady = 0x80;
// What the status register reads back when no printer is attached (Windows 9x).
constexpr std::uint8_t kParallelRegisterNoPrinter = 0x7F;

// The status register of a port name's usual base address: 0x379 for LPT1, 0x279 for LPT2,
// 0x3BD for any other.
std::uint16_t ParallelStatusRegister(const std::string& portName);

class ParallelPort : public Transport {
 public:
  ParallelPort(platform::DeviceFiles& devices, platform::SystemInfo& system, platform::PortIo& ports);
  // False unless the port text begins with "LPT". Takes the record's time-outs except the
  // total write constant, which is always kParallelWriteTimeoutMs.
  bool Configure(const PortConfiguration& configuration) override;
  bool Open() override;
  void Close() override;
  // What the OS reports written, also when the write failed part-way.
  std::uint32_t Write(const std::uint8_t* data, std::uint32_t count) override;
  // What the OS reports read; 0 when the read failed.
  std::uint32_t Read(std::uint8_t* data, std::uint32_t count) override;

  bool isOpen() const { return open_; }
  const platform::CommTimeouts& timeouts() const { return timeouts_; }

 private:
  bool PrinterIsReady();

  platform::DeviceFiles& devices_;
  platform::SystemInfo& system_;
  platform::PortIo& ports_;
  std::string portName_;
  platform::CommTimeouts timeouts_;
  std::unique_ptr<platform::DeviceFile> handle_;
  bool open_ = false;
};

}  // namespace kora
