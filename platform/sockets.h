// Socket seam: the socket layer start-up and one blocking TCP client socket.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

class StreamSocket {
 public:
  virtual ~StreamSocket() = default;  // closesocket
  // Resolves `host` (dotted IPv4 or a host name) and connects; blocks until connected or refused.
  virtual bool Connect(const std::string& host, std::uint32_t port) = 0;
  // send(): bytes handed to the network, or a value below 1 on failure.
  virtual int Send(const std::uint8_t* data, int count) = 0;
  // recv(): bytes received (at most count), 0 when the peer closed, negative on error or
  // when nothing arrived within the receive time-out.
  virtual int Receive(std::uint8_t* data, int count) = 0;
  // Bounds every later Receive; 0 means wait without limit.
  virtual bool SetReceiveTimeout(std::uint32_t milliseconds) = 0;
};

struct SocketStartup {
  bool ok = false;
  int socketError = 0;  // the socket layer's own last error
  long lastError = 0;   // GetLastError
};

class SocketLayer {
 public:
  virtual ~SocketLayer() = default;
  virtual SocketStartup Startup() = 0;
  // A stream socket on any local address and port; null on failure.
  virtual std::unique_ptr<StreamSocket> Create() = 0;
};

}  // namespace platform
