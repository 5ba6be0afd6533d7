#include "platform/device_file.h"

namespace platform {

bool Dcb::operator==(const Dcb& o) const {
  return baudRate == o.baudRate && fBinary == o.fBinary && fParity == o.fParity &&
         fOutxCtsFlow == o.fOutxCtsFlow && fOutxDsrFlow == o.fOutxDsrFlow &&
         fDtrControl == o.fDtrControl && fDsrSensitivity == o.fDsrSensitivity &&
         fTXContinueOnXoff == o.fTXContinueOnXoff && fOutX == o.fOutX && fInX == o.fInX &&
         fErrorChar == o.fErrorChar && fNull == o.fNull && fRtsControl == o.fRtsControl &&
         fAbortOnError == o.fAbortOnError && xonLim == o.xonLim && xoffLim == o.xoffLim &&
         byteSize == o.byteSize && parity == o.parity && stopBits == o.stopBits &&
         xonChar == o.xonChar && xoffChar == o.xoffChar && errorChar == o.errorChar &&
         eofChar == o.eofChar && evtChar == o.evtChar;
}

bool CommTimeouts::operator==(const CommTimeouts& o) const {
  return readIntervalTimeout == o.readIntervalTimeout &&
         readTotalTimeoutMultiplier == o.readTotalTimeoutMultiplier &&
         readTotalTimeoutConstant == o.readTotalTimeoutConstant &&
         writeTotalTimeoutMultiplier == o.writeTotalTimeoutMultiplier &&
         writeTotalTimeoutConstant == o.writeTotalTimeoutConstant;
}

}  // namespace platform
