// The in-memory setup API of the removal side tests: devices and INF files.
#include "tests/fakes/fake_device_setup.h"

#include <cstdio>

#include "platform/os_codes.h"

namespace fakes {

namespace {

constexpr long kErrorLineNotFound = static_cast<long>(0xE0000102);

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%x", value);
  return text;
}

class FakeSet : public platform::DeviceSet {
 public:
  explicit FakeSet(FakeDeviceSetup& setup) : setup_(setup) { ++setup_.openSets; }
  ~FakeSet() override {
    --setup_.openSets;
    setup_.Record("destroy set");
  }

  // Devices stay in the set after removal, as in a real set: indices do not shift.
  long EnumDeviceInfo(std::uint32_t index, platform::DeviceInfoData& device) override {
    ++setup_.enumCalls;
    setup_.Record("enum " + std::to_string(index));
    auto error = setup_.enumErrors.find(index);
    if (error != setup_.enumErrors.end()) return error->second;
    if (index >= setup_.devices.size()) return platform::kErrorNoMoreItems;
    device = platform::DeviceInfoData();
    device.devInst = index + 1;
    device.reserved = 0x5E7;  // the set's mark: checked when the record comes back
    return platform::kErrorSuccess;
  }

  long GetDeviceRegistryProperty(const platform::DeviceInfoData& device, std::uint32_t property,
                                 std::size_t bufferBytes, platform::RegistryValue& value) override {
    FakeDeviceSetup::Device* d = Find(device);
    if (!d) return platform::kErrorInvalidParameter;
    setup_.Record("property " + d->instanceId + " " + Hex(property) + " " + std::to_string(bufferBytes));
    if (d->propertyError != 0) return d->propertyError;
    if (property != platform::kSpdrpHardwareId) return platform::kErrorInvalidParameter;
    if (d->hardwareIds.size() > bufferBytes) return platform::kErrorInsufficientBuffer;
    value.type = platform::kRegMultiSz;
    value.data = d->hardwareIds;
    return platform::kErrorSuccess;
  }

  long RemoveDevice(const platform::DeviceInfoData& device) override {
    FakeDeviceSetup::Device* d = Find(device);
    if (!d) return platform::kErrorInvalidParameter;
    setup_.Record("remove " + d->instanceId);
    if (d->removeError != 0) return d->removeError;
    d->removed = true;
    return platform::kErrorSuccess;
  }

 private:
  FakeDeviceSetup::Device* Find(const platform::DeviceInfoData& device) {
    if (device.reserved != 0x5E7 || device.devInst == 0 || device.devInst > setup_.devices.size()) return nullptr;
    return &setup_.devices[device.devInst - 1];
  }

  FakeDeviceSetup& setup_;
};

class FakeInf : public platform::InfFile {
 public:
  FakeInf(FakeDeviceSetup& setup, std::string name) : setup_(setup), name_(std::move(name)) { ++setup_.openInfs; }
  ~FakeInf() override {
    --setup_.openInfs;
    setup_.Record("close inf " + name_);
  }

  long FindFirstLine(const std::string& section, const std::string& key) override {
    setup_.Record("find " + name_ + " " + section + "|" + key);
    auto lines = setup_.infLines.find(name_);
    if (lines == setup_.infLines.end() || !lines->second.count(section + "|" + key)) return kErrorLineNotFound;
    return platform::kErrorSuccess;
  }

 private:
  FakeDeviceSetup& setup_;
  std::string name_;
};

}  // namespace

void FakeDeviceSetup::Record(const std::string& entry) {
  log.push_back(entry);
  if (journal) journal->push_back(entry);
}

std::vector<std::uint8_t> FakeDeviceSetup::MultiSz(const std::vector<std::string>& texts) {
  std::vector<std::uint8_t> bytes;
  for (const std::string& text : texts) {
    bytes.insert(bytes.end(), text.begin(), text.end());
    bytes.push_back(0);
  }
  bytes.push_back(0);
  return bytes;
}

FakeDeviceSetup::Device& FakeDeviceSetup::AddDevice(const std::string& instanceId,
                                                    const std::vector<std::string>& hardwareIds) {
  Device device;
  device.instanceId = instanceId;
  device.hardwareIds = MultiSz(hardwareIds);
  devices.push_back(device);
  return devices.back();
}

long FakeDeviceSetup::GetEnumeratorDevices(const std::string& enumerator, std::uint32_t flags,
                                           std::unique_ptr<platform::DeviceSet>& set) {
  Record("devices " + enumerator + " " + Hex(flags));
  if (getDevicesError != 0) return getDevicesError;
  set = std::make_unique<FakeSet>(*this);
  return platform::kErrorSuccess;
}

long FakeDeviceSetup::GetInfFileList(std::uint32_t style, std::vector<std::string>& names) {
  Record("inf list " + Hex(style));
  if (infListError != 0) return infListError;
  names = infFiles;
  return platform::kErrorSuccess;
}

long FakeDeviceSetup::OpenInf(const std::string& name, std::uint32_t style, std::unique_ptr<platform::InfFile>& inf) {
  Record("open inf " + name + " " + Hex(style));
  if (unopenableInfs.count(name)) return platform::kErrorFileNotFound;
  inf = std::make_unique<FakeInf>(*this, name);
  return platform::kErrorSuccess;
}

long FakeDeviceSetup::UninstallOemInf(const std::string& infFileName, std::uint32_t flags) {
  Record("uninstall inf " + infFileName + " " + Hex(flags));
  return oemInfs.erase(infFileName) ? platform::kErrorSuccess : platform::kErrorFileNotFound;
}

long FakeDeviceSetup::CopyOemInf(const std::string& sourceInf, std::uint32_t mediaType, std::uint32_t copyStyle,
                                 std::size_t bufferChars, std::string& destination) {
  Record("copy oem inf " + sourceInf + " " + Hex(mediaType) + " " + Hex(copyStyle) + " " +
         std::to_string(bufferChars));
  auto copied = copiedOemInfs.find(sourceInf);
  if (copied != copiedOemInfs.end()) {
    if (copied->second.size() + 1 <= bufferChars) destination = copied->second;
    if ((copyStyle & platform::kSpCopyNoOverwrite) != 0) return platform::kErrorFileExists;
    return platform::kErrorSuccess;
  }
  auto source = sourceInfs.find(sourceInf);
  if (source == sourceInfs.end()) return platform::kErrorFileNotFound;
  const std::string name = "oem" + std::to_string(nextOemNumber++) + ".inf";
  const std::string path = infFolder + "\\" + name;
  if (path.size() + 1 > bufferChars) return platform::kErrorInsufficientBuffer;
  infFiles.push_back(name);
  oemInfs.insert(name);
  infLines[name] = source->second;
  copiedOemInfs[sourceInf] = path;
  destination = path;
  return platform::kErrorSuccess;
}

}  // namespace fakes
