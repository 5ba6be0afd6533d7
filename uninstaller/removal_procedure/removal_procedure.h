// The driver removal procedure shared by the uninstaller and the installer: it deletes the
// model's printers, calls the removal module that fits the Windows version, removes the
// device entries, setup information files and driver folder, restores two spooler settings
// and, in the uninstaller, offers a restart. Portable logic: the window that shows the
// progress is reached through RemovalView, the system through the platform seams.
//
// Everything runs on the calling window's thread and blocks it, with a 1000 ms pause after
// each announced step (taken through Clock::Sleep).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/device_setup.h"
#include "platform/file_system.h"
#include "platform/print_admin.h"
#include "platform/registry.h"
#include "platform/security.h"
#include "platform/spooler.h"
#include "platform/system.h"
#include "uninstaller/restart/restart.h"

namespace removal {

// ---------------------------------------------------------------------------------------
// Windows version classes.

enum class OsClass {
  OsTooOld,  // Windows 9x, NT 4 and older: nothing is removed, the installer refuses to run
  OsNt5,     // 2000, XP, Server 2003: CleanNT5.DLL
  OsNt6,     // Vista and later, and anything not recognised: CleanNT6.DLL
};

// OSVERSIONINFOA platform ids.
constexpr std::uint32_t kPlatformWin32s = 0;
constexpr std::uint32_t kPlatformWindows9x = 1;
constexpr std::uint32_t kPlatformNt = 2;

// The class of a version record: 9x 4.0, 4.10, 4.90 and NT up to major 4 are too old;
// NT 5.0 to 5.2 is OsNt5; NT 6 and later, NT 5 with a minor above 2, any other 9x version and
// any other platform are OsNt6.
OsClass ClassifyOs(const platform::OsVersion& version);

// Reads the version with GetVersionExA (repeated once when the call fails) and classifies it.
// When both calls fail, the empty record is classified (platform 0: OsNt6).
OsClass ReadOsClass(platform::SystemServices& system);

// The removal module of a class and its one export. Both empty for OsTooOld.
struct RemovalModuleName {
  std::string file;        // "CleanNT5.DLL" / "CleanNT6.DLL", loaded by bare name
  std::string exportName;  // "RemoveFromWin2k" / "RemoveFromVISTA"
};
RemovalModuleName RemovalModuleFor(OsClass osClass);

// ---------------------------------------------------------------------------------------
// Fixed values shared with the uninstaller's dialog and the installer.

extern const char kInstallerCaption[];        // "KELVO HRX-410 installer"
// kUninstallerCaption ("KELVO HRX-410 uninstaller") is in restart.h.
extern const char kUninstallKey[];            // "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\KELVO_HRX-410"
extern const char kUninstallInfFileValue[];   // "InfFile"
extern const char kRemovalModelArgument[];    // "HRX-410", first argument of the module export
extern const char kRemovalSuffixArgument[];   // "E", second argument of the module export
extern const char kDriverFolderName[];        // "kelvo_hrx_4102d39", under the driver directory
extern const char kUninstallCompletedText[];  // "Uninstall completed!"

// The pause after each announced step.
constexpr std::uint32_t kRemovalStepPauseMs = 1000;
// MB_OK | MB_ICONEXCLAMATION: the style of every failure box of the procedure.
constexpr std::uint32_t kFailureBoxStyle = 0x30;
// The language of the system's error descriptions in failure boxes (US English).
constexpr std::uint32_t kErrorTextLanguage = 0x0409;

// "<call> Error Code: <code>\n\n" followed by the system's description of `code` in US
// English (FormatMessageA, language 0x0409; empty when the system has none). The installer
// uses it for its spooler failures too, e.g. FailureMessage("AddMonitor", 3006, system).
std::string FailureMessage(const std::string& call, long code, platform::SystemServices& system);

// ---------------------------------------------------------------------------------------
// The window the procedure reports into: the uninstaller's dialog or the installer's
// progress window. The restart prompt's needs (ShowMessage, ShowStatus, EndProgram) come
// from RestartPromptView.
//
//   ShowMessage(text, caption, style): a modal box owned by the window; returns the button.
//   ShowStatus(text): sets the status text and shows it at once.
//   EndProgram(exitCode): ends the process. The real window does not return; a fake that
//     returns is fine: the procedure stops right after calling it.
class RemovalView : public RestartPromptView {
 public:
  // Advances the progress bar by the step its window set (30 in the uninstaller, 11 in the
  // installer).
  virtual void StepProgress() = 0;
  virtual void SetProgressPosition(int position) = 0;
  // True: the hourglass cursor (LoadCursorA(IDC_WAIT) + SetCursor); false: the arrow.
  // The installer variant never calls it.
  virtual void ShowWaitCursor(bool wait) = 0;
  // Closes the dialog with its OK action. Only the uninstaller variant calls it, as its
  // last act; the installer variant returns to its caller instead.
  virtual void CloseDialog() = 0;
};

// What the procedure works through.
struct RemovalProcedureServices {
  platform::Spooler& printers;         // EnumPrintersA (installer variant)
  platform::PrintAdmin& spooler;       // printer deletion, driver directory
  platform::Registry& registry;
  platform::RegistrySecurity& security;
  platform::DeviceSetup& setup;
  platform::FileSystem& files;
  platform::SystemServices& system;    // version, module loading, profile, computer name,
                                       // error texts, restart
  platform::Clock& clock;
};

// How a run ended.
enum class RemovalOutcome {
  Completed,     // "Uninstall completed!" reached (uninstaller: the dialog was closed)
  ProgramEnded,  // EndProgram(0) was called: a module failed to load, the printer
                 // enumeration failed (installer) or a restart was chosen (uninstaller)
};

// The uninstaller variant. `checkedPrinters`: the texts of the checked entries of the check
// list, first to last; `initialPrinterCount`: how many printers of the model the start-up
// enumeration found. A full removal (driver, devices, INF files, folder, restart prompt)
// happens when every found printer is checked, or none was found. The caller disables
// "Cancel" and "Uninstall" before calling; the procedure sets the wait cursor, runs, and
// ends by closing the dialog (or the program).
RemovalOutcome RunUninstallerRemoval(RemovalView& view, RemovalProcedureServices& services,
                                     const std::vector<std::string>& checkedPrinters,
                                     std::size_t initialPrinterCount);

// The installer variant: deletes every local printer whose driver is "KELVO HRX-410" with its
// per-printer key, then always removes the driver completely, without the class INF step
// and without a restart prompt; boxes carry the installer's caption; the cursor is left
// alone. Returns Completed after "Uninstall completed!", progress 100 and the pause; the
// caller goes on (and restarts). ProgramEnded when it ended the program: the caller must
// then stop too.
RemovalOutcome RunInstallerRemoval(RemovalView& view, RemovalProcedureServices& services);

}  // namespace removal
