#include "settings_utility/transports/printer_connection.h"

#include <algorithm>

namespace kora {

using platform::MessageIcon;

const char kConnectFailedText[] =
    "Error : Failed to connected \r\n"
    "Please, check IP port configuration in printer control pannel \"PORT\"";

namespace {
// The time-outs the connection asks of its transport; each transport replaces what it must.
constexpr platform::CommTimeouts kRequestedTimeouts{10, 10, 10, 0, 0};
}

PrinterConnection::PrinterConnection(const UtilityServices& services, TransportFactory& transports,
                                     MessagePresenter& messages)
    : services_(services), messages_(messages), dispatcher_(transports) {}

PrinterConnection::~PrinterConnection() { ClosePort(); }

bool PrinterConnection::OpenSocket() {
  socket_ = services_.sockets.Create();
  if (!socket_) {
    messages_.ShowMessage("Error : Failed to Create socket!", "Error", MessageIcon::Stop);
    return false;
  }
  if (!socket_->Connect(settings_.portText, static_cast<std::uint32_t>(settings_.speedOrPort))) {
    socket_.reset();
    messages_.ShowMessage(kConnectFailedText, "Error", MessageIcon::Stop);
    return false;
  }
  socket_->SetReceiveTimeout(kEthernetReceiveTimeoutMs);
  connected_ = true;
  return true;
}

bool PrinterConnection::Open() {
  if (settings_.kind == PortKind::Ethernet) return OpenSocket();

  const std::string& port = settings_.portText;
  if (port.compare(0, 3, "COM") == 0 || port.compare(0, 3, "LPT") == 0)
    PortRelease(services_.spooler, port, released_);

  PortConfiguration configuration;
  configuration.portText = port;
  configuration.baudRate = static_cast<std::uint32_t>(settings_.speedOrPort);
  configuration.dataBits = settings_.dataBits;
  configuration.stopBits = settings_.stopBits;
  configuration.parity = settings_.parity;
  configuration.flowControl = settings_.flowControl;
  configuration.timeouts = kRequestedTimeouts;
  if (!dispatcher_.Configure(configuration)) {
    messages_.ShowMessage("Port Configuration Set Error!", "Error", MessageIcon::Stop);
    return false;
  }
  if (!dispatcher_.Open()) {
    messages_.ShowMessage("Can't open port and Printer is disconnected", "Information",
                          MessageIcon::Exclamation);
    return false;
  }
  connected_ = true;
  return true;
}

void PrinterConnection::ClosePort() {
  if (!connected_) return;
  if (settings_.kind == PortKind::Ethernet)
    socket_.reset();
  else
    dispatcher_.Close();
  connected_ = false;
}

void PrinterConnection::Close() {
  ClosePort();
  if (settings_.kind == PortKind::Serial || settings_.kind == PortKind::Parallel)
    kora::RestoreReleasedPrinters(services_.spooler, released_);
}

void PrinterConnection::RestoreReleasedPrinters() {
  ClosePort();
  if (!released_.empty()) kora::RestoreReleasedPrinters(services_.spooler, released_);
}

std::uint32_t PrinterConnection::SendCommand(const std::uint8_t* data, std::uint32_t count) {
  if (settings_.kind != PortKind::Ethernet) return dispatcher_.Write(data, count);
  if (!socket_ || data == nullptr) return 0;
  std::uint32_t sent = 0;
  while (sent < count) {
    const std::uint32_t piece = std::min(count - sent, kEthernetPieceBytes);
    if (socket_->Send(data + sent, static_cast<int>(piece)) < 1) break;
    sent += piece;
    if (piece == kEthernetPieceBytes && count - sent > 0) services_.clock.Sleep(kEthernetPiecePauseMs);
  }
  return sent;
}

std::uint32_t PrinterConnection::ReadReply(std::uint8_t* data, std::uint32_t count) {
  if (settings_.kind != PortKind::Ethernet) return dispatcher_.Read(data, count);
  if (!socket_ || data == nullptr || count == 0) return 0;
  const int received = socket_->Receive(data, static_cast<int>(count));
  return received > 0 ? static_cast<std::uint32_t>(received) : 0;
}

}  // namespace kora
