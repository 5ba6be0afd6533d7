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

class Win32LoadedModule : public LoadedModule {
 public:
  explicit Win32LoadedModule(HMODULE module) : module_(module) {}

  long FindTextPairFunction(const std::string& exportName, TextPairFunction& function) override {
    using Export = int(__stdcall*)(const char*, const char*);
    const Export found = win32::BindFunction<Export>(module_.Get(), exportName.c_str());
    if (found == nullptr) return win32::FailureCode();
    function = [found](const char* first, const char* second) { return found(first, second); };
    return ERROR_SUCCESS;
  }

 private:
  win32::LoadedModule module_;
};

// Frees the buffer FormatMessageA allocated.
struct MessageBufferTraits {
  using Handle = char*;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { ::LocalFree(h); }
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

long Win32SystemServices::LoadModule(const std::string& fileName, std::unique_ptr<LoadedModule>& module) {
  HMODULE loaded = ::LoadLibraryA(fileName.c_str());
  if (loaded == nullptr) return win32::FailureCode();
  module = std::make_unique<Win32LoadedModule>(loaded);
  return ERROR_SUCCESS;
}

std::string Win32SystemServices::ErrorText(long code, std::uint32_t languageId) {
  char* text = nullptr;
  const DWORD length = ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, static_cast<DWORD>(code), languageId,
                                        reinterpret_cast<char*>(&text), 0, nullptr);
  win32::HandleOwner<MessageBufferTraits> owner(text);
  return length != 0 && text != nullptr ? std::string(text, length) : std::string();
}

}  // namespace platform
