// A socket layer whose sockets connect only to one host and record what is sent.
#pragma once
#include <deque>
#include <string>
#include <vector>

#include "platform/sockets.h"

namespace fakes {

class FakeSocketLayer : public platform::SocketLayer {
 public:
  platform::SocketStartup Startup() override {
    ++startups;
    return startup;
  }
  std::unique_ptr<platform::StreamSocket> Create() override;

  platform::SocketStartup startup{true, 0, 0};
  bool failCreate = false;
  std::string acceptHost = "<none>";
  int failOnSend = 0;  // the n-th send (1-based) fails
  int startups = 0;
  int openSockets = 0;
  std::vector<std::string> connects;  // "host:port"
  std::vector<std::vector<std::uint8_t>> sends;
  std::deque<std::uint8_t> input;
  std::uint32_t lastReceiveTimeout = 0;
};

}  // namespace fakes
