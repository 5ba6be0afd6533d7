// System services in memory: profile strings, started commands, a scripted version and
// computer name, a process token whose privilege adjustment and the restart request can
// be made to fail, loadable modules with scripted exports, and error texts. Logs the calls.
#pragma once
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
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
    if (versionFailures > 0) {
      --versionFailures;
      return platform::kErrorInvalidParameter;
    }
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

  long LoadModule(const std::string& fileName, std::unique_ptr<platform::LoadedModule>& module) override {
    Record("load " + fileName);
    if (!modules.count(fileName)) return kErrorModuleNotFound;
    module = std::make_unique<Module>(*this, fileName);
    return platform::kErrorSuccess;
  }
  std::string ErrorText(long code, std::uint32_t languageId) override {
    Record("error text " + std::to_string(code) + " " + std::to_string(languageId));
    const auto found = errorTexts.find(code);
    return found != errorTexts.end() ? found->second : std::string();
  }

  // A loaded module: its exports are the names in `exports` of modules[fileName]; calling one
  // records "call EXPORT(first,second)" and runs `onCall` (what the module would do).
  struct Module : platform::LoadedModule {
    Module(FakeSystemServices& system, std::string fileName) : system_(system), file_(std::move(fileName)) {
      ++system_.loadedModules;
    }
    ~Module() override {
      --system_.loadedModules;
      system_.Record("free " + file_);
    }
    long FindTextPairFunction(const std::string& exportName, platform::TextPairFunction& function) override {
      system_.Record("find " + exportName);
      if (!system_.modules[file_].count(exportName)) return kErrorProcNotFound;
      FakeSystemServices* system = &system_;
      function = [system, exportName](const char* first, const char* second) {
        system->Record("call " + exportName + "(" + first + "," + second + ")");
        if (system->onCall) system->onCall(exportName, first, second);
        return system->exportResult;
      };
      return platform::kErrorSuccess;
    }
    FakeSystemServices& system_;
    std::string file_;
  };

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
  int versionFailures = 0;  // this many calls fail before the version is given
  std::string computerName = "FRONTDESK";
  long openTokenError = 0;
  long lookupError = 0;
  platform::Luid shutdownLuid{19, 0};
  long adjustLastError = 0;  // e.g. kErrorNotAllAssigned when the privilege is not held
  long exitError = 0;
  int openTokens = 0;
  // LoadLibraryA / GetProcAddress failures (ERROR_MOD_NOT_FOUND, ERROR_PROC_NOT_FOUND).
  static constexpr long kErrorModuleNotFound = 126;
  static constexpr long kErrorProcNotFound = 127;
  std::map<std::string, std::set<std::string>> modules;  // file name -> export names
  std::function<void(const std::string&, const std::string&, const std::string&)> onCall;
  int exportResult = 0;
  int loadedModules = 0;
  std::map<long, std::string> errorTexts;  // FormatMessageA answers
  std::vector<std::string> log;
  std::vector<std::string>* journal = nullptr;
};

}  // namespace fakes
