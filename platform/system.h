// System services of the installer side: the user's profile strings, starting a command,
// the version, the computer name, the process token's privileges, the restart of Windows,
// loading a removal module and the system's text for an error code.
// One operation per platform call; a token is closed (CloseHandle) when its owner is destroyed.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace platform {

// WinExec show state (SW_HIDE): the command runs without a window.
constexpr std::uint32_t kShowHidden = 0;
// OpenProcessToken access (TOKEN_ADJUST_PRIVILEGES, TOKEN_QUERY).
constexpr std::uint32_t kTokenAdjustPrivileges = 0x20;
constexpr std::uint32_t kTokenQuery = 0x8;
// Privilege attribute (SE_PRIVILEGE_ENABLED).
constexpr std::uint32_t kPrivilegeEnabled = 0x2;
// ExitWindowsEx flags (EWX_REBOOT, EWX_FORCE).
constexpr std::uint32_t kExitReboot = 0x2;
constexpr std::uint32_t kExitForce = 0x4;
// GetLastError after a privilege adjustment that could not assign it (ERROR_NOT_ALL_ASSIGNED).
constexpr long kErrorNotAllAssigned = 1300;

// OSVERSIONINFOA.
struct OsVersion {
  std::uint32_t majorVersion = 0;
  std::uint32_t minorVersion = 0;
  std::uint32_t buildNumber = 0;
  std::uint32_t platformId = 0;
  std::string servicePack;
};

// LUID.
struct Luid {
  std::uint32_t lowPart = 0;
  std::int32_t highPart = 0;
};

class AccessToken {
 public:
  virtual ~AccessToken() = default;  // CloseHandle
  // AdjustTokenPrivileges with this one privilege, without disabling the others and without
  // the previous state. Returns GetLastError as it stands right after the call: the call
  // succeeds even when the privilege is not held, and only that code (kErrorNotAllAssigned)
  // tells.
  virtual long AdjustPrivilege(const Luid& privilege, std::uint32_t attributes) = 0;
};

// The one export of a removal module: int __stdcall (const char*, const char*). The adapter
// makes the typed call; logic only sees this wrapper, which is valid while its module lives.
using TextPairFunction = std::function<int(const char*, const char*)>;

// A library loaded with LoadLibraryA; freed (FreeLibrary) when its owner is destroyed.
class LoadedModule {
 public:
  virtual ~LoadedModule() = default;  // FreeLibrary
  // GetProcAddress by name, typed as a TextPairFunction.
  virtual long FindTextPairFunction(const std::string& exportName, TextPairFunction& function) = 0;
};

class SystemServices {
 public:
  virtual ~SystemServices() = default;
  // WriteProfileStringA.
  virtual bool WriteProfileText(const std::string& section, const std::string& key,
                                const std::string& value) = 0;
  // WinExec: the command is started and not waited for. Above 31 when it started.
  virtual std::uint32_t StartCommand(const std::string& commandLine, std::uint32_t showState) = 0;
  // GetVersionExA with the basic OSVERSIONINFOA.
  virtual long QueryVersion(OsVersion& version) = 0;
  // GetComputerNameA into a buffer of bufferChars characters (the zero included).
  virtual long ComputerName(std::size_t bufferChars, std::string& name) = 0;
  // OpenProcessToken of the current process (GetCurrentProcess).
  virtual long OpenProcessToken(std::uint32_t access, std::unique_ptr<AccessToken>& token) = 0;
  // LookupPrivilegeValueA on the local system.
  virtual long LookupPrivilege(const std::string& name, Luid& privilege) = 0;
  // ExitWindowsEx.
  virtual long RequestExitWindows(std::uint32_t flags, std::uint32_t reason) = 0;
  // LoadLibraryA with the name as given (a bare file name searches the program's folder
  // first). GetLastError on failure (126 when the file is missing).
  virtual long LoadModule(const std::string& fileName, std::unique_ptr<LoadedModule>& module) = 0;
  // FormatMessageA from the system's message table for `code` in `languageId`, the text as
  // the system gives it; empty when the system has no text for the code.
  virtual std::string ErrorText(long code, std::uint32_t languageId) = 0;
};

}  // namespace platform
