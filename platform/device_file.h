// Device file seam for the serial, parallel and USB transports: CreateFileA and the calls
// made on the handle it returns. The handle is closed when its owner is destroyed.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// The DCB, field for field (bit fields as their own members).
struct Dcb {
  std::uint32_t baudRate = 0;
  bool fBinary = false;
  bool fParity = false;
  bool fOutxCtsFlow = false;
  bool fOutxDsrFlow = false;
  std::uint8_t fDtrControl = 0;
  bool fDsrSensitivity = false;
  bool fTXContinueOnXoff = false;
  bool fOutX = false;
  bool fInX = false;
  bool fErrorChar = false;
  bool fNull = false;
  std::uint8_t fRtsControl = 0;
  bool fAbortOnError = false;
  std::uint16_t xonLim = 0;
  std::uint16_t xoffLim = 0;
  std::uint8_t byteSize = 0;
  std::uint8_t parity = 0;
  std::uint8_t stopBits = 0;
  char xonChar = 0;
  char xoffChar = 0;
  char errorChar = 0;
  char eofChar = 0;
  char evtChar = 0;

  bool operator==(const Dcb& other) const;
};

constexpr std::uint8_t kDtrControlHandshake = 2;
constexpr std::uint8_t kRtsControlDisable = 0;
constexpr std::uint32_t kModemStatusDsrOn = 0x20;
constexpr std::uint32_t kPurgeAll = 0x0F;  // TXABORT | RXABORT | TXCLEAR | RXCLEAR
constexpr std::uint32_t kIoctlParQueryInformation = 0x160004;

struct CommTimeouts {
  std::uint32_t readIntervalTimeout = 0;
  std::uint32_t readTotalTimeoutMultiplier = 0;
  std::uint32_t readTotalTimeoutConstant = 0;
  std::uint32_t writeTotalTimeoutMultiplier = 0;
  std::uint32_t writeTotalTimeoutConstant = 0;

  bool operator==(const CommTimeouts& other) const;
};

class DeviceFile {
 public:
  virtual ~DeviceFile() = default;  // CloseHandle
  // Synchronous WriteFile / ReadFile: false when the call failed; `done` is what the OS
  // reported transferred either way.
  virtual bool Write(const std::uint8_t* data, std::uint32_t count, std::uint32_t& done) = 0;
  virtual bool Read(std::uint8_t* data, std::uint32_t count, std::uint32_t& done) = 0;
  virtual bool GetCommState(Dcb& dcb) = 0;
  virtual bool SetCommState(const Dcb& dcb) = 0;
  virtual bool GetCommModemStatus(std::uint32_t& status) = 0;
  virtual bool SetCommTimeouts(const CommTimeouts& timeouts) = 0;
  virtual bool PurgeComm(std::uint32_t flags) = 0;
  virtual bool FlushFileBuffers() = 0;
  virtual bool CancelIo() = 0;
  // DeviceIoControl with `input` and an output buffer of out.size() bytes; out is resized to
  // the bytes returned.
  virtual bool DeviceIoControl(std::uint32_t code, const std::vector<std::uint8_t>& input,
                               std::vector<std::uint8_t>& output) = 0;
  // The OS handle's value: device notifications name the handle they are about by it.
  virtual std::uintptr_t Identity() const = 0;
};

class DeviceFiles {
 public:
  virtual ~DeviceFiles() = default;
  // CreateFileA; null on failure.
  virtual std::unique_ptr<DeviceFile> Open(const std::string& path, std::uint32_t access,
                                           std::uint32_t shareMode, std::uint32_t creation,
                                           std::uint32_t flags) = 0;
};

}  // namespace platform
