// Win32 socket adapter.
#include "platform/win32/sockets_win32.h"

#include <cstring>

#include "platform/win32/handle_owner_win32.h"

namespace platform {
namespace {

class Win32StreamSocket : public StreamSocket {
 public:
  explicit Win32StreamSocket(SOCKET socket) : socket_(socket) {}

  bool Connect(const std::string& host, std::uint32_t port) override {
    if (port > 0xFFFF) {
      ::WSASetLastError(WSAEINVAL);
      return false;
    }
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port));
    address.sin_addr.s_addr = ::inet_addr(host.c_str());
    if (address.sin_addr.s_addr == INADDR_NONE) {  // not dotted: look the name up
      const hostent* entry = ::gethostbyname(host.c_str());
      if (entry == nullptr || entry->h_addrtype != AF_INET ||
          entry->h_length != sizeof(address.sin_addr) || entry->h_addr_list[0] == nullptr) {
        return false;
      }
      std::memcpy(&address.sin_addr, entry->h_addr_list[0], sizeof(address.sin_addr));
    }
    return ::connect(socket_.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
  }

  int Send(const std::uint8_t* data, int count) override {
    return ::send(socket_.Get(), reinterpret_cast<const char*>(data), count, 0);
  }

  int Receive(std::uint8_t* data, int count) override {
    if (receiveTimeoutMs_ != 0) {
      fd_set readable;
      FD_ZERO(&readable);
      FD_SET(socket_.Get(), &readable);
      timeval limit = {};
      limit.tv_sec = static_cast<long>(receiveTimeoutMs_ / 1000);
      limit.tv_usec = static_cast<long>((receiveTimeoutMs_ % 1000) * 1000);
      int ready = ::select(0, &readable, nullptr, nullptr, &limit);
      if (ready == 0) {
        ::WSASetLastError(WSAETIMEDOUT);
        return SOCKET_ERROR;
      }
      if (ready == SOCKET_ERROR) return SOCKET_ERROR;
    }
    return ::recv(socket_.Get(), reinterpret_cast<char*>(data), count, 0);
  }

  // The bound is kept here and applied with select() before each recv rather than through
  // SO_RCVTIMEO: Winsock 1.1 on Windows 95 ignores that option, and where it works a timed-out
  // recv leaves the socket in an undefined state, while after a select time-out the
  // connection stays usable.
  bool SetReceiveTimeout(std::uint32_t milliseconds) override {
    receiveTimeoutMs_ = milliseconds;
    return true;
  }

 private:
  win32::SocketHandle socket_;
  std::uint32_t receiveTimeoutMs_ = 0;
};

}  // namespace

Win32SocketLayer::~Win32SocketLayer() {
  for (; startups_ > 0; --startups_) ::WSACleanup();
}

SocketStartup Win32SocketLayer::Startup() {
  WSADATA data = {};
  SocketStartup result;
  if (::WSAStartup(MAKEWORD(1, 1), &data) != 0) {
    result.socketError = ::WSAGetLastError();
    result.lastError = static_cast<long>(::GetLastError());
    return result;
  }
  ++startups_;
  result.ok = true;
  return result;
}

std::unique_ptr<StreamSocket> Win32SocketLayer::Create() {
  SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s == INVALID_SOCKET) return nullptr;
  return std::make_unique<Win32StreamSocket>(s);
}

}  // namespace platform
