// PrinterConnection: the utility's one connection to the printer. Every operation opens it,
// sends commands and reads replies, and closes it again; only the font download keeps it
// open across events.
#pragma once
#include <cstdint>
#include <memory>

#include "settings_utility/main_window/message_presenter.h"
#include "settings_utility/main_window/utility_services.h"
#include "settings_utility/transports/connection_settings.h"
#include "settings_utility/transports/port_dispatcher.h"
#include "settings_utility/transports/port_release.h"

namespace kora {

// Over Ethernet a long buffer goes out in pieces of this size with a pause after each full
// piece, so that the printer's network buffer keeps up.
constexpr std::uint32_t kEthernetPieceBytes = 4096;
constexpr std::uint32_t kEthernetPiecePauseMs = 500;
// A printer that stops answering must not hang the window: a receive gives up after this.
constexpr std::uint32_t kEthernetReceiveTimeoutMs = 1000;

extern const char kConnectFailedText[];

class PrinterConnection {
 public:
  PrinterConnection(const UtilityServices& services, TransportFactory& transports,
                    MessagePresenter& messages);
  ~PrinterConnection();

  ConnectionSettings& settings() { return settings_; }
  const ConnectionSettings& settings() const { return settings_; }
  bool connected() const { return connected_; }
  const ReleasedPrinters& releasedPrinters() const { return released_; }

  // True when connected; shows its own failure messages. The caller takes the window's
  // control values into the members first.
  bool Open();
  // Closes the port if open; for serial and parallel ports gives the released printers back.
  void Close();
  // Bytes sent (0 on failure).
  std::uint32_t SendCommand(const std::uint8_t* data, std::uint32_t count);
  // Bytes received (0 when nothing came).
  std::uint32_t ReadReply(std::uint8_t* data, std::uint32_t count);
  // Closes the port if open, without giving released printers back.
  void ClosePort();
  // Closes a port still open, then gives the released printers back.
  void RestoreReleasedPrinters();

 private:
  bool OpenSocket();

  UtilityServices services_;
  MessagePresenter& messages_;
  ConnectionSettings settings_;
  PortDispatcher dispatcher_;
  std::unique_ptr<platform::StreamSocket> socket_;
  ReleasedPrinters released_;
  bool connected_ = false;
};

}  // namespace kora
