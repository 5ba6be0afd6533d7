// After a full removal: asking whether Windows should restart now, and the restart itself
// (shared with the installer).
#pragma once
#include <cstdint>
#include <string>

#include "platform/clock.h"
#include "platform/system.h"

namespace removal {

extern const char kRestartPromptText[];
extern const char kUninstallerCaption[];  // "KELVO HRX-410 uninstaller"
// MB_YESNO | MB_ICONQUESTION.
constexpr std::uint32_t kRestartPromptStyle = 0x24;

// What the restart prompt needs of the uninstaller's window.
class RestartPromptView {
 public:
  virtual ~RestartPromptView() = default;
  // A message box owned by the window with these buttons and icon; returns the button id.
  virtual int ShowMessage(const std::string& text, const std::string& caption, std::uint32_t style) = 0;
  // Sets the status text and shows it at once.
  virtual void ShowStatus(const std::string& text) = 0;
  // Ends the program with this exit code. The real window does not return from it.
  virtual void EndProgram(int exitCode) = 0;
};

// Enables the shutdown privilege and asks for a forced reboot. True when the system
// accepted the request; false when the token cannot be opened, the privilege cannot be
// found or is not held, or the request is refused.
bool RestartWindows(platform::SystemServices& system);

// Asks; on Yes shows "Uninstall completed!", waits 1000 ms, restarts and ends the program
// (exit code 0) whether or not the restart was accepted. On No it returns.
void RestartPrompt(RestartPromptView& view, platform::SystemServices& system, platform::Clock& clock);

}  // namespace removal
