// A setup API whose device-interface set lists the device paths a test gives, with a log of
// the calls made on it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/setup_api.h"

namespace fakes {

class FakeSetupApi : public platform::SetupApi {
 public:
  struct Interface {
    std::string path;
    long enumError = 0;     // SetupDiEnumDeviceInterfaces fails with this for the index
    long detailError = 0;   // SetupDiGetDeviceInterfaceDetailA fails with this
  };

  std::unique_ptr<platform::DeviceInfoSet> GetClassDevs(const platform::Guid* classGuid,
                                                        const std::string& enumerator,
                                                        std::uint32_t flags) override;

  // Index i of the set is interfaces[i]; past the end the set reports kErrorNoMoreItems.
  std::vector<Interface> interfaces;
  bool failGetClassDevs = false;

  // What happened.
  struct ClassDevsCall {
    bool hasGuid = false;
    platform::Guid classGuid;
    std::string enumerator;
    std::uint32_t flags = 0;
  };
  std::vector<ClassDevsCall> classDevsCalls;
  std::vector<std::uint32_t> enumeratedIndexes;  // every index asked for, in order
  std::vector<platform::Guid> enumeratedClasses;
  std::vector<std::uint32_t> detailIndexes;
  int openSets = 0;
  int destroyedSets = 0;
};

}  // namespace fakes
