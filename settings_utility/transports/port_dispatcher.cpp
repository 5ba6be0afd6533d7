#include "settings_utility/transports/port_dispatcher.h"

namespace kora {

namespace {
// A USB port text is the listing name ("USB001") followed by the device path.
constexpr std::size_t kUsbListingNameLength = 6;
}

PortDispatcher::PortDispatcher(TransportFactory& factory) : factory_(factory) {}

bool PortDispatcher::Configure(const PortConfiguration& configuration) {
  transport_.reset();
  const std::string& text = configuration.portText;
  PortConfiguration forTransport = configuration;
  if (text.compare(0, 3, "COM") == 0 || text.compare(0, 7, "\\\\.\\COM") == 0) {
    kind_ = PortKind::Serial;
    transport_ = factory_.CreateSerialPort();
  } else if (text.compare(0, 3, "LPT") == 0) {
    kind_ = PortKind::Parallel;
    transport_ = factory_.CreateParallelPort();
  } else if (text.find("USB") != std::string::npos) {
    kind_ = PortKind::Usb;
    forTransport.portText =
        text.size() > kUsbListingNameLength ? text.substr(kUsbListingNameLength) : std::string();
    transport_ = factory_.CreateUsbPrinterDevice();
  }
  if (!transport_) return false;
  return transport_->Configure(forTransport);
}

bool PortDispatcher::Open() { return transport_ && transport_->Open(); }

void PortDispatcher::Close() {
  if (!transport_) return;
  transport_->Close();
  transport_.reset();
}

std::uint32_t PortDispatcher::Write(const std::uint8_t* data, std::uint32_t count) {
  return transport_ ? transport_->Write(data, count) : 0;
}

std::uint32_t PortDispatcher::Read(std::uint8_t* data, std::uint32_t count) {
  return transport_ ? transport_->Read(data, count) : 0;
}

}  // namespace kora
