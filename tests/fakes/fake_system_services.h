// System services in memory: profile strings, started commands, a scripted version and
// computer name, and a process token whose privilege adjustment and the restart request can
// be made to fail. Logs the calls.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "platform/os_codes.h"
#include "platform/system.h"

namespace fakes {

class FakeSystemServices : public platform::SystemServices {
 public:
  bool WriteProfileText(const std::string& section, const std::string& key, const std::string& value) override {
    Record("profile " + section + "|" + key + "=" + value);
    profile[section + "|" + key] = value;
    return true;
  }
  std::uint32_t StartCommand(const std::string& commandLine, std::uint32_t showState) override {
    Record("run " + commandLine + " show " + std::to_string(showState));
    return startResult;
  }
  long QueryVersion(platform::OsVersion& out) override {
    Record("version");
    if (versionError != 0) return versionError;
    out = version;
    return platform::kErrorSuccess;
  }
  long ComputerName(std::size_t bufferChars, std::string& name) override {
    Record("computer name");
    if (computerName.size() + 1 > bufferChars) return platform::kErrorMoreData;
    name = computerName;
    return platform::kErrorSuccess;
  }
  long OpenProcessToken(std::uint32_t access, std::unique_ptr<platform::AccessToken>& token) override {
    Record("open token " + std::to_string(access));
    if (openTokenError != 0) return openTokenError;
    token = std::make_unique<Token>(*this);
    return platform::kErrorSuccess;
  }
  long LookupPrivilege(const std::string& name, platform::Luid& privilege) override {
    Record("lookup " + name);
    if (lookupError != 0) return lookupError;
    privilege = shutdownLuid;
    return platform::kErrorSuccess;
  }
  long RequestExitWindows(std::uint32_t flags, std::uint32_t reason) override {
    Record("exit windows " + std::to_string(flags) + " " + std::to_string(reason));
    return exitError;
  }

  struct Token : platform::AccessToken {
    explicit Token(FakeSystemServices& system) : system_(system) { ++system_.openTokens; }
    ~Token() override {
      --system_.openTokens;
      system_.Record("close token");
    }
    long AdjustPrivilege(const platform::Luid& privilege, std::uint32_t attributes) override {
      system_.Record("adjust " + std::to_string(privilege.lowPart) + ":" + std::to_string(privilege.highPart) +
                     " " + std::to_string(attributes));
      return system_.adjustLastError;
    }
    FakeSystemServices& system_;
  };

  void Record(const std::string& entry) {
    log.push_back(entry);
    if (journal) journal->push_back(entry);
  }

  std::map<std::string, std::string> profile;  // "section|key" -> value
  std::uint32_t startResult = 33;              // WinExec: above 31 is started
  platform::OsVersion version;
  long versionError = 0;
  std::string computerName = "FRONTDESK";
  long openTokenError = 0;
  long lookupError = 0;
  platform::Luid shutdownLuid{19, 0};
  long adjustLastError = 0;  // e.g. kErrorNotAllAssigned when the privilege is not held
  long exitError = 0;
  int openTokens = 0;
  std::vector<std::string> log;
  std::vector<std::string>* journal = nullptr;
};

}  // namespace fakes
