// In-process front ends of the printer simulator for unit tests: device files for the serial,
// parallel and USB transports, and a socket layer for Ethernet. They implement the platform
// seams the transports use, feed what the utility writes to a PrinterSimulator, hand its
// replies back, and keep a byte-exact log of every write for the test to check.
//
// Nothing here blocks: a read that finds no reply returns at once and advances the injected
// virtual clock by the time the real port would have waited, so loops are bounded in virtual
// time.
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/device_file.h"
#include "platform/sockets.h"
#include "tools/printer_simulator/printer_simulator.h"

namespace printer_simulator {

// A read that gets nothing ends after perByteMs for each byte asked for plus constantMs.
struct ReadTimeout {
  std::uint32_t perByteMs = 0;
  std::uint32_t constantMs = 0;
  std::uint32_t For(std::uint32_t count) const { return perByteMs * count + constantMs; }
};

// How reads on one kind of device file behave.
struct DeviceBehaviour {
  ReadTimeout readTimeout;
  bool oneReplyPerRead = false;  // a read ends where a reply ends, as a USB transfer does

  // The serial port's total read time-out: 10 ms per requested byte + 100 ms (260 ms for 16).
  static DeviceBehaviour Serial() { return {{10, 100}, false}; }
  // The parallel port runs with 10 ms per byte + 10 ms, the time-outs the utility gives it.
  static DeviceBehaviour Parallel() { return {{10, 10}, false}; }
  // A USB read's wait is up to the device driver; this one gives up after 1000 ms.
  static DeviceBehaviour Usb() { return {{0, 1000}, true}; }
};

// One simulated device. The transports destroy their handle at every close; what a test set up
// and what it observes stays here, across all the handles opened on the device.
struct SimulatedDevice {
  explicit SimulatedDevice(PrinterSimulator& printer,
                           DeviceBehaviour behaviour = DeviceBehaviour::Serial(),
                           platform::Clock* clock = nullptr);

  PrinterSimulator& printer;
  DeviceBehaviour behaviour;
  platform::Clock* clock;  // advanced by read time-outs when set

  // Set by the test, at any time.
  bool dsrOn = true;
  // The parallel port status byte (0x80: selected and ready); none makes the query fail.
  std::optional<std::uint8_t> parallelStatus = 0x80;

  // Observed.
  std::vector<std::vector<std::uint8_t>> writes;  // the bytes of every Write call, in order
  std::vector<std::uint32_t> readSizes;           // the count of every Read call
  platform::Dcb dcb;                              // what GetCommState reports
  std::optional<platform::Dcb> lastSetDcb;
  std::optional<platform::CommTimeouts> lastTimeouts;
  std::vector<std::uint32_t> purges;
  int flushes = 0;
  int cancels = 0;
  int opens = 0;
  int closes = 0;
  std::uint64_t waitedMs = 0;  // read time-outs served, in virtual milliseconds

  std::vector<std::uint8_t> AllWritten() const;

  // Handles open now; a handle opened without sharing keeps every other open out.
  int openHandles = 0;
  bool heldExclusively = false;
};

class SimulatedDeviceFile : public platform::DeviceFile {
 public:
  // Opens a connection to the device's printer; the destructor closes it.
  SimulatedDeviceFile(SimulatedDevice& device, bool exclusive);
  ~SimulatedDeviceFile() override;
  SimulatedDeviceFile(const SimulatedDeviceFile&) = delete;
  SimulatedDeviceFile& operator=(const SimulatedDeviceFile&) = delete;

  // Reports the bytes the printer took: all of them, fewer when the link drops on the way
  // (the call still succeeds), none and a failed call once it has dropped.
  bool Write(const std::uint8_t* data, std::uint32_t count, std::uint32_t& done) override;
  // Up to `count` queued reply bytes. With nothing queued: 0 bytes, the buffer untouched, and
  // the clock advanced by the read time-out. Fails once the link has dropped.
  bool Read(std::uint8_t* data, std::uint32_t count, std::uint32_t& done) override;
  bool GetCommState(platform::Dcb& dcb) override;
  bool SetCommState(const platform::Dcb& dcb) override;
  bool GetCommModemStatus(std::uint32_t& status) override;
  bool SetCommTimeouts(const platform::CommTimeouts& timeouts) override;
  // Purging the receive side also throws away the replies not yet read.
  bool PurgeComm(std::uint32_t flags) override;
  bool FlushFileBuffers() override;
  bool CancelIo() override;
  // Answers the parallel port status query only.
  bool DeviceIoControl(std::uint32_t code, const std::vector<std::uint8_t>& input,
                       std::vector<std::uint8_t>& output) override;
  // This handle's own address: distinct for every handle open at the same time.
  std::uintptr_t Identity() const override;

 private:
  SimulatedDevice& device_;
  bool exclusive_;
};

class SimulatedDeviceFiles : public platform::DeviceFiles {
 public:
  struct OpenCall {
    std::string path;
    std::uint32_t access = 0;
    std::uint32_t shareMode = 0;
    std::uint32_t creation = 0;
    std::uint32_t flags = 0;
    bool succeeded = false;
  };

  SimulatedDeviceFiles() = default;
  SimulatedDeviceFiles(const std::string& path, SimulatedDevice& device) { Add(path, device); }
  // Device names compare without regard to case, as the OS does.
  void Add(const std::string& path, SimulatedDevice& device);

  // Null for a path with no device, once the device's link has dropped, and while another
  // handle holds the device without sharing (or this open asks for no sharing while one is
  // open).
  std::unique_ptr<platform::DeviceFile> Open(const std::string& path, std::uint32_t access,
                                             std::uint32_t shareMode, std::uint32_t creation,
                                             std::uint32_t flags) override;

  const std::vector<OpenCall>& openCalls() const { return openCalls_; }

 private:
  std::map<std::string, SimulatedDevice*> devices_;  // by upper-cased path
  std::vector<OpenCall> openCalls_;
};

class SimulatedSocketLayer;

class SimulatedSocket : public platform::StreamSocket {
 public:
  explicit SimulatedSocket(SimulatedSocketLayer& layer);
  ~SimulatedSocket() override;  // closes the connection, if one was made
  SimulatedSocket(const SimulatedSocket&) = delete;
  SimulatedSocket& operator=(const SimulatedSocket&) = delete;

  // Succeeds only to the layer's host and port, while the link is up, and only once.
  bool Connect(const std::string& host, std::uint32_t port) override;
  // The bytes the printer took; -1 when not connected or once the link has dropped.
  int Send(const std::uint8_t* data, int count) override;
  // Up to `count` queued reply bytes; 0 once the link has dropped (the peer is gone); with
  // nothing queued -1, a time-out, after advancing the clock by the receive time-out.
  int Receive(std::uint8_t* data, int count) override;
  bool SetReceiveTimeout(std::uint32_t milliseconds) override;

 private:
  SimulatedSocketLayer& layer_;
  bool connected_ = false;
  std::uint32_t receiveTimeoutMs_ = 0;
};

class SimulatedSocketLayer : public platform::SocketLayer {
 public:
  // The printer listens at `host`:`port`.
  SimulatedSocketLayer(PrinterSimulator& printer, std::string host, std::uint32_t port,
                       platform::Clock* clock = nullptr);

  // Set by the test.
  bool startupFails = false;
  // A receive without a time-out of its own would wait for ever on a real socket; here it
  // gives up after this long.
  std::uint32_t defaultReceiveTimeoutMs = 1000;

  // Observed.
  struct ConnectCall {
    std::string host;
    std::uint32_t port = 0;
    bool succeeded = false;
  };
  int startups = 0;
  int creates = 0;
  std::vector<ConnectCall> connectCalls;
  std::vector<std::vector<std::uint8_t>> sends;  // the bytes of every Send call, in order
  std::vector<int> receiveSizes;
  std::vector<std::uint32_t> receiveTimeouts;  // every SetReceiveTimeout
  std::uint64_t waitedMs = 0;

  std::vector<std::uint8_t> AllSent() const;

  // Fails with the "network not ready" code 10091 when startupFails is set.
  platform::SocketStartup Startup() override;
  // Null until a Startup has succeeded, as sockets need the layer started.
  std::unique_ptr<platform::StreamSocket> Create() override;

 private:
  friend class SimulatedSocket;
  PrinterSimulator& printer_;
  std::string host_;
  std::uint32_t port_;
  platform::Clock* clock_;
  bool started_ = false;
};

}  // namespace printer_simulator
