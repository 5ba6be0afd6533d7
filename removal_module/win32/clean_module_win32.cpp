// The one export of the removal modules, built twice from this source: CleanNT6.dll exports
// RemoveFromVISTA and CleanNT5.dll RemoveFromWin2k (the build defines KIT_CLEAN_NT5 for the
// latter). The export builds the platform's adapters and runs the removal; nothing happens
// when the library is loaded or unloaded.
//
// Calling convention: __stdcall, int (ModelName, FileSuffix) with zero-ended ANSI texts. The
// build strips the "@8" that i686 adds to __stdcall names, so both are found by their plain
// names through GetProcAddress.
#include <new>

#include "platform/os_codes.h"
#include "platform/win32/clock_win32.h"
#include "platform/win32/file_system_win32.h"
#include "platform/win32/print_admin_win32.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/system_win32.h"
#include "removal_module/removal_module.h"
#ifndef KIT_CLEAN_NT5
#include "platform/win32/device_setup_win32.h"
#endif

namespace {

constexpr long kErrorGenFailure = 31;  // ERROR_GEN_FAILURE

int RunRemoval(const char* modelName, const char* fileSuffix) {
  // Nothing may escape into a caller that knows only C.
  try {
    platform::Win32PrintAdmin spooler;
    platform::Win32Registry registry;
    platform::Win32FileSystem files;
    platform::Win32SystemServices system;
    platform::Win32Clock clock;
#ifdef KIT_CLEAN_NT5
    // The 2000/XP module reads no registry values and makes no setup API calls.
    platform::DeviceSetup* setup = nullptr;
    constexpr auto build = removal_module::ModuleBuild::CleanNt5;
#else
    platform::Win32DeviceSetup deviceSetup;
    platform::DeviceSetup* setup = &deviceSetup;
    constexpr auto build = removal_module::ModuleBuild::CleanNt6;
#endif
    removal_module::RemovalServices services{spooler, registry, setup, files, system, clock,
                                             platform::kKitPrintEnvironment};
    return static_cast<int>(removal_module::RemoveDriverPackage(build, services, modelName, fileSuffix));
  } catch (const std::bad_alloc&) {
    return static_cast<int>(platform::kErrorNotEnoughMemory);
  } catch (...) {
    return static_cast<int>(kErrorGenFailure);
  }
}

}  // namespace

#ifdef KIT_CLEAN_NT5
extern "C" __declspec(dllexport) int __stdcall RemoveFromWin2k(const char* modelName, const char* fileSuffix) {
  return RunRemoval(modelName, fileSuffix);
}
#else
extern "C" __declspec(dllexport) int __stdcall RemoveFromVISTA(const char* modelName, const char* fileSuffix) {
  return RunRemoval(modelName, fileSuffix);
}
#endif
