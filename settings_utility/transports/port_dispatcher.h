// PortDispatcher: holds the one transport object of a serial, parallel or USB connection
// from configure to close, chosen by the port text.
#pragma once
#include <memory>

#include "settings_utility/transports/port_kind.h"
#include "settings_utility/transports/transport.h"

namespace kora {

class PortDispatcher {
 public:
  explicit PortDispatcher(TransportFactory& factory);

  // Starts from a new transport object every time; false (holding nothing) for a port text
  // that names no known kind.
  bool Configure(const PortConfiguration& configuration);
  bool Open();
  // Closes and destroys the held transport.
  void Close();
  std::uint32_t Write(const std::uint8_t* data, std::uint32_t count);
  std::uint32_t Read(std::uint8_t* data, std::uint32_t count);

  bool holdsTransport() const { return transport_ != nullptr; }
  PortKind kind() const { return kind_; }

 private:
  TransportFactory& factory_;
  PortKind kind_ = PortKind::Serial;
  std::unique_ptr<Transport> transport_;
};

}  // namespace kora
