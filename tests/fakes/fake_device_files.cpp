#include "tests/fakes/fake_device_files.h"

namespace fakes {

namespace {

class FakeDeviceFile : public platform::DeviceFile {
 public:
  FakeDeviceFile(std::shared_ptr<FakeDeviceState> state, std::uintptr_t identity)
      : s_(std::move(state)), identity_(identity) {
    s_->handleIdentity = identity_;
  }
  ~FakeDeviceFile() override {
    s_->calls.push_back("CloseHandle");
    ++s_->closeCount;
  }

  bool Write(const std::uint8_t* data, std::uint32_t count, std::uint32_t& done) override {
    s_->calls.push_back("WriteFile");
    done = 0;
    if (s_->failWrites) return false;
    done = count < s_->writeLimit ? count : s_->writeLimit;
    s_->writes.emplace_back(data, data + done);
    if (s_->onWrite) s_->onWrite(s_->writes.back(), *s_);
    return true;
  }
  bool Read(std::uint8_t* data, std::uint32_t count, std::uint32_t& done) override {
    s_->calls.push_back("ReadFile");
    done = 0;
    while (done < count && !s_->input.empty()) {
      data[done++] = s_->input.front();
      s_->input.pop_front();
    }
    return true;
  }
  bool GetCommState(platform::Dcb& dcb) override {
    s_->calls.push_back("GetCommState");
    if (s_->failGetCommState) return false;
    dcb = s_->initialDcb;
    return true;
  }
  bool SetCommState(const platform::Dcb& dcb) override {
    s_->calls.push_back("SetCommState");
    s_->lastDcb = dcb;
    return !s_->failSetCommState;
  }
  bool GetCommModemStatus(std::uint32_t& status) override {
    s_->calls.push_back("GetCommModemStatus");
    if (s_->failModemStatus) return false;
    status = s_->modemStatus;
    return true;
  }
  bool SetCommTimeouts(const platform::CommTimeouts& timeouts) override {
    s_->calls.push_back("SetCommTimeouts");
    s_->lastTimeouts = timeouts;
    return !s_->failSetTimeouts;
  }
  bool PurgeComm(std::uint32_t flags) override {
    s_->calls.push_back("PurgeComm");
    s_->lastPurge = flags;
    return true;
  }
  bool FlushFileBuffers() override {
    s_->calls.push_back("FlushFileBuffers");
    return true;
  }
  bool CancelIo() override {
    s_->calls.push_back("CancelIo");
    return true;
  }
  bool DeviceIoControl(std::uint32_t, const std::vector<std::uint8_t>&, std::vector<std::uint8_t>& output) override {
    s_->calls.push_back("DeviceIoControl");
    if (s_->parallelStatus.empty()) return false;
    output = s_->parallelStatus;
    return true;
  }
  std::uintptr_t Identity() const override { return identity_; }

 private:
  std::shared_ptr<FakeDeviceState> s_;
  std::uintptr_t identity_;
};

}  // namespace

std::unique_ptr<platform::DeviceFile> FakeDeviceFiles::Open(const std::string& path, std::uint32_t access,
                                                            std::uint32_t shareMode, std::uint32_t creation,
                                                            std::uint32_t flags) {
  opens.push_back({path, access, shareMode, creation, flags});
  auto it = devices.find(path);
  if (it == devices.end()) return nullptr;
  ++it->second->openCount;
  it->second->calls.push_back("CreateFile");
  return std::make_unique<FakeDeviceFile>(it->second, ++lastIdentity);
}

std::shared_ptr<FakeDeviceState> FakeDeviceFiles::AddDevice(const std::string& path) {
  auto state = std::make_shared<FakeDeviceState>();
  devices[path] = state;
  return state;
}

}  // namespace fakes
