// The restart prompt and the restart of Windows.
#include "uninstaller/restart/restart.h"

#include <memory>

#include "platform/os_codes.h"

namespace removal {

const char kRestartPromptText[] =
    "Restart the computer can take effect.\nPlease restart the computer."
    "\n\n[Yes] I want to restart my computer now.\n[No] I will restart my computer later.";
const char kUninstallerCaption[] = "KELVO HRX-410 uninstaller";

namespace {

const char kShutdownPrivilege[] = "SeShutdownPrivilege";
// Lets the user read the status before the restart takes the screen.
constexpr std::uint32_t kPauseBeforeRestartMs = 1000;

}  // namespace

bool RestartWindows(platform::SystemServices& system) {
  std::unique_ptr<platform::AccessToken> token;
  if (system.OpenProcessToken(platform::kTokenAdjustPrivileges | platform::kTokenQuery, token) !=
      platform::kErrorSuccess) {
    return false;
  }
  platform::Luid shutdown;
  if (system.LookupPrivilege(kShutdownPrivilege, shutdown) != platform::kErrorSuccess) return false;
  // The adjustment succeeds even for a privilege the user does not hold; only the error it
  // leaves behind tells.
  if (token->AdjustPrivilege(shutdown, platform::kPrivilegeEnabled) != platform::kErrorSuccess) return false;
  return system.RequestExitWindows(platform::kExitReboot | platform::kExitForce, 0) == platform::kErrorSuccess;
}

void RestartPrompt(RestartPromptView& view, platform::SystemServices& system, platform::Clock& clock) {
  if (view.ShowMessage(kRestartPromptText, kUninstallerCaption, kRestartPromptStyle) != platform::kIdYes) return;
  view.ShowStatus("Uninstall completed!");
  clock.Sleep(kPauseBeforeRestartMs);
  RestartWindows(system);  // a refused restart is silent: the user restarts by hand
  view.EndProgram(0);
}

}  // namespace removal
