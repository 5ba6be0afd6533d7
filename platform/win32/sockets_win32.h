// Win32 adapter of the socket seam, kept to Winsock 1.1 calls so that it runs on the
// Windows 9x family: WSAStartup 1.1, socket, connect, send, recv, select, closesocket,
// inet_addr and gethostbyname.
#pragma once
#include "platform/sockets.h"

namespace platform {

class Win32SocketLayer : public SocketLayer {
 public:
  Win32SocketLayer() = default;
  ~Win32SocketLayer() override;  // one WSACleanup per successful Startup
  Win32SocketLayer(const Win32SocketLayer&) = delete;
  Win32SocketLayer& operator=(const Win32SocketLayer&) = delete;

  SocketStartup Startup() override;
  std::unique_ptr<StreamSocket> Create() override;

 private:
  int startups_ = 0;
};

}  // namespace platform
