// Device files whose behaviour a test scripts and whose calls it inspects afterwards.
#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/device_file.h"

namespace fakes {

struct FakeDeviceState {
  // Behaviour.
  platform::Dcb initialDcb;
  bool failGetCommState = false;
  bool failSetCommState = false;
  bool failModemStatus = false;
  bool failSetTimeouts = false;
  std::uint32_t modemStatus = platform::kModemStatusDsrOn;
  std::deque<std::uint8_t> input;     // bytes the device will deliver
  std::vector<std::uint8_t> parallelStatus;  // DeviceIoControl output, empty = the call fails
  bool failWrites = false;
  std::uint32_t writeLimit = 0xFFFFFFFFu;  // a write takes at most this many bytes
  // Called with every written block, so that a test can answer commands.
  std::function<void(const std::vector<std::uint8_t>&, FakeDeviceState&)> onWrite;
  // What happened.
  std::vector<std::string> calls;     // names of calls in order
  platform::Dcb lastDcb;
  platform::CommTimeouts lastTimeouts;
  std::uint32_t lastPurge = 0;
  std::vector<std::vector<std::uint8_t>> writes;
  std::uint32_t openCount = 0;
  std::uint32_t closeCount = 0;
  std::uintptr_t handleIdentity = 0;  // Identity() of the handle opened last
};

class FakeDeviceFiles : public platform::DeviceFiles {
 public:
  std::unique_ptr<platform::DeviceFile> Open(const std::string& path, std::uint32_t access,
                                             std::uint32_t shareMode, std::uint32_t creation,
                                             std::uint32_t flags) override;

  // A device at `path`; opening any other path fails.
  std::shared_ptr<FakeDeviceState> AddDevice(const std::string& path);

  struct OpenCall {
    std::string path;
    std::uint32_t access, shareMode, creation, flags;
  };
  std::vector<OpenCall> opens;
  std::map<std::string, std::shared_ptr<FakeDeviceState>> devices;
  std::uintptr_t lastIdentity = 0x1000;  // every handle gets a value of its own
};

}  // namespace fakes
