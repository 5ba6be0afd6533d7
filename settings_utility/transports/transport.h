// The shape shared by the serial, parallel and USB transports that the PortDispatcher holds.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/device_file.h"

namespace kora {

// What the connection hands to the dispatcher on open, in this order.
struct PortConfiguration {
  std::string portText;
  std::uint32_t baudRate = 0;
  int dataBits = 0;
  int stopBits = 0;
  int parity = 0;
  int flowControl = 0;
  platform::CommTimeouts timeouts;
};

class Transport {
 public:
  virtual ~Transport() = default;
  virtual bool Configure(const PortConfiguration& configuration) = 0;
  virtual bool Open() = 0;
  virtual void Close() = 0;
  // Byte counts; 0 when not open, no buffer, a count of 0, or a failed OS call.
  virtual std::uint32_t Write(const std::uint8_t* data, std::uint32_t count) = 0;
  virtual std::uint32_t Read(std::uint8_t* data, std::uint32_t count) = 0;
};

// Creates a fresh transport object for each configure. A kind whose transport this build
// cannot make yields null, and the dispatcher then refuses the port text.
class TransportFactory {
 public:
  virtual ~TransportFactory() = default;
  virtual std::unique_ptr<Transport> CreateSerialPort() = 0;
  virtual std::unique_ptr<Transport> CreateParallelPort() = 0;
  virtual std::unique_ptr<Transport> CreateUsbPrinterDevice() = 0;
};

}  // namespace kora
