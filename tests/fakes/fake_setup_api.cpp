#include "tests/fakes/fake_setup_api.h"

#include "platform/os_codes.h"

namespace fakes {

namespace {

class FakeDeviceInfoSet : public platform::DeviceInfoSet {
 public:
  explicit FakeDeviceInfoSet(FakeSetupApi& api) : api_(api) { ++api_.openSets; }
  ~FakeDeviceInfoSet() override {
    --api_.openSets;
    ++api_.destroyedSets;
  }

  long EnumDeviceInterfaces(const platform::Guid& interfaceClass, std::uint32_t index,
                            platform::DeviceInterfaceData& data) override {
    api_.enumeratedIndexes.push_back(index);
    api_.enumeratedClasses.push_back(interfaceClass);
    if (index >= api_.interfaces.size()) return platform::kErrorNoMoreItems;
    if (api_.interfaces[index].enumError != 0) return api_.interfaces[index].enumError;
    data.interfaceClassGuid = interfaceClass;
    data.flags = 1;  // SPINT_ACTIVE
    data.reserved = index + 1;
    return platform::kErrorSuccess;
  }

  long GetDeviceInterfaceDetail(const platform::DeviceInterfaceData& data, std::string& devicePath) override {
    if (data.reserved == 0 || data.reserved > api_.interfaces.size()) return platform::kErrorInvalidParameter;
    const std::uint32_t index = static_cast<std::uint32_t>(data.reserved - 1);
    api_.detailIndexes.push_back(index);
    if (api_.interfaces[index].detailError != 0) return api_.interfaces[index].detailError;
    devicePath = api_.interfaces[index].path;
    return platform::kErrorSuccess;
  }

 private:
  FakeSetupApi& api_;
};

}  // namespace

std::unique_ptr<platform::DeviceInfoSet> FakeSetupApi::GetClassDevs(const platform::Guid* classGuid,
                                                                    const std::string& enumerator,
                                                                    std::uint32_t flags) {
  ClassDevsCall call;
  call.hasGuid = classGuid != nullptr;
  if (classGuid) call.classGuid = *classGuid;
  call.enumerator = enumerator;
  call.flags = flags;
  classDevsCalls.push_back(call);
  if (failGetClassDevs) return nullptr;
  return std::make_unique<FakeDeviceInfoSet>(*this);
}

}  // namespace fakes
