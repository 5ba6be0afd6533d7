#include "tests/fakes/fake_sockets.h"

namespace fakes {

namespace {

class FakeSocket : public platform::StreamSocket {
 public:
  explicit FakeSocket(FakeSocketLayer& layer) : layer_(layer) { ++layer_.openSockets; }
  ~FakeSocket() override { --layer_.openSockets; }
  bool Connect(const std::string& host, std::uint32_t port) override {
    layer_.connects.push_back(host + ":" + std::to_string(port));
    return host == layer_.acceptHost;
  }
  int Send(const std::uint8_t* data, int count) override {
    if (++sends_ == layer_.failOnSend) return -1;
    layer_.sends.emplace_back(data, data + count);
    return count;
  }
  int Receive(std::uint8_t* data, int count) override {
    int n = 0;
    while (n < count && !layer_.input.empty()) {
      data[n++] = layer_.input.front();
      layer_.input.pop_front();
    }
    return n > 0 ? n : -1;
  }
  bool SetReceiveTimeout(std::uint32_t ms) override {
    layer_.lastReceiveTimeout = ms;
    return true;
  }

 private:
  FakeSocketLayer& layer_;
  int sends_ = 0;
};

}  // namespace

std::unique_ptr<platform::StreamSocket> FakeSocketLayer::Create() {
  if (failCreate) return nullptr;
  return std::make_unique<FakeSocket>(*this);
}

}  // namespace fakes
