// Win32 device file adapter: one call per operation, the DCB converted field for field.
#include "platform/win32/device_file_win32.h"

#include <limits>

#include "platform/win32/handle_owner_win32.h"

namespace platform {
namespace {

Dcb FromNative(const DCB& d) {
  Dcb dcb;
  dcb.baudRate = d.BaudRate;
  dcb.fBinary = d.fBinary != 0;
  dcb.fParity = d.fParity != 0;
  dcb.fOutxCtsFlow = d.fOutxCtsFlow != 0;
  dcb.fOutxDsrFlow = d.fOutxDsrFlow != 0;
  dcb.fDtrControl = static_cast<std::uint8_t>(d.fDtrControl);
  dcb.fDsrSensitivity = d.fDsrSensitivity != 0;
  dcb.fTXContinueOnXoff = d.fTXContinueOnXoff != 0;
  dcb.fOutX = d.fOutX != 0;
  dcb.fInX = d.fInX != 0;
  dcb.fErrorChar = d.fErrorChar != 0;
  dcb.fNull = d.fNull != 0;
  dcb.fRtsControl = static_cast<std::uint8_t>(d.fRtsControl);
  dcb.fAbortOnError = d.fAbortOnError != 0;
  dcb.xonLim = d.XonLim;
  dcb.xoffLim = d.XoffLim;
  dcb.byteSize = d.ByteSize;
  dcb.parity = d.Parity;
  dcb.stopBits = d.StopBits;
  dcb.xonChar = d.XonChar;
  dcb.xoffChar = d.XoffChar;
  dcb.errorChar = d.ErrorChar;
  dcb.eofChar = d.EofChar;
  dcb.evtChar = d.EvtChar;
  return dcb;
}

DCB ToNative(const Dcb& dcb) {
  DCB d = {};
  d.DCBlength = sizeof(DCB);
  d.BaudRate = dcb.baudRate;
  d.fBinary = dcb.fBinary;
  d.fParity = dcb.fParity;
  d.fOutxCtsFlow = dcb.fOutxCtsFlow;
  d.fOutxDsrFlow = dcb.fOutxDsrFlow;
  d.fDtrControl = dcb.fDtrControl & 0x3;  // two-bit field
  d.fDsrSensitivity = dcb.fDsrSensitivity;
  d.fTXContinueOnXoff = dcb.fTXContinueOnXoff;
  d.fOutX = dcb.fOutX;
  d.fInX = dcb.fInX;
  d.fErrorChar = dcb.fErrorChar;
  d.fNull = dcb.fNull;
  d.fRtsControl = dcb.fRtsControl & 0x3;  // two-bit field
  d.fAbortOnError = dcb.fAbortOnError;
  d.XonLim = dcb.xonLim;
  d.XoffLim = dcb.xoffLim;
  d.ByteSize = dcb.byteSize;
  d.Parity = dcb.parity;
  d.StopBits = dcb.stopBits;
  d.XonChar = dcb.xonChar;
  d.XoffChar = dcb.xoffChar;
  d.ErrorChar = dcb.errorChar;
  d.EofChar = dcb.eofChar;
  d.EvtChar = dcb.evtChar;
  return d;
}

class Win32DeviceFile : public DeviceFile {
 public:
  explicit Win32DeviceFile(HANDLE file) : file_(file) {}

  bool Write(const std::uint8_t* data, std::uint32_t count, std::uint32_t& done) override {
    DWORD written = 0;
    BOOL ok = ::WriteFile(file_.Get(), data, count, &written, nullptr);
    done = written;
    return ok != FALSE;
  }

  bool Read(std::uint8_t* data, std::uint32_t count, std::uint32_t& done) override {
    DWORD read = 0;
    BOOL ok = ::ReadFile(file_.Get(), data, count, &read, nullptr);
    done = read;
    return ok != FALSE;
  }

  bool GetCommState(Dcb& dcb) override {
    DCB d = {};
    d.DCBlength = sizeof(DCB);
    if (!::GetCommState(file_.Get(), &d)) return false;
    dcb = FromNative(d);
    return true;
  }

  bool SetCommState(const Dcb& dcb) override {
    DCB d = ToNative(dcb);
    return ::SetCommState(file_.Get(), &d) != FALSE;
  }

  bool GetCommModemStatus(std::uint32_t& status) override {
    DWORD modem = 0;
    if (!::GetCommModemStatus(file_.Get(), &modem)) return false;
    status = modem;
    return true;
  }

  bool SetCommTimeouts(const CommTimeouts& t) override {
    COMMTIMEOUTS c = {};
    c.ReadIntervalTimeout = t.readIntervalTimeout;
    c.ReadTotalTimeoutMultiplier = t.readTotalTimeoutMultiplier;
    c.ReadTotalTimeoutConstant = t.readTotalTimeoutConstant;
    c.WriteTotalTimeoutMultiplier = t.writeTotalTimeoutMultiplier;
    c.WriteTotalTimeoutConstant = t.writeTotalTimeoutConstant;
    return ::SetCommTimeouts(file_.Get(), &c) != FALSE;
  }

  bool PurgeComm(std::uint32_t flags) override { return ::PurgeComm(file_.Get(), flags) != FALSE; }

  bool FlushFileBuffers() override { return ::FlushFileBuffers(file_.Get()) != FALSE; }

  bool CancelIo() override { return ::CancelIo(file_.Get()) != FALSE; }

  bool DeviceIoControl(std::uint32_t code, const std::vector<std::uint8_t>& input,
                       std::vector<std::uint8_t>& output) override {
    if (input.size() > std::numeric_limits<DWORD>::max() ||
        output.size() > std::numeric_limits<DWORD>::max()) {
      ::SetLastError(ERROR_INVALID_PARAMETER);
      return false;
    }
    DWORD returned = 0;
    BOOL ok = ::DeviceIoControl(file_.Get(), code,
                                input.empty() ? nullptr : const_cast<std::uint8_t*>(input.data()),
                                static_cast<DWORD>(input.size()),
                                output.empty() ? nullptr : output.data(),
                                static_cast<DWORD>(output.size()), &returned, nullptr);
    // The count is what the driver reports, also on failure (a short buffer may still hold
    // part of the answer); it never exceeds the buffer.
    if (returned < output.size()) output.resize(returned);
    return ok != FALSE;
  }

  std::uintptr_t Identity() const override { return reinterpret_cast<std::uintptr_t>(file_.Get()); }

 private:
  win32::KernelHandle file_;
};

}  // namespace

std::unique_ptr<DeviceFile> Win32DeviceFiles::Open(const std::string& path, std::uint32_t access,
                                                   std::uint32_t shareMode, std::uint32_t creation,
                                                   std::uint32_t flags) {
  HANDLE file = ::CreateFileA(path.c_str(), access, shareMode, nullptr, creation, flags, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<Win32DeviceFile>(file);
}

}  // namespace platform
