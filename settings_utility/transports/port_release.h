// While the utility talks to a printer on a serial or parallel port, the Windows printers
// that print to that port are switched to "FILE:" so that the spooler does not fight over
// it; afterwards they get their ports back.
#pragma once
#include <map>
#include <string>

#include "platform/spooler.h"

namespace kora {

// Windows printer name -> the port name it had before it was switched.
using ReleasedPrinters = std::map<std::string, std::string>;

// Switches every local printer whose port name contains `portText` (so "COM1" also matches
// "COM10:") and records it. Failures are silent; after the first one, later printers are
// still recorded but no longer switched.
void PortRelease(platform::Spooler& spooler, const std::string& portText, ReleasedPrinters& released);

// Gives every recorded printer its former port back and empties the record.
void RestoreReleasedPrinters(platform::Spooler& spooler, ReleasedPrinters& released);

}  // namespace kora
