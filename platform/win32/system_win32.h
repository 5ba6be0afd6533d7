// Win32 adapter of the installer side's system services: WriteProfileStringA, WinExec,
// GetVersionExA, GetComputerNameA, the process token, ExitWindowsEx, LoadLibraryA with
// GetProcAddress, and FormatMessageA.
#pragma once
#include "platform/system.h"

namespace platform {

class Win32SystemServices : public SystemServices {
 public:
  bool WriteProfileText(const std::string& section, const std::string& key, const std::string& value) override;
  std::uint32_t StartCommand(const std::string& commandLine, std::uint32_t showState) override;
  long QueryVersion(OsVersion& version) override;
  long ComputerName(std::size_t bufferChars, std::string& name) override;
  long OpenProcessToken(std::uint32_t access, std::unique_ptr<AccessToken>& token) override;
  long LookupPrivilege(const std::string& name, Luid& privilege) override;
  long RequestExitWindows(std::uint32_t flags, std::uint32_t reason) override;
  long LoadModule(const std::string& fileName, std::unique_ptr<LoadedModule>& module) override;
  std::string ErrorText(long code, std::uint32_t languageId) override;
};

}  // namespace platform
