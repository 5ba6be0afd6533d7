// What the installer's logic works through: the platform seams, and the link to the progress
// window it reports into.
#pragma once
#include <cstdint>
#include <string>

#include "platform/clock.h"
#include "platform/device_setup.h"
#include "platform/file_system.h"
#include "platform/print_admin.h"
#include "platform/print_install.h"
#include "platform/registry.h"
#include "platform/security.h"
#include "platform/spooler.h"
#include "platform/system.h"
#include "uninstaller/removal_procedure/removal_procedure.h"

namespace installer {

// The caption of every message box of the installer, shared with the removal procedure.
using removal::kInstallerCaption;  // "KELVO HRX-410 installer"

// Message box styles (MB_OK | MB_ICONINFORMATION, MB_OK | MB_ICONEXCLAMATION,
// MB_YESNO | MB_ICONQUESTION).
constexpr std::uint32_t kInformationBox = 0x40;
constexpr std::uint32_t kExclamationBox = 0x30;
constexpr std::uint32_t kQuestionBox = 0x24;

struct InstallerServices {
  platform::Spooler& printers;        // EnumPrintersA level 2
  platform::PrintAdmin& spooler;      // driver and print processor folders, printer deletion
  platform::PrintInstall& install;    // what is installed, the spooler records, printer data
  platform::Registry& registry;
  platform::RegistrySecurity& security;
  platform::DeviceSetup& setup;
  platform::FileSystem& files;
  platform::SystemServices& system;
  platform::Clock& clock;

  // The same seams as the removal procedure takes them.
  removal::RemovalProcedureServices ForRemoval() const {
    return removal::RemovalProcedureServices{printers, spooler, registry, security, setup, files, system, clock};
  }
};

// What the installation needs of the progress window: its status text and progress bar, its
// message boxes, the cursor and the end of the process. The window only changes through
// InstallStep and Refresh: between them the thread blocks and handles no messages.
class InstallerWindowLink {
 public:
  virtual ~InstallerWindowLink() = default;
  // Sets the status text, advances the bar by its step, shows both, then waits waitMs.
  virtual void InstallStep(const std::string& text, std::uint32_t waitMs) = 0;
  // The status text member; shown by the next Refresh.
  virtual void SetStatusText(const std::string& text) = 0;
  virtual void SetProgressPosition(int position) = 0;
  // Moves the texts into their controls and shows them.
  virtual void Refresh() = 0;
  // The hourglass cursor.
  virtual void ShowWaitCursor() = 0;
  // A modal box owned by the progress window, or one without an owner window. Returns the
  // button that closed it.
  virtual int ShowOwnedMessage(const std::string& text, const std::string& caption, std::uint32_t style) = 0;
  virtual int ShowUnownedMessage(const std::string& text, const std::string& caption, std::uint32_t style) = 0;
  // Ends the process with this exit code. The real window does not return from it; the logic
  // stops right after calling it, so a recording fake may return.
  virtual void EndProcess(int exitCode) = 0;
  // The window as the removal procedure reports into it.
  virtual removal::RemovalView& RemovalReport() = 0;
};

// How a part of the installation ended.
enum class InstallOutcome {
  Completed,     // the caller goes on
  ProcessEnded,  // EndProcess(0) was called: the caller must stop too
};

}  // namespace installer
