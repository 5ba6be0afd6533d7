// SerialPort: a COM port with the printer's line settings, DTR/DSR handshake (optionally
// Xon/Xoff too), RTS held off, and fixed time-outs. DSR must be on for the printer to count
// as present.
#pragma once
#include <memory>
#include <string>

#include "platform/clock.h"
#include "platform/device_file.h"
#include "platform/mutex.h"
#include "settings_utility/transports/transport.h"

namespace kora {

// Replace whatever time-outs the connection configured: a read ends 10 ms after the last
// byte or after 10 ms per byte plus 100 ms; a write gets 5 ms per byte plus 3 s.
constexpr platform::CommTimeouts kSerialTimeouts{10, 10, 100, 5, 3000};
// The port is given this long to settle after CreateFileA, whether or not it opened.
constexpr std::uint32_t kSerialOpenSettleMs = 100;

class SerialPort : public Transport {
 public:
  SerialPort(platform::DeviceFiles& devices, platform::Clock& clock);
  bool Configure(const PortConfiguration& configuration) override;
  bool Open() override;
  void Close() override;
  std::uint32_t Write(const std::uint8_t* data, std::uint32_t count) override;
  std::uint32_t Read(std::uint8_t* data, std::uint32_t count) override;

  bool isOpen() const { return open_; }

 private:
  bool ApplyLineSettings();

  platform::DeviceFiles& devices_;
  platform::Clock& clock_;
  std::string portName_;
  std::uint32_t baudRate_ = 0;
  int dataBits_ = 0;
  int stopBits_ = 0;
  int parity_ = 0;
  int flowControl_ = 0;
  platform::CommTimeouts timeouts_;
  std::unique_ptr<platform::DeviceFile> handle_;
  bool open_ = false;
  platform::Mutex lock_;
};

}  // namespace kora
