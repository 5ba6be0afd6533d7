// An in-memory setup API for the removal side: devices of the "USB" enumerator with their
// hardware-ID lists, and the system INF folder's files with their lines and OEM copies.
// Logs the calls and has switches to make them fail.
#pragma once
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/device_setup.h"

namespace fakes {

class FakeDeviceSetup : public platform::DeviceSetup {
 public:
  struct Device {
    std::string instanceId;
    std::vector<std::uint8_t> hardwareIds;  // REG_MULTI_SZ bytes
    long propertyError = 0;
    long removeError = 0;
    bool removed = false;
  };

  long GetEnumeratorDevices(const std::string& enumerator, std::uint32_t flags,
                            std::unique_ptr<platform::DeviceSet>& set) override;
  long GetInfFileList(std::uint32_t style, std::vector<std::string>& names) override;
  long OpenInf(const std::string& name, std::uint32_t style, std::unique_ptr<platform::InfFile>& inf) override;
  long UninstallOemInf(const std::string& infFileName, std::uint32_t flags) override;
  // Copies a source named in `sourceInfs` into the store as "<infFolder>\oemN.inf" (N counting
  // from `nextOemNumber`), adds it to `infFiles`, `oemInfs` and `infLines`; with
  // kSpCopyNoOverwrite a source copied before is refused (80) but still named.
  long CopyOemInf(const std::string& sourceInf, std::uint32_t mediaType, std::uint32_t copyStyle,
                  std::size_t bufferChars, std::string& destination) override;

  // A REG_MULTI_SZ value's bytes: each text with its zero, then the closing zero.
  static std::vector<std::uint8_t> MultiSz(const std::vector<std::string>& texts);
  Device& AddDevice(const std::string& instanceId, const std::vector<std::string>& hardwareIds);

  std::vector<Device> devices;
  long getDevicesError = 0;
  std::map<std::uint32_t, long> enumErrors;  // index -> what SetupDiEnumDeviceInfo fails with

  std::vector<std::string> infFiles;                    // the system INF folder, in list order
  std::map<std::string, std::set<std::string>> infLines;  // file -> "SECTION|KEY"
  std::set<std::string> unopenableInfs;
  long infListError = 0;
  std::set<std::string> oemInfs;  // what UninstallOemInf can uninstall

  // Sources CopyOemInf can copy, with their lines ("SECTION|KEY").
  std::map<std::string, std::set<std::string>> sourceInfs;
  std::string infFolder = "C:\\WINDOWS\\inf";
  int nextOemNumber = 12;
  std::map<std::string, std::string> copiedOemInfs;  // source -> its full path in the store

  // "devices USB 0x4", "enum 3", "property ID 0x1 100", "remove ID", "destroy set",
  // "inf list 0x2", "open inf NAME 0x3", "find NAME SECTION|KEY", "close inf NAME",
  // "uninstall inf NAME 0x1", "copy oem inf SOURCE 0x1 0x8 260"; also into `journal` when one
  // is set.
  std::vector<std::string> log;
  std::vector<std::string>* journal = nullptr;
  int openSets = 0;
  int openInfs = 0;
  std::uint32_t enumCalls = 0;

  void Record(const std::string& entry);
};

}  // namespace fakes
