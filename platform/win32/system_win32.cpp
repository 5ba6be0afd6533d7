// Win32 system services adapter.
#include "platform/win32/system_win32.h"

#include "platform/win32/removal_handles_win32.h"

#include <algorithm>
#include <vector>

namespace platform {
namespace {

class Win32AccessToken : public AccessToken {
 public:
  explicit Win32AccessToken(HANDLE token) : token_(token) {}

  long AdjustPrivilege(const Luid& privilege, std::uint32_t attributes) override {
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Luid.LowPart = privilege.lowPart;
    privileges.Privileges[0].Luid.HighPart = privilege.highPart;
    privileges.Privileges[0].Attributes = attributes;
    // The call also reports through the last error when it succeeds (ERROR_NOT_ALL_ASSIGNED):
    // start from a clean one so that what is read belongs to this call.
    ::SetLastError(ERROR_SUCCESS);
    const BOOL done = ::AdjustTokenPrivileges(token_.Get(), FALSE, &privileges, 0, nullptr, nullptr);
    return done ? static_cast<long>(::GetLastError()) : win32::FailureCode();
  }

 private:
  win32::KernelHandle token_;
};

}  // namespace

bool Win32SystemServices::WriteProfileText(const std::string& section, const std::string& key,
                                           const std::string& value) {
  return ::WriteProfileStringA(section.c_str(), key.c_str(), value.c_str()) != FALSE;
}

std::uint32_t Win32SystemServices::StartCommand(const std::string& commandLine, std::uint32_t showState) {
  return ::WinExec(commandLine.c_str(), showState);
}

long Win32SystemServices::QueryVersion(OsVersion& version) {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof(info);
  if (!::GetVersionExA(&info)) return win32::FailureCode();
  version.majorVersion = info.dwMajorVersion;
  version.minorVersion = info.dwMinorVersion;
  version.buildNumber = info.dwBuildNumber;
  version.platformId = info.dwPlatformId;
  version.servicePack = info.szCSDVersion;
  return ERROR_SUCCESS;
}

long Win32SystemServices::ComputerName(std::size_t bufferChars, std::string& name) {
  if (bufferChars > MAXDWORD) return ERROR_INVALID_PARAMETER;
  std::vector<char> buffer(std::max<std::size_t>(bufferChars, 1), '\0');
  DWORD size = static_cast<DWORD>(bufferChars);
  if (!::GetComputerNameA(buffer.data(), &size)) return win32::FailureCode();
  name.assign(buffer.data(), size);
  return ERROR_SUCCESS;
}

long Win32SystemServices::OpenProcessToken(std::uint32_t access, std::unique_ptr<AccessToken>& token) {
  HANDLE opened = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), access, &opened)) return win32::FailureCode();
  token = std::make_unique<Win32AccessToken>(opened);
  return ERROR_SUCCESS;
}

long Win32SystemServices::LookupPrivilege(const std::string& name, Luid& privilege) {
  LUID luid = {};
  if (!::LookupPrivilegeValueA(nullptr, name.c_str(), &luid)) return win32::FailureCode();
  privilege.lowPart = luid.LowPart;
  privilege.highPart = luid.HighPart;
  return ERROR_SUCCESS;
}

long Win32SystemServices::RequestExitWindows(std::uint32_t flags, std::uint32_t reason) {
  return ::ExitWindowsEx(flags, reason) ? ERROR_SUCCESS : win32::FailureCode();
}

}  // namespace platform
