// In-process device files and sockets that put the printer simulator at the far end of the
// utility's transports in unit tests.
#include "tools/printer_simulator/simulated_endpoints.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace printer_simulator {
namespace {

constexpr std::uint32_t kPurgeRxClear = 0x08;
constexpr int kWsaSysNotReady = 10091;

std::string UpperCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

// The settings a COM port has before anybody programs it.
platform::Dcb PortDefaults() {
  platform::Dcb dcb;
  dcb.baudRate = 9600;
  dcb.fBinary = true;
  dcb.fDtrControl = 1;  // enabled
  dcb.fRtsControl = 1;  // enabled
  dcb.xonLim = 2048;
  dcb.xoffLim = 512;
  dcb.byteSize = 8;
  dcb.xonChar = 0x11;
  dcb.xoffChar = 0x13;
  return dcb;
}

std::vector<std::uint8_t> Concatenate(const std::vector<std::vector<std::uint8_t>>& pieces) {
  std::vector<std::uint8_t> all;
  for (const auto& piece : pieces) all.insert(all.end(), piece.begin(), piece.end());
  return all;
}

}  // namespace

SimulatedDevice::SimulatedDevice(PrinterSimulator& printerSimulator,
                                 DeviceBehaviour deviceBehaviour, platform::Clock* virtualClock)
    : printer(printerSimulator),
      behaviour(deviceBehaviour),
      clock(virtualClock),
      dcb(PortDefaults()) {}

std::vector<std::uint8_t> SimulatedDevice::AllWritten() const { return Concatenate(writes); }

SimulatedDeviceFile::SimulatedDeviceFile(SimulatedDevice& device, bool exclusive)
    : device_(device), exclusive_(exclusive) {
  ++device_.opens;
  ++device_.openHandles;
  if (exclusive_) device_.heldExclusively = true;
  device_.printer.ConnectionOpened();
}

SimulatedDeviceFile::~SimulatedDeviceFile() {
  ++device_.closes;
  --device_.openHandles;
  if (exclusive_) device_.heldExclusively = false;
  device_.printer.ConnectionClosed();
}

bool SimulatedDeviceFile::Write(const std::uint8_t* data, std::uint32_t count,
                                std::uint32_t& done) {
  done = 0;
  if (data == nullptr) return false;
  device_.writes.emplace_back(data, data + count);
  if (device_.printer.LinkDropped()) return false;
  done = static_cast<std::uint32_t>(device_.printer.Receive(data, count));
  return true;
}

bool SimulatedDeviceFile::Read(std::uint8_t* data, std::uint32_t count, std::uint32_t& done) {
  done = 0;
  device_.readSizes.push_back(count);
  if (device_.printer.LinkDropped()) return false;
  done = static_cast<std::uint32_t>(
      device_.printer.TakeReply(data, count, device_.behaviour.oneReplyPerRead));
  if (done == 0 && count > 0) {
    const std::uint32_t wait = device_.behaviour.readTimeout.For(count);
    device_.waitedMs += wait;
    if (device_.clock != nullptr) device_.clock->Sleep(wait);
  }
  return true;
}

bool SimulatedDeviceFile::GetCommState(platform::Dcb& dcb) {
  dcb = device_.dcb;
  return true;
}

bool SimulatedDeviceFile::SetCommState(const platform::Dcb& dcb) {
  device_.dcb = dcb;
  device_.lastSetDcb = dcb;
  return true;
}

bool SimulatedDeviceFile::GetCommModemStatus(std::uint32_t& status) {
  status = device_.dsrOn ? platform::kModemStatusDsrOn : 0;
  return true;
}

bool SimulatedDeviceFile::SetCommTimeouts(const platform::CommTimeouts& timeouts) {
  device_.lastTimeouts = timeouts;
  return true;
}

bool SimulatedDeviceFile::PurgeComm(std::uint32_t flags) {
  device_.purges.push_back(flags);
  if ((flags & kPurgeRxClear) != 0) device_.printer.DiscardReplies();
  return true;
}

bool SimulatedDeviceFile::FlushFileBuffers() {
  ++device_.flushes;
  return true;
}

bool SimulatedDeviceFile::CancelIo() {
  ++device_.cancels;
  return true;
}

bool SimulatedDeviceFile::DeviceIoControl(std::uint32_t code, const std::vector<std::uint8_t>&,
                                          std::vector<std::uint8_t>& output) {
  if (code != platform::kIoctlParQueryInformation || !device_.parallelStatus || output.empty()) {
    output.clear();
    return false;
  }
  output.assign(1, *device_.parallelStatus);
  return true;
}

std::uintptr_t SimulatedDeviceFile::Identity() const { return reinterpret_cast<std::uintptr_t>(this); }

void SimulatedDeviceFiles::Add(const std::string& path, SimulatedDevice& device) {
  devices_[UpperCase(path)] = &device;
}

std::unique_ptr<platform::DeviceFile> SimulatedDeviceFiles::Open(const std::string& path,
                                                                 std::uint32_t access,
                                                                 std::uint32_t shareMode,
                                                                 std::uint32_t creation,
                                                                 std::uint32_t flags) {
  openCalls_.push_back({path, access, shareMode, creation, flags, false});
  const auto found = devices_.find(UpperCase(path));
  if (found == devices_.end()) return nullptr;
  SimulatedDevice& device = *found->second;
  if (device.printer.LinkDropped()) return nullptr;
  const bool exclusive = shareMode == 0;
  if (device.openHandles > 0 && (exclusive || device.heldExclusively)) return nullptr;
  openCalls_.back().succeeded = true;
  return std::make_unique<SimulatedDeviceFile>(device, exclusive);
}

SimulatedSocket::SimulatedSocket(SimulatedSocketLayer& layer) : layer_(layer) {}

SimulatedSocket::~SimulatedSocket() {
  if (connected_) layer_.printer_.ConnectionClosed();
}

bool SimulatedSocket::Connect(const std::string& host, std::uint32_t port) {
  const bool ok = !connected_ && host == layer_.host_ && port == layer_.port_ &&
                  !layer_.printer_.LinkDropped();
  layer_.connectCalls.push_back({host, port, ok});
  if (!ok) return false;
  connected_ = true;
  layer_.printer_.ConnectionOpened();
  return true;
}

int SimulatedSocket::Send(const std::uint8_t* data, int count) {
  if (count < 0 || (data == nullptr && count > 0)) return -1;
  layer_.sends.emplace_back(data, data + count);
  if (!connected_ || layer_.printer_.LinkDropped()) return -1;
  if (count == 0) return 0;
  const std::size_t taken = layer_.printer_.Receive(data, static_cast<std::size_t>(count));
  return taken > 0 ? static_cast<int>(taken) : -1;
}

int SimulatedSocket::Receive(std::uint8_t* data, int count) {
  layer_.receiveSizes.push_back(count);
  if (!connected_ || count <= 0 || data == nullptr) return -1;
  if (layer_.printer_.LinkDropped()) return 0;
  const std::size_t taken = layer_.printer_.TakeReply(data, static_cast<std::size_t>(count));
  if (taken > 0) return static_cast<int>(taken);
  const std::uint32_t wait =
      receiveTimeoutMs_ != 0 ? receiveTimeoutMs_ : layer_.defaultReceiveTimeoutMs;
  layer_.waitedMs += wait;
  if (layer_.clock_ != nullptr) layer_.clock_->Sleep(wait);
  return -1;
}

bool SimulatedSocket::SetReceiveTimeout(std::uint32_t milliseconds) {
  layer_.receiveTimeouts.push_back(milliseconds);
  receiveTimeoutMs_ = milliseconds;
  return true;
}

SimulatedSocketLayer::SimulatedSocketLayer(PrinterSimulator& printer, std::string host,
                                           std::uint32_t port, platform::Clock* clock)
    : printer_(printer), host_(std::move(host)), port_(port), clock_(clock) {}

std::vector<std::uint8_t> SimulatedSocketLayer::AllSent() const { return Concatenate(sends); }

platform::SocketStartup SimulatedSocketLayer::Startup() {
  ++startups;
  platform::SocketStartup result;
  if (startupFails) {
    result.socketError = kWsaSysNotReady;
    result.lastError = kWsaSysNotReady;
    return result;
  }
  started_ = true;
  result.ok = true;
  return result;
}

std::unique_ptr<platform::StreamSocket> SimulatedSocketLayer::Create() {
  ++creates;
  if (!started_) return nullptr;
  return std::make_unique<SimulatedSocket>(*this);
}

}  // namespace printer_simulator
