// Program start-up of the settings utility: single instance, socket layer, the modal main
// window. The Win32 entry point only builds the real services and calls RunQuintKora.
#pragma once
#include <string>

#include "platform/message_box.h"
#include "platform/process.h"
#include "platform/sockets.h"

namespace kora {

class MainDialogHost {
 public:
  virtual ~MainDialogHost() = default;
  // Constructs the main window for `printerName`, runs it as a modal dialog and destroys it.
  virtual void RunMainWindow(const std::string& printerName) = 0;
};

// The printer name from the program's argument text: surrounding blanks and one pair of
// enclosing double quotes are dropped, so that a name with blanks can be quoted.
std::string PrinterNameFromCommandLine(const std::string& argumentText);

// Returns the process exit code.
int RunQuintKora(platform::ProcessServices& process, platform::SocketLayer& sockets,
                 platform::MessageBoxes& boxes, MainDialogHost& host,
                 const std::string& argumentText);

}  // namespace kora
