#include "settings_utility/transports/port_kind.h"

namespace kora {

PortKind PortKindFromText(const std::string& portText) {
  if (portText.compare(0, 3, "COM") == 0 || portText.compare(0, 7, "\\\\.\\COM") == 0)
    return PortKind::Serial;
  if (portText.compare(0, 3, "LPT") == 0) return PortKind::Parallel;
  if (portText.compare(0, 3, "USB") == 0) return PortKind::Usb;
  return PortKind::Ethernet;
}

}  // namespace kora
